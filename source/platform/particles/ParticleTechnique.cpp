#include "platform/particles/ParticleTechnique.h"

#include "platform/particles/BillboardRenderer.h"
#include "platform/particles/ParticleAffector.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"

#include <cmath>

namespace particles
{
namespace
{
const size_t DEFAULT_QUOTA = 100;
const char* const PLAIN_MATERIAL = "BaseWhiteNoLighting";
} // namespace

ParticleTechnique::ParticleTechnique(ParticleSystem* parent)
    : m_system(parent), m_materialName(PLAIN_MATERIAL), m_quota(DEFAULT_QUOTA), m_size(10.0f, 10.0f)
{
}

ParticleTechnique::~ParticleTechnique() = default;

void ParticleTechnique::setMaterialName(const std::string& name)
{
    m_materialName = name;
    m_renderer.reset();
}

void ParticleTechnique::setParticleQuota(size_t quota)
{
    m_quota = quota;
    if (m_particles.size() > m_quota)
        m_particles.resize(m_quota);
    m_renderer.reset();
}

void ParticleTechnique::setDefaultDimensions(const Ogre::Vector2& size)
{
    m_size = size;
    m_renderer.reset();
}

ParticleEmitter* ParticleTechnique::addEmitter(std::unique_ptr<ParticleEmitter> emitter)
{
    if (!emitter)
        return nullptr;
    emitter->_setParentTechnique(this);
    m_emitters.push_back(std::move(emitter));
    return m_emitters.back().get();
}

ParticleEmitter* ParticleTechnique::getEmitter(size_t index) const
{
    return index < m_emitters.size() ? m_emitters[index].get() : nullptr;
}

ParticleEmitter* ParticleTechnique::getEmitter(const std::string& name) const
{
    for (const auto& emitter : m_emitters)
    {
        if (emitter->getName() == name)
            return emitter.get();
    }
    return nullptr;
}

ParticleAffector* ParticleTechnique::addAffector(std::unique_ptr<ParticleAffector> affector)
{
    if (!affector)
        return nullptr;
    affector->_setParentTechnique(this);
    m_affectors.push_back(std::move(affector));
    return m_affectors.back().get();
}

ParticleAffector* ParticleTechnique::getAffector(size_t index) const
{
    return index < m_affectors.size() ? m_affectors[index].get() : nullptr;
}

void ParticleTechnique::copyAttributesTo(ParticleTechnique& technique) const
{
    technique.setMaterialName(m_materialName);
    technique.setParticleQuota(m_quota);
    technique.setDefaultDimensions(m_size);
    ParticleSystemManager& manager = ParticleSystemManager::getSingleton();
    for (const auto& emitter : m_emitters)
    {
        if (ParticleEmitter* copy = technique.addEmitter(manager.createEmitter(emitter->getEmitterType())))
            emitter->copyAttributesTo(*copy);
    }
    for (const auto& affector : m_affectors)
    {
        if (ParticleAffector* copy =
                technique.addAffector(manager.createAffector(affector->getAffectorType())))
            affector->copyAttributesTo(*copy);
    }
}

void ParticleTechnique::_prepare()
{
    for (const auto& emitter : m_emitters)
        emitter->_prepare(*this);
}

void ParticleTechnique::_update(float dt, bool emitting)
{
    for (const auto& emitter : m_emitters)
        emitter->_preProcessParticles(*this, dt);
    for (size_t index = 0; index < m_particles.size();)
    {
        Particle& particle = m_particles[index];
        particle.timeToLive -= dt;
        if (particle.timeToLive <= 0.0f)
        {
            particle = m_particles.back();
            m_particles.pop_back();
            continue;
        }
        for (const auto& affector : m_affectors)
        {
            if (affector->isEnabled())
                affector->_affect(*this, particle, dt);
        }
        particle.position += particle.direction * dt;
        ++index;
    }
    if (emitting)
        emitParticles(dt);
}

void ParticleTechnique::emitParticles(float dt)
{
    // Once, when a system first emits (templates never do): no step allocates after that.
    if (m_particles.capacity() < m_quota)
        m_particles.reserve(m_quota);
    for (const auto& emitter : m_emitters)
    {
        if (!emitter->isEnabled())
            continue;
        const size_t requested = emitter->_calculateRequestedParticles(dt);
        for (size_t made = 0; made < requested && m_particles.size() < m_quota; ++made)
        {
            m_particles.emplace_back();
            emitter->_initParticleForEmission(m_particles.back());
        }
    }
}

void ParticleTechnique::_mergeWorldBounds(Ogre::AxisAlignedBox& box) const
{
    if (m_particles.empty())
        return;
    Ogre::Vector3 low = m_particles.front().position;
    Ogre::Vector3 high = low;
    for (const Particle& particle : m_particles)
    {
        low.makeFloor(particle.position);
        high.makeCeil(particle.position);
    }
    const float reach = 0.5f * std::sqrt(m_size.x * m_size.x + m_size.y * m_size.y);
    box.merge(Ogre::AxisAlignedBox(low - reach, high + reach));
}

void ParticleTechnique::_notifyAttached(Ogre::Node* parent, bool isTagPoint)
{
    m_parentNode = parent;
    m_parentIsTagPoint = isTagPoint;
    if (m_renderer)
        m_renderer->notifyAttached(parent, isTagPoint);
}

void ParticleTechnique::_notifyCurrentCamera(Ogre::Camera* camera)
{
    m_camera = camera;
    if (m_renderer)
        m_renderer->notifyCurrentCamera(camera);
}

void ParticleTechnique::_notifyBounds(const Ogre::AxisAlignedBox& box, float radius)
{
    m_bounds = box;
    m_boundingRadius = radius;
    if (m_renderer)
        m_renderer->setBounds(box, radius);
}

BillboardRenderer& ParticleTechnique::renderer()
{
    if (!m_renderer)
    {
        m_renderer = std::make_unique<BillboardRenderer>(m_system ? m_system->getName() : std::string(),
                                                         m_quota, m_materialName, m_size);
        m_renderer->notifyAttached(m_parentNode, m_parentIsTagPoint);
        if (m_camera)
            m_renderer->notifyCurrentCamera(m_camera);
        m_renderer->setBounds(m_bounds, m_boundingRadius);
    }
    return *m_renderer;
}

void ParticleTechnique::_updateRenderQueue(Ogre::RenderQueue& queue, uint8_t group, uint16_t priority)
{
    if (!m_particles.empty())
        renderer().render(m_particles, queue, group, priority);
}

void ParticleTechnique::_visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables)
{
    if (m_renderer)
        m_renderer->visitRenderables(visitor, debugRenderables);
}
} // namespace particles
