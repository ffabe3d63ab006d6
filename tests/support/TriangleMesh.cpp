#include "support/TriangleMesh.h"

#include <OgreHardwareBufferManager.h>
#include <OgreMeshManager.h>
#include <OgreSubMesh.h>

#include <cmath>

namespace
{
Ogre::VertexData* CreateVertexData(const std::vector<Ogre::Vector3>& positions,
                                   const TriangleMeshLayout& layout)
{
    auto* data = new Ogre::VertexData();
    data->vertexCount = positions.size();
    Ogre::VertexDeclaration* declaration = data->vertexDeclaration;
    size_t offset = 0;
    if (layout.withNormals || !layout.positions)
        offset += declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_NORMAL).getSize();
    if (layout.positions)
        declaration->addElement(0, offset, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    if (positions.empty())
        return data;

    std::vector<float> values;
    for (const Ogre::Vector3& position : positions)
    {
        if (layout.withNormals || !layout.positions)
            values.insert(values.end(), {0.0f, 1.0f, 0.0f});
        if (layout.positions)
            values.insert(values.end(), {position.x, position.y, position.z});
    }
    Ogre::HardwareVertexBufferSharedPtr buffer =
        Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(
            declaration->getVertexSize(0), positions.size(), Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
            true);
    buffer->writeData(0, buffer->getSizeInBytes(), values.data(), true);
    data->vertexBufferBinding->setBinding(0, buffer);
    return data;
}

void FillIndices(Ogre::SubMesh& subMesh, const std::vector<uint32_t>& indices, bool indices32)
{
    subMesh.indexData->indexCount = indices.size();
    if (indices.empty())
        return;
    Ogre::HardwareBufferManager& manager = Ogre::HardwareBufferManager::getSingleton();
    if (indices32)
    {
        subMesh.indexData->indexBuffer =
            manager.createIndexBuffer(Ogre::HardwareIndexBuffer::IT_32BIT, indices.size(),
                                      Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
        subMesh.indexData->indexBuffer->writeData(0, indices.size() * 4, indices.data(), true);
        return;
    }
    const std::vector<uint16_t> narrow(indices.begin(), indices.end());
    subMesh.indexData->indexBuffer =
        manager.createIndexBuffer(Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(),
                                  Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true);
    subMesh.indexData->indexBuffer->writeData(0, narrow.size() * 2, narrow.data(), true);
}
} // namespace

Ogre::MeshPtr CreateTriangleMesh(const std::string& name, const std::vector<Ogre::Vector3>& positions,
                                 const std::vector<uint32_t>& indices, const TriangleMeshLayout& layout)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(
        name, Ogre::ResourceGroupManager::DEFAULT_RESOURCE_GROUP_NAME);
    if (layout.sharedVertices)
        mesh->sharedVertexData = CreateVertexData(positions, layout);
    for (int i = 0; i < layout.subMeshes; ++i)
    {
        Ogre::SubMesh* subMesh = mesh->createSubMesh();
        subMesh->useSharedVertices = layout.sharedVertices;
        if (!layout.sharedVertices)
            subMesh->vertexData = CreateVertexData(positions, layout);
        FillIndices(*subMesh, indices, layout.indices32);
    }
    // OGRE's bounds assert on NaN and on infinite corners; what they hold does not matter here.
    Ogre::AxisAlignedBox bounds;
    for (const Ogre::Vector3& position : positions)
    {
        if (std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z))
            bounds.merge(position);
    }
    mesh->_setBounds(bounds);
    mesh->load();
    return mesh;
}
