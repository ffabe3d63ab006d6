#include "common/MeshHelpers.h"

#include <OgreEntity.h>
#include <OgreHardwareBuffer.h>
#include <OgreHardwareIndexBuffer.h>
#include <OgreHardwareVertexBuffer.h>
#include <OgreMath.h>
#include <OgreMesh.h>
#include <OgreNode.h>
#include <OgreRay.h>
#include <OgreSceneQuery.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreVertexIndexData.h>

#include <algorithm>

namespace
{
const char* const ENTITY_TYPE = "Entity";

struct WorldTransform
{
    const Ogre::Vector3& position;
    const Ogre::Quaternion& orientation;
    const Ogre::Vector3& scale;

    Ogre::Vector3 Apply(const Ogre::Vector3& local) const { return orientation * (scale * local) + position; }
};

// Calls read(i, values, count) for every vertex i of data that has the element, with the element's float
// values. Elements that are not floats (packed colours, half floats) are not read: their vertices keep
// what the caller put there.
template <class Read>
void ForEachElementValue(const Ogre::VertexData& data, const Ogre::VertexElement& element, Read read)
{
    const unsigned short floatCount = Ogre::VertexElement::getTypeCount(element.getType());
    if (Ogre::VertexElement::getBaseType(element.getType()) != Ogre::VET_FLOAT1 ||
        !data.vertexBufferBinding->isBufferBound(element.getSource()))
        return;
    const Ogre::HardwareVertexBufferSharedPtr& buffer =
        data.vertexBufferBinding->getBuffer(element.getSource());
    // A vertex range reaching past the buffer (broken mesh file) is read only as far as the buffer goes.
    const size_t available =
        buffer->getNumVertices() > data.vertexStart ? buffer->getNumVertices() - data.vertexStart : 0;
    const size_t count = std::min(data.vertexCount, available);
    if (count == 0)
        return;
    const size_t stride = buffer->getVertexSize();
    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const unsigned char* vertex = static_cast<const unsigned char*>(lock.pData) + data.vertexStart * stride;
    for (size_t i = 0; i < count; ++i, vertex += stride)
    {
        float* values = nullptr;
        element.baseVertexPointerToElement(const_cast<unsigned char*>(vertex), &values);
        read(i, values, floatCount);
    }
}

// Appends the vertices of positions (world space) and, when textureCoordinates is given, the first texture
// coordinates of data. positions is data itself or its skinned copy: the texture coordinates are read from
// the mesh's own data, since a skinned copy holds only the positions and normals it blended.
void AppendVertices(const Ogre::VertexData& data, const Ogre::VertexData& positions,
                    const WorldTransform& transform, std::vector<Ogre::Vector3>& vertices,
                    std::vector<Ogre::Vector2>* textureCoordinates)
{
    const size_t first = vertices.size();
    vertices.resize(first + data.vertexCount, transform.Apply(Ogre::Vector3::ZERO));
    if (const Ogre::VertexElement* position =
            positions.vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION))
    {
        ForEachElementValue(positions, *position,
                            [&](size_t i, const float* values, unsigned short count)
                            {
                                Ogre::Vector3 local = Ogre::Vector3::ZERO;
                                for (unsigned short axis = 0; axis < std::min<unsigned short>(count, 3);
                                     ++axis)
                                    local[axis] = values[axis];
                                vertices[first + i] = transform.Apply(local);
                            });
    }
    if (!textureCoordinates)
        return;
    textureCoordinates->resize(first + data.vertexCount, Ogre::Vector2::ZERO);
    if (const Ogre::VertexElement* uv =
            data.vertexDeclaration->findElementBySemantic(Ogre::VES_TEXTURE_COORDINATES, 0))
    {
        ForEachElementValue(data, *uv,
                            [&](size_t i, const float* values, unsigned short count) {
                                (*textureCoordinates)[first + i] =
                                    Ogre::Vector2(values[0], count > 1 ? values[1] : 0.0f);
                            });
    }
}

