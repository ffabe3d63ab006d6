#pragma once

#include "platform/particles/ParticleAffector.h"

#include <memory>
#include <string>

namespace particles
{
struct ScriptProperty;

// Makes the affectors of one type word; the particle-system manager keeps one per type.
class ParticleAffectorFactory
{
public:
    virtual ~ParticleAffectorFactory() = default;

    virtual std::string getAffectorType() const = 0;
    // A new affector, its type word set.
    virtual std::unique_ptr<ParticleAffector> createAffector() = 0;
    // A line of one of its affectors' blocks that the library does not know, read after that affector
    // was made; true when the factory took it (otherwise the script reader reports the word).
    virtual bool translateChildProperty(const ScriptProperty&) { return false; }
};

// The factory of an affector class whose TYPE names its type word.
template <class Affector> class ParticleAffectorFactoryOf : public ParticleAffectorFactory
{
public:
    std::string getAffectorType() const override { return Affector::TYPE; }
    std::unique_ptr<ParticleAffector> createAffector() override
    {
        auto affector = std::make_unique<Affector>();
        affector->setAffectorType(Affector::TYPE);
        return affector;
    }
};
} // namespace particles
