#pragma once

#include "platform/particles/DynamicAttribute.h"
#include "platform/particles/ParticleAffector.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

namespace particles
{
// Swirls the particles round an axis through the system's origin, turning their place, their flight and
// their own orientation alike. Frozen particles are left alone.
class VortexAffector : public ParticleAffector
{
public:
    static const char* const TYPE;

    // The axis turned about; a zero vector is refused.
    const Ogre::Vector3& getRotationVector() const { return m_rotationVector; }
    void setRotationVector(const Ogre::Vector3& vector);
    // Radians per second.
    DynamicAttributeFixed& getRotationSpeed() { return m_rotationSpeed; }

    // Knows "rotation_axis" and "rotation_speed".
    bool readProperty(const ScriptProperty& property) override;
    void copyAttributesTo(ParticleAffector& affector) const override;
    void _affect(ParticleTechnique& technique, Particle& particle, float dt) override;

protected:
    // The turn of the current step.
    Ogre::Quaternion m_rotation = Ogre::Quaternion::IDENTITY;

private:
    Ogre::Vector3 m_rotationVector = Ogre::Vector3::UNIT_Y;
    DynamicAttributeFixed m_rotationSpeed{0.0f};
};
} // namespace particles
