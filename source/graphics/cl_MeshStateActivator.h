#pragma once

#include "graphics/cl_SwitchStateActivator.h"

// The `mesh` element of a visual state: shows or hides submeshes of the owner's puppet.
class cl_MeshStateActivator : public cl_SwitchStateActivator
{
public:
    cl_MeshStateActivator() : cl_SwitchStateActivator("visible") {}

protected:
    // Sets the visibility of the submesh's node and everything below it; a submesh the puppet lacks (or an
    // owner that is no scene object) is logged and ends the element.
    bool Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry) override;
};
