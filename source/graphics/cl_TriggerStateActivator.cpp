#include "graphics/cl_TriggerStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_Trigger.h"
#include "graphics/cl_TriggerManager.h"

bool cl_TriggerStateActivator::Apply(cl_VisualStateHolder&, const st_ElementSwitch& entry)
{
    const cl_TriggerManager* triggers = cl_TriggerManager::GetInstance();
    cl_Trigger* trigger = triggers ? triggers->GetTrigger(entry.name) : nullptr;
    if (!trigger)
    {
        LOG_ERROR("The Trigger with the id '%s' could not be found!", entry.name.c_str());
        return false;
    }
    trigger->SetEnabled(entry.flag);
    return true;
}
