#include "graphics/cl_TexturePane.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMaterialManager.h>
#include <OgreRenderQueue.h>

#include <algorithm>

namespace
{
const unsigned short POSITIONS = 0;
const unsigned short TEXTURE_COORDINATES = 1;
const size_t CORNERS = 4;
} // namespace

cl_TexturePane::cl_TexturePane(float width, float height)
{
    mRenderOp.vertexData = new Ogre::VertexData();
    mRenderOp.vertexData->vertexStart = 0;
    mRenderOp.vertexData->vertexCount = CORNERS;
    mRenderOp.operationType = Ogre::RenderOperation::OT_TRIANGLE_STRIP;
    mRenderOp.useIndexes = false;

    Ogre::VertexDeclaration* declaration = mRenderOp.vertexData->vertexDeclaration;
    declaration->addElement(POSITIONS, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    declaration->addElement(TEXTURE_COORDINATES, 0, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
    Ogre::VertexBufferBinding* binding = mRenderOp.vertexData->vertexBufferBinding;
    for (unsigned short source : {POSITIONS, TEXTURE_COORDINATES})
        binding->setBinding(source,
                            buffers.createVertexBuffer(declaration->getVertexSize(source), CORNERS,
                                                       Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false));

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
    Write(POSITIONS, positions, sizeof positions / sizeof *positions);
    // Corner by corner, so that a negative size still gives a box whose minimum is its minimum.
    setBoundingBox(Ogre::AxisAlignedBox(std::min(-width, 0.0f), std::min(-height, 0.0f), 0.0f,
                                        std::max(-width, 0.0f), std::max(-height, 0.0f), 0.0f));
}

void cl_TexturePane::SetRect(float uMin, float vMin, float uMax, float vMax)
{
    const float coordinates[] = {uMin, vMin, uMin, vMax, uMax, vMin, uMax, vMax};
    Write(TEXTURE_COORDINATES, coordinates, sizeof coordinates / sizeof *coordinates);
}

void cl_TexturePane::_updateRenderQueue(Ogre::RenderQueue* queue)
{
    queue->addRenderable(this, mRenderQueueID, m_priority);
}

void cl_TexturePane::Write(unsigned short source, const float* values, size_t count)
{
    const Ogre::HardwareVertexBufferSharedPtr& buffer =
        mRenderOp.vertexData->vertexBufferBinding->getBuffer(source);
    buffer->writeData(0, count * sizeof(float), values, true);
}
