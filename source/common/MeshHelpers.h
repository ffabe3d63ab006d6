#pragma once

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <vector>

// Polygon-exact picking: the triangles of an entity's mesh in world space, and ray casts that test those
// triangles instead of the bounding boxes OGRE's ray scene queries stop at.

// What a ray cast hit: the entity and the world point on its nearest triangle. Nothing hit: no object,
// Vector3::ZERO and hit false.
struct RaycastResult
{
    Ogre::MovableObject* object = nullptr;
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    bool hit = false;
};

// Fills vertices with every vertex of the entity's mesh in world space (world = orientation * (scale * local)
// + position; pass the derived values of the entity's parent node) and indices with three indices into
// vertices per triangle. Vertex data shared by sub-meshes is read once. An entity with a skeleton is read as
// it is animated now (its animation brought up to date first, software-skinned). Every sub-mesh is read as a
// triangle list; its index count is cut to a multiple of three. Both vectors are replaced; a null entity
// leaves them empty.
void GetMeshInformation(Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                        std::vector<uint32_t>& indices, const Ogre::Vector3& position,
                        const Ogre::Quaternion& orientation, const Ogre::Vector3& scale);

// As GetMeshInformation, and fills textureCoordinates with the first texture-coordinate set, one per
// vertex ((0, 0) for vertex data without one). The animated vertices are read only when the entity has a
// skeleton and useAnimation is set; otherwise the mesh's bind pose.
void GetMeshInformationEx(Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                          std::vector<uint32_t>& indices, std::vector<Ogre::Vector2>& textureCoordinates,
                          const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                          const Ogre::Vector3& scale, bool useAnimation);

// Executes the query (configure it to sort by distance) and returns the nearest triangle hit among its
// entities, from either side of a triangle. The walk stops at the first entry whose bounding box lies
// behind the nearest hit found so far. Other movable objects are skipped. A null query hits nothing.
RaycastResult RaycastToPolygon(Ogre::RaySceneQuery* query);

// As RaycastToPolygon, but triangles count only when the ray meets their front side (counter-clockwise),
// the mesh is read with GetMeshInformationEx(useAnimation), and uv becomes the texture coordinate at the
// hit point, interpolated over the hit triangle. uv is untouched when nothing is hit.
RaycastResult RaycastToPolygonEx(Ogre::RaySceneQuery* query, Ogre::Vector2& uv, bool useAnimation);

// The distance along the ray of the nearest triangle of the entity's mesh it meets from either side, the
// mesh placed by its parent node's derived transform; negative when it meets none or the entity hangs on
// no node. vertices and indices are working space, kept by callers that cast every frame.
float NearestTriangleHit(const Ogre::Ray& ray, Ogre::Entity* entity, std::vector<Ogre::Vector3>& vertices,
                         std::vector<uint32_t>& indices);
