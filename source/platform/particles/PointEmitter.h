#pragma once

#include "platform/particles/ParticleEmitter.h"

namespace particles
{
// Emits every particle at the system's origin.
class PointEmitter : public ParticleEmitter
{
public:
    static const char* const TYPE;

    void _initParticlePosition(Particle& particle) override;
};
} // namespace particles
