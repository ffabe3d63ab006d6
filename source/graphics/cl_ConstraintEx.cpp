#include "graphics/cl_ConstraintEx.h"

#include <algorithm>

namespace
{
// The value held within [low, high]; a range turned round (bad data) holds it at low.
float Clamp(float value, float low, float high)
{
    return std::max(low, std::min(value, high));
}
} // namespace

bool cl_FocusTargetControl::cl_ConstraintEx::Limit(Ogre::Quaternion& rotation, float factor) const
{
    Ogre::Quaternion normalised = rotation;
    normalised.normalise();
    const float pitch = normalised.getPitch().valueDegrees();
    const float yaw = normalised.getYaw().valueDegrees();
    const float limitedPitch = Clamp(pitch, -m_right * factor, m_left * factor);
    const float limitedYaw = Clamp(yaw, -m_up * factor, m_down * factor);
    if (limitedPitch == pitch && limitedYaw == yaw)
        return false;
    rotation = Ogre::Quaternion(Ogre::Degree(limitedPitch), Ogre::Vector3::UNIT_X) *
               Ogre::Quaternion(Ogre::Degree(limitedYaw), Ogre::Vector3::UNIT_Y);
    rotation.normalise();
    return true;
}
