#pragma once

#include "graphics/cl_EntityEmitter.h"
#include "graphics/cl_EntityEmitterTranslator.h"
#include "platform/particles/ParticleEmitterFactory.h"

// Makes "Entity" emitters and reads their script words into the one it made last, which is the one
// the script reader is reading.
class cl_EntityEmitterFactory : public particles::ParticleEmitterFactoryOf<cl_EntityEmitter>
{
public:
    std::unique_ptr<particles::ParticleEmitter> createEmitter() override;
    // The translator's answer; false before any emitter was made.
    bool translateChildProperty(const particles::ScriptProperty& property) override;

private:
    cl_EntityEmitterTranslator m_translator;
    // Only used right after it was made; it may be gone later, when nothing reads it.
    cl_EntityEmitter* m_lastCreated = nullptr;
};
