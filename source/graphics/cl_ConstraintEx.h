#pragma once

#include "graphics/IConstraint.h"

// Limits on the rotation about the bone's x axis (toward its right and left) and about its y axis (up and
// down), in degrees; a limited rotation loses any roll.
class cl_FocusTargetControl::cl_ConstraintEx final : public cl_FocusTargetControl::IConstraint
{
public:
    cl_ConstraintEx(float right, float left, float up, float down)
        : m_right(right), m_left(left), m_up(up), m_down(down)
    {
    }

    // Pitch held within [-right, left] x factor and yaw within [-up, down] x factor.
    bool Limit(Ogre::Quaternion& rotation, float factor) const override;

private:
    float m_right;
    float m_left;
    float m_up;
    float m_down;
};
