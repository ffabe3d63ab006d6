#include "platform/particles/BillboardRenderer.h"

#include "common/LogCall.h"
#include "platform/particles/Particle.h"

#include <OgreBillboard.h>
#include <OgreBillboardSet.h>
#include <OgreMaterialManager.h>

#include <algorithm>

namespace particles
{
namespace
{
const char* const PLAIN_MATERIAL = "BaseWhiteNoLighting";
} // namespace

BillboardRenderer::BillboardRenderer(const std::string& name, size_t quota, const std::string& materialName,
                                     const Ogre::Vector2& size)
    : m_set(std::make_unique<Ogre::BillboardSet>(name, static_cast<unsigned int>(quota), true))
{
    m_set->setBillboardsInWorldSpace(true);
    m_set->setDefaultDimensions(size.x, size.y);
    Ogre::MaterialPtr material = Ogre::MaterialManager::getSingleton().getByName(materialName);
    if (!material)
    {
        LOG_ERROR("The particle material '%s' of '%s' does not exist; its particles are drawn plain white.",
                  materialName.c_str(), name.c_str());
        material = Ogre::MaterialManager::getSingleton().getByName(PLAIN_MATERIAL);
    }
    m_set->setMaterial(material);
}

BillboardRenderer::~BillboardRenderer()
{
    // The set only follows the node, which does not hold it: a set that knows a parent would detach
    // itself from it on destruction.
    m_set->_notifyAttached(nullptr);
}

void BillboardRenderer::notifyAttached(Ogre::Node* parent, bool isTagPoint)
{
    m_set->_notifyAttached(parent, isTagPoint);
}

void BillboardRenderer::notifyCurrentCamera(Ogre::Camera* camera)
{
    m_set->_notifyCurrentCamera(camera);
}

void BillboardRenderer::setBounds(const Ogre::AxisAlignedBox& box, float radius)
{
    m_set->setBounds(box, radius);
}

void BillboardRenderer::render(const std::vector<Particle>& particles, Ogre::RenderQueue& queue,
                               uint8_t group, uint16_t priority)
{
    if (particles.empty())
        return;
    m_set->beginBillboards(std::min<size_t>(particles.size(), m_set->getPoolSize()));
    Ogre::Billboard billboard;
    for (const Particle& particle : particles)
    {
        billboard.mPosition = particle.position;
        billboard.mColour = particle.colour;
        m_set->injectBillboard(billboard);
    }
    m_set->endBillboards();
    m_set->setRenderQueueGroupAndPriority(group, priority);
    m_set->_updateRenderQueue(&queue);
}

void BillboardRenderer::visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables)
{
    m_set->visitRenderables(visitor, debugRenderables);
}
} // namespace particles
