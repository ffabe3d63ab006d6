#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `trigger` element of a visual state: enables or disables triggers of the current scene by name.
class cl_TriggerStateActivator : public cl_SwitchStateActivator
{
public:
    cl_TriggerStateActivator() : cl_SwitchStateActivator("enabled", true) {}

protected:
    // Sets the trigger's enabled flag (no script runs); a name the trigger manager lacks is logged and
    // ends the element.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
