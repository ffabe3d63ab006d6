#include "support/HeadlessParticles.h"

#include "platform/GameRand.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "platform/particles/PointEmitter.h"

HeadlessParticles::HeadlessParticles() : m_manager(std::make_unique<particles::ParticleSystemManager>())
{
    platform::UseGameRandForOgre();
    platform::GameSrand(1);
}

HeadlessParticles::~HeadlessParticles() = default;

void HeadlessParticles::DestroyManager()
{
    m_manager.reset();
}

particles::ParticleSystem& HeadlessParticles::AddSteadyTemplate(const std::string& name, float rate,
                                                                float life, size_t quota)
{
    particles::ParticleSystem* system = m_manager->createSystemTemplate(name);
    particles::ParticleTechnique* technique = system->createTechnique();
    technique->setParticleQuota(quota);
    particles::ParticleEmitter* emitter =
        technique->addEmitter(m_manager->createEmitter(particles::PointEmitter::TYPE));
    emitter->setName("steady");
    emitter->getEmissionRate().setValue(rate);
    emitter->getTimeToLive().setValue(life);
    emitter->getVelocity().setValue(0.0f);
    return *system;
}
