#pragma once

#include "platform/particles/VortexAffector.h"

// Stirred liquid: swirls the particles fastest at the centre and not at all at the rim, drifts them
// outwards by 8 % of their distance a second and keeps them inside the radius. A particle moves only with
// the liquid: its own flight is stopped.
class cl_LiquidAffector : public particles::VortexAffector
{
public:
    static const char* const TYPE;

    void _affect(particles::ParticleTechnique& technique, particles::Particle& particle, float dt) override;

private:
    // Where, as a part of the radius, the swirl is fastest.
    float m_ringPosition = 0.0f;
    float m_radius = 100.0f;
};
