#include "graphics/cl_LiquidAffector.h"

#include "platform/particles/Particle.h"

#include <algorithm>
#include <cmath>

const char* const cl_LiquidAffector::TYPE = "Liquid";

void cl_LiquidAffector::_affect(particles::ParticleTechnique&, particles::Particle& particle, float dt)
{
    if (particle.isFreezed())
        return;
    const Ogre::Vector3 centre = getDerivedPosition();
    Ogre::Vector3 offset = particle.position - centre;
    const float closeness = std::max(0.0f, 1.0f - std::fabs(m_ringPosition - offset.length() / m_radius));
    const float angle = getRotationSpeed().getValue(getSystemTime()) * dt * closeness * closeness;
    m_rotation.FromAngleAxis(Ogre::Radian(angle), getRotationVector());
    offset += offset * (0.08f * dt);
    if (offset.length() > m_radius)
        offset *= m_radius / offset.length();
    particle.position = centre + m_rotation * offset;
    particle.direction = Ogre::Vector3::ZERO;
    particle.orientation = m_rotation * particle.orientation;
}