// Appends the sub-mesh's whole triangles, each index moved by offset (where its vertices start in the
// output).
void AppendIndices(const Ogre::IndexData* data, uint32_t offset, std::vector<uint32_t>& indices)
{
    if (!data || !data->indexBuffer)
        return;
    const Ogre::HardwareIndexBufferSharedPtr& buffer = data->indexBuffer;
    const size_t available =
        buffer->getNumIndexes() > data->indexStart ? buffer->getNumIndexes() - data->indexStart : 0;
    const size_t count = std::min(data->indexCount, available) / 3 * 3;
    if (count == 0)
        return;
    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    if (buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT)
    {
        const uint32_t* source = static_cast<const uint32_t*>(lock.pData) + data->indexStart;
        for (size_t i = 0; i < count; ++i)
            indices.push_back(source[i] + offset);
    }
    else
    {
        const uint16_t* source = static_cast<const uint16_t*>(lock.pData) + data->indexStart;
        for (size_t i = 0; i < count; ++i)
            indices.push_back(source[i] + offset);
    }
}

// The one reader behind both public forms; animated asks for the software-skinned vertices.
void ReadMesh(Ogre::Entity* entity, bool animated, const WorldTransform& transform,
              std::vector<Ogre::Vector3>& vertices, std::vector<uint32_t>& indices,
              std::vector<Ogre::Vector2>* textureCoordinates)
{
    vertices.clear();
    indices.clear();
    if (textureCoordinates)
        textureCoordinates->clear();
    if (!entity || !entity->getMesh())
        return;
    const Ogre::MeshPtr& mesh = entity->getMesh();
    animated = animated && entity->hasSkeleton();
    if (animated)
    {
        // Forces the skinning into the entity's own vertex copies even where the material skins in a shader.
        entity->addSoftwareAnimationRequest(false);
        entity->_updateAnimation();
    }

    bool sharedRead = false;
    uint32_t sharedFirst = 0;
    for (unsigned short i = 0; i < mesh->getNumSubMeshes(); ++i)
    {
        const Ogre::SubMesh* subMesh = mesh->getSubMesh(i);
        const Ogre::VertexData* data =
            subMesh->useSharedVertices ? mesh->sharedVertexData : subMesh->vertexData;
        if (!data)
            continue;
        const Ogre::VertexData* positions = data;
        if (animated)
        {
            const Ogre::VertexData* skinned = subMesh->useSharedVertices
                                                  ? entity->_getSkelAnimVertexData()
                                                  : entity->getSubEntity(i)->_getSkelAnimVertexData();
            if (skinned && skinned->vertexCount == data->vertexCount)
                positions = skinned;
        }
        uint32_t first = static_cast<uint32_t>(vertices.size());
        if (!subMesh->useSharedVertices)
            AppendVertices(*data, *positions, transform, vertices, textureCoordinates);
        else if (sharedRead)
            first = sharedFirst;
        else
        {
            sharedRead = true;
            sharedFirst = first;
            AppendVertices(*data, *positions, transform, vertices, textureCoordinates);
        }
        AppendIndices(subMesh->indexData, first, indices);
    }

    if (animated)
        entity->removeSoftwareAnimationRequest(false);
}

// The texture coordinate at p on the triangle abc, weighting each corner by the area facing it.
Ogre::Vector2 Interpolate(const Ogre::Vector3& p, const Ogre::Vector3& a, const Ogre::Vector3& b,
                          const Ogre::Vector3& c, const Ogre::Vector2& ta, const Ogre::Vector2& tb,
                          const Ogre::Vector2& tc)
{
    const float area = (b - a).crossProduct(c - a).length();
    if (area <= 0.0f)
        return ta;
    const float alpha = (b - p).crossProduct(c - p).length() / area;
    const float beta = (p - a).crossProduct(c - a).length() / area;
    const float gamma = 1.0f - alpha - beta;
    return alpha * ta + beta * tb + gamma * tc;
}

// Calls hit(distance, i0, i1, i2) for every triangle of the mesh the ray meets (from the front only
// unless backFaces), in index order.
template <class Hit>
void ForEachTriangleHit(const Ogre::Ray& ray, const std::vector<Ogre::Vector3>& vertices,
                        const std::vector<uint32_t>& indices, bool backFaces, Hit hit)
{
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
    {
        const uint32_t i0 = indices[t];
        const uint32_t i1 = indices[t + 1];
        const uint32_t i2 = indices[t + 2];
        // Indices beyond the vertices come only from a broken mesh file.
        if (std::max({i0, i1, i2}) >= vertices.size())
            continue;
        const std::pair<bool, Ogre::Real> found =
            Ogre::Math::intersects(ray, vertices[i0], vertices[i1], vertices[i2], true, backFaces);
        if (found.first)
            hit(found.second, i0, i1, i2);
    }
}

