#pragma once

#include "graphics/cl_FocusTargetControl.h"

// A limit on how far a focused bone may turn from rest.
class cl_FocusTargetControl::IConstraint
{
public:
    virtual ~IConstraint() = default;
    // Holds rotation (from rest) within the limits times factor; true when it had to change it.
    virtual bool Limit(Ogre::Quaternion& rotation, float factor) const = 0;
};
