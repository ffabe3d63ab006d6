#include "support/TestMeshes.h"

#include <OgreBone.h>
#include <OgreHardwareBufferManager.h>
#include <OgreMeshManager.h>
#include <OgreSkeletonManager.h>
#include <OgreSubMesh.h>
#include <OgreVertexBoneAssignment.h>
#include <OgreVertexIndexData.h>

namespace
{
Ogre::VertexData* MakeVertexData(const std::vector<TestVertex>& vertices)
{
    auto* data = new Ogre::VertexData();
    data->vertexCount = vertices.size();
    data->vertexDeclaration->addElement(0, 0, Ogre::VET_FLOAT3, Ogre::VES_POSITION);
    data->vertexDeclaration->addElement(0, 12, Ogre::VET_FLOAT2, Ogre::VES_TEXTURE_COORDINATES);
    std::vector<float> floats;
    for (const TestVertex& vertex : vertices)
        floats.insert(floats.end(),
                      {vertex.position.x, vertex.position.y, vertex.position.z, vertex.uv.x, vertex.uv.y});
    Ogre::HardwareVertexBufferSharedPtr buffer =
        Ogre::HardwareBufferManager::getSingleton().createVertexBuffer(5 * sizeof(float), vertices.size(),
                                                                       Ogre::HardwareBuffer::HBU_STATIC);
    buffer->writeData(0, floats.size() * sizeof(float), floats.data(), true);
    data->vertexBufferBinding->setBinding(0, buffer);
    return data;
}

void FillIndices(Ogre::IndexData& data, const std::vector<uint32_t>& indices, bool indices32)
{
    data.indexCount = indices.size();
    data.indexBuffer = Ogre::HardwareBufferManager::getSingleton().createIndexBuffer(
        indices32 ? Ogre::HardwareIndexBuffer::IT_32BIT : Ogre::HardwareIndexBuffer::IT_16BIT, indices.size(),
        Ogre::HardwareBuffer::HBU_STATIC);
    if (indices32)
        data.indexBuffer->writeData(0, indices.size() * 4, indices.data(), true);
    else
    {
        const std::vector<uint16_t> shortIndices(indices.begin(), indices.end());
        data.indexBuffer->writeData(0, shortIndices.size() * 2, shortIndices.data(), true);
    }
}
} // namespace

Ogre::MeshPtr MakeTestMesh(const std::string& name, const std::vector<TestVertex>& shared,
                           const std::vector<TestSubMesh>& subMeshes, float margin)
{
    Ogre::MeshPtr mesh = Ogre::MeshManager::getSingleton().createManual(name, Ogre::RGN_DEFAULT);
    Ogre::AxisAlignedBox bounds;
    if (!shared.empty())
        mesh->sharedVertexData = MakeVertexData(shared);
    for (const TestVertex& vertex : shared)
        bounds.merge(vertex.position);
    for (const TestSubMesh& spec : subMeshes)
    {
        Ogre::SubMesh* subMesh = mesh->createSubMesh();
        subMesh->useSharedVertices = spec.vertices.empty();
        if (!subMesh->useSharedVertices)
            subMesh->vertexData = MakeVertexData(spec.vertices);
        for (const TestVertex& vertex : spec.vertices)
            bounds.merge(vertex.position);
        FillIndices(*subMesh->indexData, spec.indices, spec.indices32);
    }
    bounds.setExtents(bounds.getMinimum() - Ogre::Vector3(margin),
                      bounds.getMaximum() + Ogre::Vector3(margin));
    mesh->_setBounds(bounds, false);
    mesh->load();
    return mesh;
}

Ogre::SkeletonPtr MakeTestSkeleton(const std::string& name, const std::vector<TestBone>& bones)
{
    Ogre::SkeletonPtr skeleton = Ogre::SkeletonManager::getSingleton().create(name, Ogre::RGN_DEFAULT, true);
    std::vector<Ogre::Bone*> made;
    for (const TestBone& bone : bones)
    {
        Ogre::Bone* created = skeleton->createBone(bone.name, static_cast<unsigned short>(made.size()));
        created->setPosition(bone.position);
        if (bone.parent >= 0)
            made[static_cast<size_t>(bone.parent)]->addChild(created);
        made.push_back(created);
    }
    skeleton->setBindingPose();
    return skeleton;
}

Ogre::MeshPtr MakeTestTriangle(const std::string& name, const std::vector<TestBone>& bones)
{
    Ogre::MeshPtr mesh =
        MakeTestMesh(name, {}, {{{{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}}, {0, 1, 2}}});
    if (bones.empty())
        return mesh;
    MakeTestSkeleton(name + "_rig", bones);
    mesh->setSkeletonName(name + "_rig");
    for (unsigned int vertex = 0; vertex < 3; ++vertex)
        mesh->getSubMesh(0)->addBoneAssignment(Ogre::VertexBoneAssignment{vertex, 0, 1.0f});
    mesh->_compileBoneAssignments();
    return mesh;
}
