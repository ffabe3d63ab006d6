#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `slave` element of a visual state: shows or hides slave objects of the owner's puppet.
class cl_SlaveStateActivator : public cl_SwitchStateActivator
{
public:
    cl_SlaveStateActivator() : cl_SwitchStateActivator("visible") {}

protected:
    // Sets the visibility of the slave's node and everything below it; a slave the puppet lacks (or an
    // owner that is no scene object) is logged and ends the element.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
