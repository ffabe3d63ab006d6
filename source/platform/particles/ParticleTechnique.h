#pragma once

#include "platform/particles/Particle.h"

#include <OgreAxisAlignedBox.h>
#include <OgreRenderable.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
class Node;
class RenderQueue;
} // namespace Ogre

namespace particles
{
class BillboardRenderer;
class ParticleAffector;
class ParticleEmitter;
class ParticleSystem;

// One layer of a particle system: its emitters make particles up to a quota, its affectors change them,
// and it draws them as billboards of one material and size.
class ParticleTechnique
{
public:
    explicit ParticleTechnique(ParticleSystem* parent);
    ~ParticleTechnique();
    ParticleTechnique(const ParticleTechnique&) = delete;
    ParticleTechnique& operator=(const ParticleTechnique&) = delete;

    ParticleSystem* getParentSystem() const { return m_system; }

    const std::string& getMaterialName() const { return m_materialName; }
    void setMaterialName(const std::string& name);
    // The most particles alive at once; living particles beyond a smaller quota are dropped.
    size_t getParticleQuota() const { return m_quota; }
    void setParticleQuota(size_t quota);
    // Width and height of every particle's quad.
    const Ogre::Vector2& getDefaultDimensions() const { return m_size; }
    void setDefaultDimensions(const Ogre::Vector2& size);

    // Takes the emitter (null is ignored) and returns it.
    ParticleEmitter* addEmitter(std::unique_ptr<ParticleEmitter> emitter);
    size_t getNumEmitters() const { return m_emitters.size(); }
    // Null past the end.
    ParticleEmitter* getEmitter(size_t index) const;
    // The first emitter of that name; null when none has it.
    ParticleEmitter* getEmitter(const std::string& name) const;
    // Takes the affector (null is ignored) and returns it.
    ParticleAffector* addAffector(std::unique_ptr<ParticleAffector> affector);
    size_t getNumAffectors() const { return m_affectors.size(); }
    ParticleAffector* getAffector(size_t index) const;

    size_t getNumParticles() const { return m_particles.size(); }
    const Particle& getParticle(size_t index) const { return m_particles[index]; }

    // Gives technique this one's settings, emitters and affectors (made by the manager's factories).
    void copyAttributesTo(ParticleTechnique& technique) const;

    // The system starts: the emitters prepare.
    void _prepare();
    // One step: the emitters' per-step work, ageing (the dead dropped), the affectors, moving, and, when
    // emitting, new particles from the enabled emitters up to the quota.
    void _update(float dt, bool emitting);
    void _clearParticles() { m_particles.clear(); }
    // Widens box by every particle, each with half its quad's diagonal round it.
    void _mergeWorldBounds(Ogre::AxisAlignedBox& box) const;

    void _notifyAttached(Ogre::Node* parent, bool isTagPoint);
    void _notifyCurrentCamera(Ogre::Camera* camera);
    void _notifyBounds(const Ogre::AxisAlignedBox& box, float radius);
    // Draws the particles (the drawing is set up on first use, and again after a setting changed).
    void _updateRenderQueue(Ogre::RenderQueue& queue, uint8_t group, uint16_t priority);
    void _visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables);

private:
    // The renderer, made now when there is none (the settings it was made with changed since).
    BillboardRenderer& renderer();
    void emitParticles(float dt);

    ParticleSystem* m_system;
    std::string m_materialName;
    size_t m_quota;
    Ogre::Vector2 m_size;
    std::vector<std::unique_ptr<ParticleEmitter>> m_emitters;
    std::vector<std::unique_ptr<ParticleAffector>> m_affectors;
    // The living particles; their order means nothing.
    std::vector<Particle> m_particles;
    std::unique_ptr<BillboardRenderer> m_renderer;
    // Last told by the system, for a renderer made later.
    Ogre::Node* m_parentNode = nullptr;
    bool m_parentIsTagPoint = false;
    Ogre::Camera* m_camera = nullptr;
    Ogre::AxisAlignedBox m_bounds;
    float m_boundingRadius = 0.0f;
};
} // namespace particles
