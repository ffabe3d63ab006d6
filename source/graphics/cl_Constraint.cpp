#include "graphics/cl_Constraint.h"

#include <algorithm>

bool cl_FocusTargetControl::cl_Constraint::Limit(Ogre::Quaternion& rotation, float factor) const
{
    // q and -q turn alike; the one with w >= 0 gives the angle of the shorter way, which is the one limited.
    const Ogre::Quaternion shorter = rotation.w < 0.0f ? -rotation : rotation;
    Ogre::Degree angle;
    Ogre::Vector3 axis;
    shorter.ToAngleAxis(angle, axis);
    const float limit = m_maxAngle * factor;
    const float clamped = std::max(std::min(angle.valueDegrees(), limit), 0.0f);
    if (clamped == angle.valueDegrees())
        return false;
    rotation.FromAngleAxis(Ogre::Degree(clamped), axis);
    return true;
}
