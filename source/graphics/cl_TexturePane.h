#pragma once

#include <OgreSimpleRenderable.h>

#include <cstdint>

// A textured quad of a backdrop: four vertices drawn as one triangle strip, lying in its node's xy plane
// from the origin toward negative x and y. It starts with the material "BaseWhiteNoLighting", is never hit
// by scene queries (query flags 0) and draws with a render-queue priority of its own.
class cl_TexturePane : public Ogre::SimpleRenderable
{
public:
    // width, height: the quad's size in its node's units. The texture shows whole: (0, 0) to (1, 1).
    cl_TexturePane(float width, float height);
    ~cl_TexturePane() override;

    // Writes the quad's corners (0, 0), (0, -h), (-w, 0), (-w, -h) and a bounding box around them.
    void SetSize(float width, float height);
    // The texture coordinates of those corners, in the same order: (uMin, vMin), (uMin, vMax),
    // (uMax, vMin), (uMax, vMax).
    void SetRect(float uMin, float vMin, float uMax, float vMax);
    float GetWidth() const { return m_width; }
    float GetHeight() const { return m_height; }

    // Orders the pane within its render-queue group; 100 at first.
    void SetPriority(uint16_t priority) { m_priority = priority; }
    uint16_t GetPriority() const { return m_priority; }

    Ogre::Real getBoundingRadius() const override { return 0.0f; }
    Ogre::Real getSquaredViewDepth(const Ogre::Camera*) const override { return 0.0f; }
    // Queues the pane in its group with its own priority.
    void _updateRenderQueue(Ogre::RenderQueue* queue) override;

private:
    float m_width = 0.0f;
    float m_height = 0.0f;
    uint16_t m_priority = 100;
};
