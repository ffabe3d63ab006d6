#pragma once

#include "platform/particles/ParticleElement.h"

#include <string>

namespace particles
{
class Particle;
struct ScriptProperty;

// Changes the living particles of a technique every step, before they move.
class ParticleAffector : public ParticleElement
{
public:
    const std::string& getAffectorType() const { return m_affectorType; }
    void setAffectorType(const std::string& type) { m_affectorType = type; }
    // A disabled affector leaves the particles alone.
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled) { m_enabled = enabled; }

    // Takes a line of the affector's block that its kind knows. False for a word it does not know; a
    // known word with bad values is logged and left out, and counts as known.
    virtual bool readProperty(const ScriptProperty& property) = 0;
    // Gives affector this one's settings, name included; type and technique stay.
    virtual void copyAttributesTo(ParticleAffector& affector) const;

    // Changes one particle for a step of dt seconds.
    virtual void _affect(ParticleTechnique& technique, Particle& particle, float dt) = 0;

private:
    std::string m_affectorType;
    bool m_enabled = true;
};
} // namespace particles
