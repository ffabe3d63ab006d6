#include "platform/particles/CircleEmitter.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ScriptTranslator.h"

#include <OgreMath.h>

#include <cmath>

namespace particles
{
const char* const CircleEmitter::TYPE = "Circle";

bool CircleEmitter::readProperty(const ScriptProperty& property)
{
    if (property.name != "radius")
        return ParticleEmitter::readProperty(property);
    if (!ScriptTranslator::getFloat(property, m_radius))
        ScriptTranslator::logError(property, "'radius' takes one number.");
    return true;
}

void CircleEmitter::copyAttributesTo(ParticleEmitter& emitter) const
{
    ParticleEmitter::copyAttributesTo(emitter);
    if (auto* circle = dynamic_cast<CircleEmitter*>(&emitter))
    {
        circle->m_radius = m_radius;
        circle->m_orientation = m_orientation;
    }
}

Ogre::Vector3 CircleEmitter::pointAt(float cosine, float sine, float distance) const
{
    const Ogre::Vector3 scale = getSystemScale();
    return getDerivedPosition() +
           m_orientation * Ogre::Vector3(distance * cosine * scale.x, 0.0f, distance * sine * scale.z);
}

void CircleEmitter::_initParticlePosition(Particle& particle)
{
    const float angle = Ogre::Math::RangeRandom(0.0f, Ogre::Math::TWO_PI);
    m_x = std::cos(angle);
    m_z = std::sin(angle);
    particle.position = particle.originalPosition = pointAt(m_x, m_z, m_radius);
}

void CircleEmitter::_initParticleDirection(Particle& particle)
{
    if (!isAutoDirection())
    {
        ParticleEmitter::_initParticleDirection(particle);
        return;
    }
    const Ogre::Vector3 outwards = m_orientation * Ogre::Vector3(m_x, 0.0f, m_z);
    particle.direction = particle.originalDirection = deviate(outwards, outwards.perpendicular());
}
} // namespace particles
