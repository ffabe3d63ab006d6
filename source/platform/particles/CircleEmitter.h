#pragma once

#include "platform/particles/ParticleEmitter.h"

#include <OgreQuaternion.h>

namespace particles
{
// Emits on a circle round the system's origin, lying in the x-z plane unless turned; with automatic
// direction the particles fly outwards through their point.
class CircleEmitter : public ParticleEmitter
{
public:
    static const char* const TYPE;

    float getRadius() const { return m_radius; }
    void setRadius(float radius) { m_radius = radius; }
    const Ogre::Quaternion& getOrientation() const { return m_orientation; }
    void setOrientation(const Ogre::Quaternion& orientation) { m_orientation = orientation; }

    // Adds "radius".
    bool readProperty(const ScriptProperty& property) override;
    void copyAttributesTo(ParticleEmitter& emitter) const override;

    // A point at a random angle, scaled with the system's scale across the circle's plane.
    void _initParticlePosition(Particle& particle) override;
    // With automatic direction: outwards through the last point, deviated by up to the angle; otherwise
    // the emitter's direction.
    void _initParticleDirection(Particle& particle) override;

protected:
    // The point of the circle at (cos a, sin a), after scale and turn, placed at the system's origin.
    Ogre::Vector3 pointAt(float cosine, float sine, float distance) const;

    // Cosine and sine of the last point's angle, for the direction step.
    float m_x = 1.0f;
    float m_z = 0.0f;

private:
    float m_radius = 100.0f;
    Ogre::Quaternion m_orientation = Ogre::Quaternion::IDENTITY;
};
} // namespace particles
