#include "platform/particles/ParticleEmitter.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ScriptTranslator.h"

#include <OgreMath.h>

#include <algorithm>
#include <cmath>

namespace particles
{
namespace
{
// More than any quota: a huge rate (or a long step) must not overflow the count.
const float MOST_REQUESTED = 1.0e7f;
} // namespace

void ParticleEmitter::setDirection(const Ogre::Vector3& direction)
{
    if (direction.isZeroLength())
        return;
    m_direction = direction.normalisedCopy();
    m_upVector = m_direction.perpendicular();
}

bool ParticleEmitter::readProperty(const ScriptProperty& property)
{
    static const struct
    {
        const char* word;
        DynamicAttributeFixed ParticleEmitter::*attribute;
    } NUMBERS[] = {
        {"rate", &ParticleEmitter::m_emissionRate},
        {"angle", &ParticleEmitter::m_angle},
        {"life", &ParticleEmitter::m_timeToLive},
        {"velocity", &ParticleEmitter::m_velocity},
    };
    for (const auto& number : NUMBERS)
    {
        if (property.name != number.word)
            continue;
        float value = 0.0f;
        if (ScriptTranslator::getFloat(property, value))
            (this->*number.attribute).setValue(value);
        else
            ScriptTranslator::logError(property, "'" + property.name + "' takes one number.");
        return true;
    }
    if (property.name == "direction")
    {
        Ogre::Vector3 direction;
        if (ScriptTranslator::getVector3(property, direction) && !direction.isZeroLength())
            setDirection(direction);
        else
            ScriptTranslator::logError(property, "'direction' takes three numbers, not all 0.");
        return true;
    }
    if (property.name == "colour")
    {
        if (!ScriptTranslator::getColour(property, m_colour))
            ScriptTranslator::logError(property, "'colour' takes red, green, blue and an optional alpha.");
        return true;
    }
    if (property.name == "auto_direction")
    {
        if (!ScriptTranslator::getBool(property, m_autoDirection))
            ScriptTranslator::logError(property, "'auto_direction' takes true or false.");
        return true;
    }
    return false;
}

void ParticleEmitter::copyAttributesTo(ParticleEmitter& emitter) const
{
    emitter.setName(getName());
    emitter.m_enabled = m_enabled;
    emitter.m_emissionRate = m_emissionRate;
    emitter.m_angle = m_angle;
    emitter.m_timeToLive = m_timeToLive;
    emitter.m_velocity = m_velocity;
    emitter.m_direction = m_direction;
    emitter.m_upVector = m_upVector;
    emitter.m_autoDirection = m_autoDirection;
    emitter.m_colour = m_colour;
}

void ParticleEmitter::_prepare(ParticleTechnique&)
{
    m_pendingParticles = 0.0f;
}

void ParticleEmitter::_preProcessParticles(ParticleTechnique&, float) {}

Ogre::Vector3 ParticleEmitter::deviate(const Ogre::Vector3& direction, const Ogre::Vector3& up) const
{
    const float angle = m_angle.getValue(getSystemTime());
    if (angle == 0.0f)
        return direction;
    return direction.randomDeviant(Ogre::Degree(Ogre::Math::UnitRandom() * angle), up);
}

void ParticleEmitter::_initParticleDirection(Particle& particle)
{
    particle.direction = particle.originalDirection =
        deviate(turnWithSystem(m_direction), turnWithSystem(m_upVector));
}

size_t ParticleEmitter::_calculateRequestedParticles(float dt)
{
    const float rate = m_emissionRate.getValue(getSystemTime());
    if (!(rate > 0.0f) || !(dt > 0.0f))
        return 0;
    m_pendingParticles = std::min(m_pendingParticles + rate * dt, MOST_REQUESTED);
    const float whole = std::floor(m_pendingParticles);
    m_pendingParticles -= whole;
    return static_cast<size_t>(whole);
}

void ParticleEmitter::_initParticleForEmission(Particle& particle)
{
    particle = Particle();
    const float time = getSystemTime();
    _initParticlePosition(particle);
    _initParticleDirection(particle);
    particle.direction *= m_velocity.getValue(time);
    particle.timeToLive = particle.totalTimeToLive = m_timeToLive.getValue(time);
    particle.colour = m_colour;
}
} // namespace particles
