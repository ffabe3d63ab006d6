#pragma once

#include "platform/particles/ParticleEmitter.h"

#include <memory>
#include <string>

namespace particles
{
struct ScriptProperty;

// Makes the emitters of one type word; the particle-system manager keeps one per type and asks it for
// every emitter of that type, in scripts, in code and when a template becomes a system.
class ParticleEmitterFactory
{
public:
    virtual ~ParticleEmitterFactory() = default;

    virtual std::string getEmitterType() const = 0;
    // A new emitter, its type word set.
    virtual std::unique_ptr<ParticleEmitter> createEmitter() = 0;
    // A line of one of its emitters' blocks that the library does not know, read after that emitter was
    // made; true when the factory took it (otherwise the script reader reports the word).
    virtual bool translateChildProperty(const ScriptProperty&) { return false; }
};

// The factory of an emitter class whose TYPE names its type word.
template <class Emitter> class ParticleEmitterFactoryOf : public ParticleEmitterFactory
{
public:
    std::string getEmitterType() const override { return Emitter::TYPE; }
    std::unique_ptr<ParticleEmitter> createEmitter() override
    {
        auto emitter = std::make_unique<Emitter>();
        emitter->setEmitterType(Emitter::TYPE);
        return emitter;
    }
};
} // namespace particles
