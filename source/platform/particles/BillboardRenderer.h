#pragma once

#include <OgreAxisAlignedBox.h>
#include <OgreRenderable.h>
#include <OgreVector.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class BillboardSet;
class Camera;
class Node;
class RenderQueue;
} // namespace Ogre

namespace particles
{
class Particle;

// Draws the particles of one technique as camera-facing quads through an OGRE billboard set that it
// fills from the particles every time the technique is queued for a camera. The set lives outside any
// scene manager; it follows the system's node and draws in world space.
class BillboardRenderer
{
public:
    // quota: the most particles it draws. A material OGRE does not know is logged (name names the
    // system and technique) and replaced by plain white.
    BillboardRenderer(const std::string& name, size_t quota, const std::string& materialName,
                      const Ogre::Vector2& size);
    ~BillboardRenderer();
    BillboardRenderer(const BillboardRenderer&) = delete;
    BillboardRenderer& operator=(const BillboardRenderer&) = delete;

    void notifyAttached(Ogre::Node* parent, bool isTagPoint);
    void notifyCurrentCamera(Ogre::Camera* camera);
    // Bounds in the space of the node (for light queries and view depth).
    void setBounds(const Ogre::AxisAlignedBox& box, float radius);
    // Fills the billboards from the particles and adds them to the queue, in that group; nothing when
    // there are no particles.
    void render(const std::vector<Particle>& particles, Ogre::RenderQueue& queue, uint8_t group,
                uint16_t priority);
    void visitRenderables(Ogre::Renderable::Visitor* visitor, bool debugRenderables);

private:
    std::unique_ptr<Ogre::BillboardSet> m_set;
};
} // namespace particles
