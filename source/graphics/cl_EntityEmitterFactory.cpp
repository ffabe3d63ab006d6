#include "graphics/cl_EntityEmitterFactory.h"

std::unique_ptr<particles::ParticleEmitter> cl_EntityEmitterFactory::createEmitter()
{
    std::unique_ptr<particles::ParticleEmitter> emitter = ParticleEmitterFactoryOf::createEmitter();
    m_lastCreated = static_cast<cl_EntityEmitter*>(emitter.get());
    return emitter;
}

bool cl_EntityEmitterFactory::translateChildProperty(const particles::ScriptProperty& property)
{
    return m_lastCreated && m_translator.Translate(property, *m_lastCreated);
}
