#include "platform/particles/PointEmitter.h"

#include "platform/particles/Particle.h"

namespace particles
{
const char* const PointEmitter::TYPE = "Point";

void PointEmitter::_initParticlePosition(Particle& particle)
{
    particle.position = particle.originalPosition = getDerivedPosition();
}
} // namespace particles
