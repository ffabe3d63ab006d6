#pragma once

#include "platform/particles/CircleEmitter.h"

// The circle emitter, but emitting anywhere inside its circle, more often towards the rim.
class cl_FilledCircleEmitter : public particles::CircleEmitter
{
public:
    static const char* const TYPE;

    // At a random angle, at radius minus the square of a value drawn up to the radius' root: from the
    // centre to the rim. The circle's direction step then flies outwards through that angle.
    void _initParticlePosition(particles::Particle& particle) override;
};
