#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `effect` element of a visual state: switches effects of the current scene on or off by id.
class cl_EffectStateActivator : public cl_SwitchStateActivator
{
public:
    cl_EffectStateActivator() : cl_SwitchStateActivator("enabled", true) {}

protected:
    // The effect's SetActive (so an effect already in that state is not told again); an id the effect
    // manager lacks is logged and ends the element.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
