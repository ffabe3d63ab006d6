#pragma once

#include "graphics/cl_BaseEffect.h"

#include <string>

namespace Ogre
{
class SceneNode;
}
namespace particles
{
class ParticleSystem;
}

// The effect "particle": a particle system of a named template, named after the effect's id, hanging on
// a scene node. An enabled one starts 0.2 seconds of "fx" time after loading (if it is still active then)
// and fast-forwards as far as its "offset" asks; switching it off lets its particles run out. Parameters
// set its emitters' rates and switches, restart it, move it to another node and set its offset; float
// sources drive them every frame. An effect without a system (no `template`, or one the particle library
// lacks) is logged when it loads and shows nothing; what would drive its system then does nothing.
class cl_ParticleEffect : public cl_BaseEffect
{
public:
    static const char* const TYPE;

    explicit cl_ParticleEffect(const std::string& id);
    // Unloads.
    ~cl_ParticleEffect() override;

    // "<emitter> emissionrate" (the suffix in any case; the emitter is named before the first blank,
    // "all" naming every emitter): that rate. Other names go to the base.
    void SetParameter(const std::string& name, float value) override;
    // As the float form, and "<emitter> enabled" (a bool; another kind warns and counts as false),
    // "restart", "parent" (a node of the scene; another name does nothing) and "offset" (seconds the next
    // start fast-forwards, in steps of one second). Other names go to the base.
    void SetParameter(const std::string& name, const cl_Argument& value) override;
    // Counts a pending start down and starts (and fast-forwards) the system when it runs out while the
    // effect is active; then applies every bound source that exists, in target order.
    void Update(float dt) override;
    // Children `template` (the particle system template) and `parent` (the node, default "_game"; one
    // the scene lacks is logged and "_game" used), attributes `reflection` and `refraction` ("true" adds
    // the visibility flags 2 and 4 to 1) and `enabled`, then the float-source bindings.
    void LoadFromXml(const TiXmlElement& element, Ogre::SceneManager* sceneManager) override;
    // Stops and destroys the system.
    void Unload() override;
    // On: the system starts. Off: it emits no more and its particles run out.
    void SetEnabled(bool enabled) override;
    // Starts the system again, whatever the active flag says.
    virtual void Restart();

    // For every technique, in order: every emitter for "all", else the emitter of that name if it has one.
    void SetEmitterEmissionRate(const std::string& emitterName, float rate);
    void SetEmitterEnabled(const std::string& emitterName, bool enabled);
    // Takes the system off its node and hangs it on node (none for null).
    void AttachToNode(Ogre::SceneNode* node);

    // Null without a system.
    particles::ParticleSystem* GetParticleSystem() const { return m_particleSystem; }
    // Seconds until a pending start; 0 or less when none is pending.
    float GetStartDelay() const { return m_startDelay; }

private:
    // Calls apply on every emitter that emitterName names.
    template <class Apply> void ForEachEmitter(const std::string& emitterName, Apply apply);

    Ogre::SceneManager* m_sceneManager = nullptr;
    particles::ParticleSystem* m_particleSystem = nullptr;
    float m_startDelay = 0.0f;
};
