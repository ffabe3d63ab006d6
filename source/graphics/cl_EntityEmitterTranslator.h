#pragma once

namespace particles
{
struct ScriptProperty;
}
class cl_EntityEmitter;

// Reads the script words of the "Entity" emitter: "entity_name" (one name), "entity_distribution"
// ("homogeneous", "heterogeneous_1", "heterogeneous_2", "vertex" or "edge") and "entity_scale" (three
// numbers).
class cl_EntityEmitterTranslator
{
public:
    // Writes the property into emitter; false for a word it does not know. A known word with values it
    // cannot take is logged and changes nothing (another distribution word leaves the distribution).
    bool Translate(const particles::ScriptProperty& property, cl_EntityEmitter& emitter) const;
};
