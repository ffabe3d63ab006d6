#pragma once

#include "platform/particles/ParticleAffector.h"

#include <OgreVector.h>

namespace particles
{
// Pushes every particle with a constant force (wind, gravity, the rise of hot air).
class LinearForceAffector : public ParticleAffector
{
public:
    static const char* const TYPE;

    // World units per second, per second.
    const Ogre::Vector3& getForce() const { return m_force; }
    void setForce(const Ogre::Vector3& force) { m_force = force; }

    // Knows "force".
    bool readProperty(const ScriptProperty& property) override;
    void copyAttributesTo(ParticleAffector& affector) const override;
    void _affect(ParticleTechnique& technique, Particle& particle, float dt) override;

private:
    Ogre::Vector3 m_force = Ogre::Vector3::ZERO;
};
} // namespace particles
