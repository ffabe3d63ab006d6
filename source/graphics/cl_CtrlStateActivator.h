#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `ctrl` element of a visual state: enables or disables puppet controls of the owner.
class cl_CtrlStateActivator : public cl_SwitchStateActivator
{
public:
    cl_CtrlStateActivator() : cl_SwitchStateActivator("enabled") {}

protected:
    // A control the puppet lacks (or an owner that is no scene object) is logged with the owner's name and
    // ends the element.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
