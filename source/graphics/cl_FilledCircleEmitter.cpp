#include "graphics/cl_FilledCircleEmitter.h"

#include "platform/particles/Particle.h"

#include <OgreMath.h>

#include <algorithm>
#include <cmath>

const char* const cl_FilledCircleEmitter::TYPE = "FilledCircle";

void cl_FilledCircleEmitter::_initParticlePosition(particles::Particle& particle)
{
    const float radius = std::max(getRadius(), 0.0f);
    const float angle = Ogre::Math::RangeRandom(0.0f, Ogre::Math::TWO_PI);
    const float u = Ogre::Math::RangeRandom(0.0f, std::sqrt(radius));
    m_x = std::cos(angle);
    m_z = std::sin(angle);
    particle.position = particle.originalPosition = pointAt(m_x, m_z, radius - u * u);
}
