#include "platform/particles/ParticleSystem.h"

#include "platform/particles/ParticleSystemFactory.h"
#include "platform/particles/ParticleTechnique.h"

#include <OgreMath.h>
#include <OgreNode.h>

#include <algorithm>
#include <cmath>

namespace particles
{
namespace
{
// Enough for minutes at the steps effects use; a longer fast-forward takes longer steps.
const float MOST_FAST_FORWARD_STEPS = 10000.0f;
} // namespace

ParticleSystem::ParticleSystem(const std::string& name) : Ogre::MovableObject(name)
{
    // Particles neither cast shadows nor get picked.
    setCastShadows(false);
    setQueryFlags(0);
}

ParticleSystem::~ParticleSystem() = default;

ParticleTechnique* ParticleSystem::createTechnique()
{
    m_techniques.push_back(std::make_unique<ParticleTechnique>(this));
    ParticleTechnique* technique = m_techniques.back().get();
    if (mParentNode)
        technique->_notifyAttached(mParentNode, mParentIsTagPoint);
    return technique;
}

ParticleTechnique* ParticleSystem::getTechnique(size_t index) const
{
    return index < m_techniques.size() ? m_techniques[index].get() : nullptr;
}

void ParticleSystem::start()
{
    m_state = RUNNING;
    m_time = 0.0f;
    for (const auto& technique : m_techniques)
        technique->_prepare();
}

void ParticleSystem::stop()
{
    m_state = STOPPED;
    for (const auto& technique : m_techniques)
        technique->_clearParticles();
    updateBounds();
}

void ParticleSystem::stopFade()
{
    if (m_state == RUNNING)
        m_state = FADING;
}

void ParticleSystem::setFastForward(float time, float interval)
{
    if (!(time > 0.0f) || !(interval > 0.0f))
    {
        m_fastForwardTime = m_fastForwardInterval = 0.0f;
        return;
    }
    m_fastForwardTime = time;
    m_fastForwardInterval = std::max(interval, time / MOST_FAST_FORWARD_STEPS);
}

void ParticleSystem::fastForward()
{
    if (m_fastForwardInterval <= 0.0f)
        return;
    const int steps = static_cast<int>(std::ceil(m_fastForwardTime / m_fastForwardInterval));
    for (int step = 0; step < steps; ++step)
        _update(m_fastForwardInterval);
}

void ParticleSystem::_update(float dt)
{
    if (m_state == STOPPED || !(dt > 0.0f))
        return;
    m_time += dt;
    bool anyParticle = false;
    for (const auto& technique : m_techniques)
    {
        technique->_update(dt, m_state == RUNNING);
        anyParticle = anyParticle || technique->getNumParticles() > 0;
    }
    if (m_state == FADING && !anyParticle)
        m_state = STOPPED;
    updateBounds();
}

void ParticleSystem::copyAttributesTo(ParticleSystem& system) const
{
    system.m_scale = m_scale;
    for (const auto& technique : m_techniques)
        technique->copyAttributesTo(*system.createTechnique());
}

Ogre::Vector3 ParticleSystem::_getDerivedPoint(const Ogre::Vector3& point) const
{
    const Ogre::Vector3 scaled = m_scale * point;
    if (!mParentNode)
        return scaled;
    return mParentNode->_getDerivedOrientation() * (mParentNode->_getDerivedScale() * scaled) +
           mParentNode->_getDerivedPosition();
}

Ogre::Vector3 ParticleSystem::_getDerivedDirection(const Ogre::Vector3& direction) const
{
    return mParentNode ? mParentNode->_getDerivedOrientation() * direction : direction;
}

void ParticleSystem::updateBounds()
{
    Ogre::AxisAlignedBox world;
    for (const auto& technique : m_techniques)
        technique->_mergeWorldBounds(world);
    const Ogre::AxisAlignedBox previous = m_bounds;
    m_bounds = world;
    if (mParentNode && !world.isNull())
        m_bounds.transform(mParentNode->_getFullTransform().inverse());
    // A node culls by the bounds it gathered at its last update; one that stays where it is would keep
    // those of an empty system for good.
    if (mParentNode && m_bounds != previous)
        mParentNode->needUpdate();
    m_boundingRadius = m_bounds.isNull() ? 0.0f : Ogre::Math::boundingRadiusFromAABB(m_bounds);
    for (const auto& technique : m_techniques)
        technique->_notifyBounds(m_bounds, m_boundingRadius);
}

const Ogre::String& ParticleSystem::getMovableType() const
{
    return ParticleSystemFactory::FACTORY_TYPE_NAME;
}

void ParticleSystem::_notifyAttached(Ogre::Node* parent, bool isTagPoint)
{
    Ogre::MovableObject::_notifyAttached(parent, isTagPoint);
    for (const auto& technique : m_techniques)
        technique->_notifyAttached(parent, isTagPoint);
}

void ParticleSystem::_notifyCurrentCamera(Ogre::Camera* camera)
{
    Ogre::MovableObject::_notifyCurrentCamera(camera);
    for (const auto& technique : m_techniques)
        technique->_notifyCurrentCamera(camera);
}

void ParticleSystem::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    for (const auto& technique : m_techniques)
        technique->_updateRenderQueue(*queue, mRenderQueueID, mRenderQueuePriority);
}

void ParticleSystem::visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables)
{
    for (const auto& technique : m_techniques)
        technique->_visitRenderables(visitor, debugRenderables);
}
} // namespace particles
