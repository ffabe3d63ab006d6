#pragma once

#include "graphics/cl_FilledCircleEmitter.h"
#include "platform/particles/ParticleEmitterFactory.h"

// Makes "FilledCircle" emitters.
class cl_FilledCircleEmitterFactory : public particles::ParticleEmitterFactoryOf<cl_FilledCircleEmitter>
{
};
