#pragma once

#include "graphics/IConstraint.h"

// A limit on the angle of the rotation, whatever its axis.
class cl_FocusTargetControl::cl_Constraint final : public cl_FocusTargetControl::IConstraint
{
public:
    // maxAngle in degrees.
    explicit cl_Constraint(float maxAngle) : m_maxAngle(maxAngle) {}

    // The angle beyond maxAngle x factor is cut back, about the same axis.
    bool Limit(Ogre::Quaternion& rotation, float factor) const override;

private:
    float m_maxAngle;
};
