#pragma once

#include "platform/particles/DynamicAttribute.h"
#include "platform/particles/ParticleElement.h"

#include <OgreColourValue.h>
#include <OgreVector.h>

#include <cstddef>
#include <string>

namespace particles
{
class Particle;
struct ScriptProperty;

// Makes the particles of a technique. Every emitter has a name (parameters address it by that), a type
// word (its factory's) and an emission rate; a kind decides where its particles start (and may decide
// where they fly). Emission is steady: the fractions of a particle that a step's rate gives are kept for
// the next step.
class ParticleEmitter : public ParticleElement
{
public:
    const std::string& getEmitterType() const { return m_emitterType; }
    void setEmitterType(const std::string& type) { m_emitterType = type; }
    // A disabled emitter makes no particles; those it made live on.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Particles per second.
    DynamicAttributeFixed& getEmissionRate() { return m_emissionRate; }
    // Degrees by which a particle's direction may deviate from the emitter's.
    DynamicAttributeFixed& getAngle() { return m_angle; }
    // Seconds a particle lives.
    DynamicAttributeFixed& getTimeToLive() { return m_timeToLive; }
    // World units per second a particle starts with.
    DynamicAttributeFixed& getVelocity() { return m_velocity; }

    const Ogre::Vector3& getDirection() const { return m_direction; }
    // Normalised; the up vector becomes a vector perpendicular to it. A zero vector is refused.
    void setDirection(const Ogre::Vector3& direction);
    // The axis about which directions are deviated.
    const Ogre::Vector3& getUpVector() const { return m_upVector; }
    // Whether the kind gives each particle a direction of its own (a circle outwards, a mesh along its
    // normals) instead of the emitter's direction.
    bool isAutoDirection() const { return m_autoDirection; }
    void setAutoDirection(bool autoDirection) { m_autoDirection = autoDirection; }
    const Ogre::ColourValue& getColour() const { return m_colour; }
    void setColour(const Ogre::ColourValue& colour) { m_colour = colour; }

    // Takes a line of the emitter's block that the library knows ("rate", "angle", "life", "velocity",
    // "direction", "colour", "auto_direction"; kinds add theirs). False for a word it does not know; a
    // known word with bad values is logged and left out, and counts as known.
    virtual bool readProperty(const ScriptProperty& property);
    // Gives emitter this one's settings, name included; type and technique stay.
    virtual void copyAttributesTo(ParticleEmitter& emitter) const;

    // The system starts.
    virtual void _prepare(ParticleTechnique& technique);
    // Every step before the technique's particles move, also when the emitter emits nothing.
    virtual void _preProcessParticles(ParticleTechnique& technique, float dt);
    // Where a new particle starts: sets its position and original position.
    virtual void _initParticlePosition(Particle& particle) = 0;
    // Which way a new particle flies (unit length; the speed comes after): the emitter's direction
    // deviated at random by up to the angle.
    virtual void _initParticleDirection(Particle& particle);

    // How many particles the rate gives for dt seconds, the fraction kept for the next call.
    virtual size_t _calculateRequestedParticles(float dt);
    // Sets a new particle up from scratch: position, direction times speed, time to live, colour.
    void _initParticleForEmission(Particle& particle);

protected:
    // direction turned at random about itself and then by up to the angle about up (perpendicular to it).
    Ogre::Vector3 deviate(const Ogre::Vector3& direction, const Ogre::Vector3& up) const;

private:
    std::string m_emitterType;
    bool m_enabled = true;
    DynamicAttributeFixed m_emissionRate{10.0f};
    DynamicAttributeFixed m_angle{0.0f};
    DynamicAttributeFixed m_timeToLive{1.0f};
    DynamicAttributeFixed m_velocity{1.0f};
    Ogre::Vector3 m_direction = Ogre::Vector3::UNIT_Y;
    Ogre::Vector3 m_upVector = Ogre::Vector3::UNIT_Y.perpendicular();
    bool m_autoDirection = false;
    Ogre::ColourValue m_colour = Ogre::ColourValue::White;
    float m_pendingParticles = 0.0f;
};
} // namespace particles
