#include "graphics/cl_SlaveStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_ControlledPuppet.h"

bool cl_SlaveStateActivator::Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry)
{
    const cl_ControlledPuppet* puppet = PuppetOf(owner);
    if (SetNodeVisible(puppet ? puppet->GetSlave(entry.name).node : nullptr, entry.flag))
        return true;
    LOG_ERROR("The SlaveObject with the id '%s' could not be found!", entry.name.c_str());
    return false;
}
