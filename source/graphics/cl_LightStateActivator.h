#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `light` element of a visual state: shows or hides lights of the current scene by name.
class cl_LightStateActivator : public cl_SwitchStateActivator
{
public:
    cl_LightStateActivator() : cl_SwitchStateActivator("enabled", true) {}

protected:
    // Sets the visibility of the light of that name in the loaded scene's OGRE scene manager; a light it
    // lacks is logged and skipped, and the element goes on.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
