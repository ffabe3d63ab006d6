#include "platform/particles/LinearForceAffector.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ScriptTranslator.h"

namespace particles
{
const char* const LinearForceAffector::TYPE = "LinearForce";

bool LinearForceAffector::readProperty(const ScriptProperty& property)
{
    if (property.name != "force")
        return false;
    if (!ScriptTranslator::getVector3(property, m_force))
        ScriptTranslator::logError(property, "'force' takes three numbers.");
    return true;
}

void LinearForceAffector::copyAttributesTo(ParticleAffector& affector) const
{
    ParticleAffector::copyAttributesTo(affector);
    if (auto* force = dynamic_cast<LinearForceAffector*>(&affector))
        force->m_force = m_force;
}

void LinearForceAffector::_affect(ParticleTechnique&, Particle& particle, float dt)
{
    particle.direction += m_force * dt;
}
} // namespace particles
