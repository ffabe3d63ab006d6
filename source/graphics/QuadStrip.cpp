#include "graphics/QuadStrip.h"

#include <OgreHardwareBufferManager.h>
#include <OgreRenderOperation.h>

namespace
{
const size_t CORNERS = 4;
} // namespace

void SetUpQuadStrip(Ogre::RenderOperation& operation, bool withColours)
{
    operation.vertexData = new Ogre::VertexData();
    operation.vertexData->vertexStart = 0;
    operation.vertexData->vertexCount = CORNERS;
    operation.operationType = Ogre::RenderOperation::OT_TRIANGLE_STRIP;
    operation.useIndexes = false;

    Ogre::VertexDeclaration* declaration = operation.vertexData->vertexDeclaration;
    declaration->addElement(QUAD_POSITIONS, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    declaration->addElement(QUAD_TEXTURE_COORDINATES, 0, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES, 0);
    if (withColours)
        declaration->addElement(QUAD_COLOURS, 0, Ogre::VertexElement::getBestColourVertexElementType(),
                                Ogre::VES_DIFFUSE);
    Ogre::HardwareBufferManager& buffers = Ogre::HardwareBufferManager::getSingleton();
    for (unsigned short source = 0; source <= declaration->getMaxSource(); ++source)
        operation.vertexData->vertexBufferBinding->setBinding(
            source, buffers.createVertexBuffer(declaration->getVertexSize(source), CORNERS,
                                               Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, false));
}

void WriteQuadStrip(Ogre::RenderOperation& operation, QuadSource source, const void* values, size_t bytes)
{
    operation.vertexData->vertexBufferBinding->getBuffer(source)->writeData(0, bytes, values, true);
}
