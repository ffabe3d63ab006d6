#include "platform/particles/ParticleAffector.h"

namespace particles
{
void ParticleAffector::copyAttributesTo(ParticleAffector& affector) const
{
    affector.setName(getName());
    affector.m_enabled = m_enabled;
}
} // namespace particles
