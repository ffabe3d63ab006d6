#include "graphics/cl_MeshStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_ControlledPuppet.h"

bool cl_MeshStateActivator::Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry)
{
    const cl_ControlledPuppet* puppet = PuppetOf(owner);
    if (SetNodeVisible(puppet ? puppet->GetSubMesh(entry.name).node : nullptr, entry.flag))
        return true;
    LOG_ERROR("The SubMesh with the id '%s' could not be found!", entry.name.c_str());
    return false;
}
