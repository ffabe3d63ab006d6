#include "graphics/cl_CtrlStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"
#include "graphics/cl_SceneObject.h"

bool cl_CtrlStateActivator::Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry)
{
    const cl_ControlledPuppet* puppet = PuppetOf(owner);
    cl_PuppetControl* control = puppet ? puppet->GetControl(entry.name) : nullptr;
    if (!control)
    {
        const auto* object = dynamic_cast<const cl_SceneObject*>(&owner);
        LOG_ERROR("The Ctrl with the id '%s' could not be found in '%s'!", entry.name.c_str(),
                  object ? object->GetName().c_str() : "");
        return false;
    }
    control->SetEnabled(entry.flag);
    return true;
}
