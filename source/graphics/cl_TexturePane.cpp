#include "graphics/cl_TexturePane.h"

#include "graphics/QuadStrip.h"

#include <OgreMaterialManager.h>
#include <OgreRenderQueue.h>

#include <algorithm>

cl_TexturePane::cl_TexturePane(float width, float height)
{
    SetUpQuadStrip(mRenderOp, false);
    setMaterial(Ogre::MaterialManager::getSingleton().getByName("BaseWhiteNoLighting"));
    setQueryFlags(0);
    setVisibilityFlags(1);
    SetRect(0.0f, 0.0f, 1.0f, 1.0f);
    SetSize(width, height);
}

cl_TexturePane::~cl_TexturePane()
{
    delete mRenderOp.vertexData;
}

void cl_TexturePane::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
    const float positions[] = {0.0f,   0.0f, 0.0f, 0.0f,   -height, 0.0f,
                               -width, 0.0f, 0.0f, -width, -height, 0.0f};
    WriteQuadStrip(mRenderOp, QUAD_POSITIONS, positions, sizeof positions);
    // Corner by corner, so that a negative size still gives a box whose minimum is its minimum.
    setBoundingBox(Ogre::AxisAlignedBox(std::min(-width, 0.0f), std::min(-height, 0.0f), 0.0f,
                                        std::max(-width, 0.0f), std::max(-height, 0.0f), 0.0f));
}

void cl_TexturePane::SetRect(float uMin, float vMin, float uMax, float vMax)
{
    const float coordinates[] = {uMin, vMin, uMin, vMax, uMax, vMin, uMax, vMax};
    WriteQuadStrip(mRenderOp, QUAD_TEXTURE_COORDINATES, coordinates, sizeof coordinates);
}

void cl_TexturePane::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    queue->addRenderable(this, mRenderQueueID, m_priority);
}