// The walk of both ray casts. uv given: the front-side-only form, with the texture coordinate of each new
// nearest hit written there.
RaycastResult Raycast(Ogre::RaySceneQuery* query, Ogre::Vector2* uv, bool useAnimation)
{
    RaycastResult result;
    if (!query)
        return result;
    const Ogre::Ray ray = query->getRay();
    const bool backFaces = uv == nullptr;
    float closest = -1.0f;
    Ogre::Entity* nearest = nullptr;
    std::vector<Ogre::Vector3> vertices;
    std::vector<uint32_t> indices;
    std::vector<Ogre::Vector2> textureCoordinates;

    for (const Ogre::RaySceneQueryResultEntry& entry : query->execute())
    {
        if (closest >= 0.0f && closest < entry.distance)
            break;
        if (!entry.movable || entry.movable->getMovableType() != ENTITY_TYPE)
            continue;
        Ogre::Entity* entity = static_cast<Ogre::Entity*>(entry.movable);
        Ogre::Node* node = entity->getParentNode();
        if (!node)
            continue;
        const WorldTransform transform{node->_getDerivedPosition(), node->_getDerivedOrientation(),
                                       node->_getDerivedScale()};
        if (uv)
            GetMeshInformationEx(entity, vertices, indices, textureCoordinates, transform.position,
                                 transform.orientation, transform.scale, useAnimation);
        else
            GetMeshInformation(entity, vertices, indices, transform.position, transform.orientation,
                               transform.scale);

        ForEachTriangleHit(ray, vertices, indices, backFaces,
                           [&](float distance, uint32_t i0, uint32_t i1, uint32_t i2)
                           {
                               if (closest >= 0.0f && distance >= closest)
                                   return;
                               closest = distance;
                               nearest = entity;
                               if (uv)
                                   *uv = Interpolate(ray.getPoint(closest), vertices[i0], vertices[i1],
                                                     vertices[i2], textureCoordinates[i0],
                                                     textureCoordinates[i1], textureCoordinates[i2]);
                           });
    }

    if (nearest)
    {
        result.object = nearest;
        result.point = ray.getPoint(closest);
        result.hit = true;
    }
    return result;
}
} // namespace

void GetMeshInformation(Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                        std::vector<uint32_t>& indices, const Ogre::Vector3& position,
                        const Ogre::Quaternion& orientation, const Ogre::Vector3& scale)
{
    ReadMesh(entity, true, WorldTransform{position, orientation, scale}, vertices, indices, nullptr);
}

void GetMeshInformationEx(Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                          std::vector<uint32_t>& indices, std::vector<Ogre::Vector2>& textureCoordinates,
                          const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                          const Ogre::Vector3& scale, bool useAnimation)
{
    ReadMesh(entity, useAnimation, WorldTransform{position, orientation, scale}, vertices, indices,
             &textureCoordinates);
}

RaycastResult RaycastToPolygon(Ogre::RaySceneQuery* query)
{
    return Raycast(query, nullptr, false);
}

RaycastResult RaycastToPolygonEx(Ogre::RaySceneQuery* query, Ogre::Vector2& uv, bool useAnimation)
{
    return Raycast(query, &uv, useAnimation);
}

float NearestTriangleHit(const Ogre::Ray& ray, Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                         std::vector<uint32_t>& indices)
{
    const Ogre::Node* node = entity ? entity->getParentNode() : nullptr;
    if (!node)
        return -1.0f;
    GetMeshInformation(entity, vertices, indices, node->_getDerivedPosition(), node->_getDerivedOrientation(),
                       node->_getDerivedScale());
    float closest = -1.0f;
    ForEachTriangleHit(ray, vertices, indices, true,
                       [&closest](float distance, uint32_t, uint32_t, uint32_t)
                       {
                           if (closest < 0.0f || distance < closest)
                               closest = distance;
                       });
    return closest;
}
