#include "platform/particles/ParticleElement.h"

#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleTechnique.h"

namespace particles
{
const ParticleSystem* ParticleElement::getSystem() const
{
    return m_technique ? m_technique->getParentSystem() : nullptr;
}

Ogre::Vector3 ParticleElement::getDerivedPosition() const
{
    const ParticleSystem* system = getSystem();
    return system ? system->_getDerivedPoint(Ogre::Vector3::ZERO) : Ogre::Vector3::ZERO;
}

float ParticleElement::getSystemTime() const
{
    const ParticleSystem* system = getSystem();
    return system ? system->getTimeElapsedSinceStart() : 0.0f;
}

Ogre::Vector3 ParticleElement::getSystemScale() const
{
    const ParticleSystem* system = getSystem();
    return system ? system->getScale() : Ogre::Vector3::UNIT_SCALE;
}

Ogre::Vector3 ParticleElement::turnWithSystem(const Ogre::Vector3& vector) const
{
    const ParticleSystem* system = getSystem();
    return system ? system->_getDerivedDirection(vector) : vector;
}
} // namespace particles
