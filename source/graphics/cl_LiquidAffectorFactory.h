#pragma once

#include "graphics/cl_LiquidAffector.h"
#include "platform/particles/ParticleAffectorFactory.h"

// Makes "Liquid" affectors.
class cl_LiquidAffectorFactory : public particles::ParticleAffectorFactoryOf<cl_LiquidAffector>
{
};
