#pragma once

#include <OgreColourValue.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace particles
{
// One living particle of a technique, in world space. Emitters set it up, affectors change it, the
// technique moves it by its direction every step and drops it when its time to live runs out.
class Particle
{
public:
    bool isFreezed() const { return m_freezed; }
    // A frozen particle is left alone by affectors that honour it; it still moves and ages.
    void setFreezed(bool freezed) { m_freezed = freezed; }

    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    // Where the particle was emitted.
    Ogre::Vector3 originalPosition = Ogre::Vector3::ZERO;
    // Velocity in world units per second.
    Ogre::Vector3 direction = Ogre::Vector3::ZERO;
    // The direction it was emitted with, before its speed was applied.
    Ogre::Vector3 originalDirection = Ogre::Vector3::ZERO;
    // The visual particle's own turn, for affectors that swirl it.
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    Ogre::ColourValue colour = Ogre::ColourValue::White;
    // Seconds left, and the seconds it had when emitted (never 0 for a living particle).
    float timeToLive = 0.0f;
    float totalTimeToLive = 0.0f;

private:
    bool m_freezed = false;
};
} // namespace particles
