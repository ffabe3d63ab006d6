#include "graphics/cl_Navmesh.h"

#include "common/LogCall.h"

#include <OgreException.h>
#include <OgreHardwareBuffer.h>
#include <OgreMeshManager.h>
#include <OgrePlane.h>
#include <OgreRay.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <unordered_map>
#include <utility>

namespace
{
const Ogre::Vector3 DOWN(0.0f, -1.0f, 0.0f);
// Path points closer than this to the point before them are left out.
const float PATH_POINT_SPACING = 20.0f;
// Corners of a surface-mesh triangle and a navmesh triangle closer than this are the same corner.
const float CORNER_TOLERANCE = 1.0f;

// The mesh through OGRE's mesh manager, with shadow buffers so that the vertices and indices can be read
// back; null (logged) when OGRE cannot load it.
Ogre::MeshPtr LoadReadableMesh(const std::string& meshName)
{
    try
    {
        return Ogre::MeshManager::getSingleton().load(
            meshName, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME,
            Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_WARNING("Couldn't load the mesh %s: %s", meshName.c_str(), exception.getDescription().c_str());
        return Ogre::MeshPtr();
    }
}

// The indices of submesh 0 from the start of its buffer, 32-bit when the buffer says so, else 16-bit. An
// index count beyond the buffer is cut to the buffer.
std::vector<uint32_t> ReadIndices(const Ogre::SubMesh& subMesh)
{
    std::vector<uint32_t> indices;
    const Ogre::HardwareIndexBufferSharedPtr& buffer = subMesh.indexData->indexBuffer;
    if (!buffer)
        return indices;
    const size_t count = std::min(subMesh.indexData->indexCount, buffer->getNumIndexes());
    indices.resize(count);
    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    if (buffer->getType() == Ogre::HardwareIndexBuffer::IT_32BIT)
        std::memcpy(indices.data(), lock.pData, count * sizeof(uint32_t));
    else
    {
        const uint16_t* source = static_cast<const uint16_t*>(lock.pData);
        std::copy(source, source + count, indices.begin());
    }
    return indices;
}

// Exact equality of points as a hash key: +0 and -0 are one value; NaN equals nothing, so it gets no key.
struct PointKey
{
    float x, y, z;
    bool operator==(const PointKey& other) const { return x == other.x && y == other.y && z == other.z; }
};

struct PointKeyHash
{
    size_t operator()(const PointKey& key) const
    {
        const auto bits = [](float value)
        {
            uint32_t result;
            value = value == 0.0f ? 0.0f : value;
            std::memcpy(&result, &value, sizeof result);
            return static_cast<size_t>(result);
        };
        return bits(key.x) * 73856093u ^ bits(key.y) * 19349663u ^ bits(key.z) * 83492791u;
    }
};

float Clamp01(float value)
{
    return std::clamp(value, 0.0f, 1.0f);
}

Ogre::Vector3 Crossing(const st_NavPortal& portal)
{
    return portal.left + (portal.right - portal.left) * portal.ratio;
}
} // namespace

bool cl_Navmesh::Load(const std::string& meshName, const Ogre::Vector3& position,
                      const Ogre::Quaternion& orientation, const Ogre::Vector3& scale, int defaultSurface)
{
    m_vertices.clear();
    m_triangles.clear();
    const Ogre::MeshPtr mesh = LoadReadableMesh(meshName);
    const bool valid = Validate(mesh);
    if (valid)
        m_defaultSurface = defaultSurface;
    const bool loaded = valid && ReadTriangles(*mesh, meshName, position, orientation, scale);
    BuildEdges();
    CollectRimVertices();
    return loaded;
}

bool cl_Navmesh::ReadTriangles(const Ogre::Mesh& mesh, const std::string& meshName, const Ogre::Vector3& position,
                               const Ogre::Quaternion& orientation, const Ogre::Vector3& scale)
{
    try
    {
        std::vector<int> indexMap;
        if (!ReadVertices(mesh, m_vertices, indexMap))
        {
            LOG_ERROR("The navigation mesh %s has no float positions.", meshName.c_str());
            return false;
        }
        TransformVertices(m_vertices, position, orientation, scale);
        GenerateTriangles(mesh, indexMap);
        return true;
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't read the navigation mesh %s: %s", meshName.c_str(), exception.getDescription().c_str());
        m_vertices.clear();
        m_triangles.clear();
        return false;
    }
}

bool cl_Navmesh::Validate(const Ogre::MeshPtr& mesh)
{
    if (!mesh)
    {
        LOG_ERROR("mesh pointer is NULL.");
        return false;
    }
    if (mesh->getNumSubMeshes() == 0)
    {
        LOG_ERROR("No SubMeshes available.");
        return false;
    }
    if (mesh->getNumSubMeshes() > 1)
    {
        LOG_ERROR("Multiple SubSeshes are not supported.");
        return false;
    }
    if (mesh->getSubMesh(0)->useSharedVertices)
    {
        LOG_ERROR("Shared vertices are not supported.");
        return false;
    }
    return true;
}

bool cl_Navmesh::ReadVertices(const Ogre::Mesh& mesh, std::vector<Ogre::Vector3>& vertices,
                              std::vector<int>& indexMap)
{
    vertices.clear();
    indexMap.clear();
    const Ogre::VertexData* data = mesh.getSubMesh(0)->vertexData;
    if (!data)
        return false;
    if (data->vertexCount == 0)
        return true;
    const Ogre::VertexElement* element = data->vertexDeclaration->findElementBySemantic(Ogre::VES_POSITION);
    if (!element || (element->getType() != Ogre::VET_FLOAT3 && element->getType() != Ogre::VET_FLOAT4) ||
        !data->vertexBufferBinding->isBufferBound(element->getSource()))
        return false;
    const Ogre::HardwareVertexBufferSharedPtr& buffer = data->vertexBufferBinding->getBuffer(element->getSource());
    const size_t stride = buffer->getVertexSize();
    if (element->getOffset() + 3 * sizeof(float) > stride)
        return false;
    const size_t count = std::min(data->vertexCount, buffer->getNumVertices());

    Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_READ_ONLY);
    const unsigned char* vertex = static_cast<const unsigned char*>(lock.pData);
    // Merging compares exact values, which a hash of the bits finds without comparing every pair.
    std::unordered_map<PointKey, int, PointKeyHash> merged;
    indexMap.reserve(count);
    for (size_t i = 0; i < count; ++i, vertex += stride)
    {
        float xyz[3];
        std::memcpy(xyz, vertex + element->getOffset(), sizeof xyz);
        const Ogre::Vector3 point(xyz);
        const PointKey key{point.x, point.y, point.z};
        int index = static_cast<int>(vertices.size());
        if (!point.isNaN())
        {
            const auto inserted = merged.emplace(key, index);
            index = inserted.first->second;
        }
        if (index == static_cast<int>(vertices.size()))
            vertices.push_back(point);
        indexMap.push_back(index);
    }
    return true;
}

void cl_Navmesh::TransformVertices(std::vector<Ogre::Vector3>& vertices, const Ogre::Vector3& position,
                                   const Ogre::Quaternion& orientation, const Ogre::Vector3& scale)
{
    for (Ogre::Vector3& vertex : vertices)
        vertex = (orientation * vertex) * scale + position;
}

void cl_Navmesh::GenerateTriangles(const Ogre::Mesh& mesh, const std::vector<int>& indexMap)
{
    m_triangles.clear();
    const std::vector<uint32_t> indices = ReadIndices(*mesh.getSubMesh(0));
    const size_t count = indices.size() / 3;
    m_triangles.reserve(count);
    for (size_t t = 0; t < count; ++t)
    {
        st_NavTriangle triangle;
        bool mapped = true;
        for (int k = 0; k < 3; ++k)
        {
            const uint32_t source = indices[3 * t + k];
            mapped = mapped && source < indexMap.size();
            triangle.corners[k] = mapped ? indexMap[source] : -1;
        }
        // A corner without a vertex has no position: the triangle cannot be walked on or crossed.
        if (!mapped)
        {
            LOG_WARNING("IndexMap insufficiently filled!");
            continue;
        }
        const Ogre::Vector3& c0 = m_vertices[triangle.corners[0]];
        const Ogre::Vector3& c1 = m_vertices[triangle.corners[1]];
        const Ogre::Vector3& c2 = m_vertices[triangle.corners[2]];
        triangle.centre = (c0 + c1 + c2) / 3.0f;
        triangle.normal = (c1 - c0).crossProduct(c2 - c0).normalisedCopy();
        m_triangles.push_back(triangle);
    }
}

void cl_Navmesh::BuildEdges()
{
    m_edges.clear();
    // A 64-bit key: vertex count squared overflows 32 bits past 46340 vertices.
    const int64_t n = static_cast<int64_t>(m_vertices.size());
    std::unordered_map<int64_t, int> edgeByKey;
    edgeByKey.reserve(m_triangles.size() * 2);
    for (size_t t = 0; t < m_triangles.size(); ++t)
    {
        st_NavTriangle& triangle = m_triangles[t];
        for (int k = 0; k < 3; ++k)
        {
            const int a = triangle.corners[k];
            const int b = triangle.corners[(k + 1) % 3];
            const int64_t key = n * std::min(a, b) + std::max(a, b);
            const auto inserted = edgeByKey.emplace(key, static_cast<int>(m_edges.size()));
            if (inserted.second)
                m_edges.push_back({(m_vertices[a] + m_vertices[b]) * 0.5f, a, b, -1, static_cast<int>(t)});
            else
                m_edges[inserted.first->second].secondTriangle = static_cast<int>(t);
            triangle.edges[k] = inserted.first->second;
        }
    }

    // The steps of the search: from an edge into its second, then its first triangle, to every other
    // side that is no border.
    m_stepStart.assign(1, 0);
    m_steps.clear();
    for (size_t e = 0; e < m_edges.size(); ++e)
    {
        for (const int t : {m_edges[e].secondTriangle, m_edges[e].firstTriangle})
        {
            if (t < 0)
                continue;
            for (const int other : m_triangles[t].edges)
            {
                if (other == static_cast<int>(e) || m_edges[other].IsBorder())
                    continue;
                m_steps.push_back({other, (m_edges[e].midpoint - m_edges[other].midpoint).length()});
            }
        }
        m_stepStart.push_back(static_cast<int>(m_steps.size()));
    }
    m_searchRecords.assign(m_edges.size(), {-1.0f, -1});
}

void cl_Navmesh::CollectRimVertices()
{
    m_rimVertices.clear();
    for (const st_NavEdge& edge : m_edges)
    {
        if (edge.IsBorder())
        {
            m_rimVertices.insert(edge.a);
            m_rimVertices.insert(edge.b);
        }
    }
}

void cl_Navmesh::AddSurfaceMesh(const std::string& meshName, const std::string& surfaceName,
                                const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                                const Ogre::Vector3& scale)
{
    const Ogre::MeshPtr mesh = LoadReadableMesh(meshName);
    if (!mesh || mesh->getNumSubMeshes() == 0 || mesh->getSubMesh(0)->useSharedVertices)
    {
        LOG_WARNING("The surface mesh %s is missing, has no submesh or uses shared vertices; skipped.",
                    meshName.c_str());
        return;
    }
    std::vector<Ogre::Vector3> vertices;
    std::vector<int> indexMap;
    std::vector<uint32_t> indices;
    try
    {
        if (ReadVertices(*mesh, vertices, indexMap))
            indices = ReadIndices(*mesh->getSubMesh(0));
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_WARNING("Couldn't read the surface mesh %s: %s", meshName.c_str(), exception.getDescription().c_str());
        return;
    }
    if (vertices.empty())
    {
        LOG_WARNING("The surface mesh %s has no float positions; skipped.", meshName.c_str());
        return;
    }
    TransformVertices(vertices, position, orientation, scale);
    const auto point = [&](uint32_t source)
    { return vertices[source < indexMap.size() ? indexMap[source] : 0]; };
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
    {
        const int triangle = FindTriangleByCorners(point(indices[t]), point(indices[t + 1]), point(indices[t + 2]));
        if (triangle < 0)
            continue;
        const int id = m_surfaceNames.emplace(surfaceName, static_cast<int>(m_surfaceNames.size())).first->second;
        m_triangles[triangle].surfaces.insert(id);
    }
}

int cl_Navmesh::FindTriangleByCorners(const Ogre::Vector3& p0, const Ogre::Vector3& p1,
                                      const Ogre::Vector3& p2) const
{
    for (size_t t = 0; t < m_triangles.size(); ++t)
    {
        const int* corners = m_triangles[t].corners;
        const bool all = std::all_of(corners, corners + 3,
                                     [&](int corner)
                                     {
                                         const Ogre::Vector3& c = m_vertices[corner];
                                         return c.distance(p0) < CORNER_TOLERANCE ||
                                                c.distance(p1) < CORNER_TOLERANCE ||
                                                c.distance(p2) < CORNER_TOLERANCE;
                                     });
        if (all)
            return static_cast<int>(t);
    }
    return -1;
}

void cl_Navmesh::SetLocalSurfaceId(int id, const Ogre::Vector3& centre, const Ogre::Vector3& halfExtents)
{
    for (st_NavTriangle& triangle : m_triangles)
    {
        const Ogre::Vector3 d = centre - triangle.centre;
        if (std::fabs(d.x) <= halfExtents.x && std::fabs(d.y) <= halfExtents.y && std::fabs(d.z) <= halfExtents.z)
            triangle.localSurfaceId = id;
    }
}

void cl_Navmesh::SetRim(float width)
{
    m_rimAware = width > 0.0f;
    if (m_rimAware)
        m_rimWidth = width;
}

bool cl_Navmesh::IsPointInTriangle(const st_NavTriangle& triangle, const Ogre::Vector3& point) const
{
    for (const int e : triangle.edges)
    {
        const Ogre::Vector3& a = m_vertices[m_edges[e].a];
        const Ogre::Vector3 side = m_vertices[m_edges[e].b] - a;
        if (!(side.crossProduct(point - a).dotProduct(side.crossProduct(triangle.centre - a)) >= 0.0f))
            return false;
    }
    return true;
}

template <class Visit>
void cl_Navmesh::ForEachRayPlaneHit(const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                                    Visit&& visit) const
{
    const Ogre::Ray ray(origin, direction);
    const Ogre::Ray reversed(origin, -direction);
    for (size_t t = 0; t < m_triangles.size(); ++t)
    {
        const st_NavTriangle& triangle = m_triangles[t];
        if (!(triangle.normal.dotProduct(direction) < 0.0f))
            continue;
        const Ogre::Plane plane(triangle.normal, triangle.centre);
        Ogre::Vector3 point;
        const Ogre::RayTestResult forward = ray.intersects(plane);
        if (forward.first)
            point = ray.getPoint(forward.second);
        else
        {
            const Ogre::RayTestResult backward = reversed.intersects(plane);
            if (!backward.first)
                continue;
            point = reversed.getPoint(backward.second);
        }
        visit(static_cast<int>(t), point, IsPointInTriangle(triangle, point));
    }
}

st_NavRayHit cl_Navmesh::RayHitTriangle(const Ogre::Vector3& origin, const Ogre::Vector3& direction) const
{
    st_NavRayHit inside;
    float insideDistance = 0.0f;
    st_NavRayHit fallback;
    float fallbackScore = 0.0f;
    ForEachRayPlaneHit(origin, direction,
                       [&](int t, const Ogre::Vector3& point, bool isInside)
                       {
                           const float distance = point.distance(origin);
                           if (isInside)
                           {
                               if (inside.triangle < 0 || distance < insideDistance)
                               {
                                   inside = {t, point, Ogre::Vector3::ZERO};
                                   insideDistance = distance;
                               }
                               return;
                           }
                           const Ogre::Vector3& centre = m_triangles[t].centre;
                           const float score = distance + point.distance(centre);
                           if (fallback.triangle < 0 || score < fallbackScore)
                           {
                               fallback = {t, centre, point - centre};
                               fallbackScore = score;
                           }
                       });
    if (inside.triangle >= 0 && (fallback.triangle < 0 || insideDistance < fallbackScore))
        return inside;
    return fallback;
}

int cl_Navmesh::RayHit(const Ogre::Vector3& origin, const Ogre::Vector3& direction, Ogre::Vector3& point) const
{
    int triangle = -1;
    point = origin;
    float best = 0.0f;
    ForEachRayPlaneHit(origin, direction,
                       [&](int t, const Ogre::Vector3& hit, bool isInside)
                       {
                           const float distance = hit.distance(origin);
                           if (isInside && (triangle < 0 || distance < best))
                           {
                               triangle = t;
                               point = hit;
                               best = distance;
                           }
                       });
    return triangle;
}

bool cl_Navmesh::IsAtTarget(const Ogre::Vector3& point, const Ogre::Vector3& target, float radius,
                            const std::string& surfaceName) const
{
    const st_NavRayHit hit = RayHitTriangle(point, DOWN);
    if (hit.triangle < 0)
        return false;
    const auto surface = m_surfaceNames.find(surfaceName);
    if (surface != m_surfaceNames.end())
        return m_triangles[hit.triangle].surfaces.count(surface->second) > 0;
    const Ogre::Vector3 lifted(target.x, hit.point.y, target.z);
    return hit.point.distance(lifted) < radius;
}

void cl_Navmesh::FindPath(const Ogre::Vector3& start, const Ogre::Vector3& target,
                          std::vector<st_NavPathPoint>& path)
{
    path.clear();
    const int s = RayHitTriangle(start, DOWN).triangle;
    const int t = RayHitTriangle(target, DOWN).triangle;
    if (s < 0 || t < 0)
    {
        LOG_WARNING("No navigation mesh triangle under the %s point; the path holds the start only.",
                    s < 0 ? "start" : "target");
        path.push_back({start, Ogre::Vector3::UNIT_Y});
        return;
    }
    std::vector<int> chain;
    const bool found = BuildEdgeChain(t, chain, s);

    std::vector<st_NavPortal> portals;
    portals.reserve(chain.size() + 2);
    portals.push_back({start, start, 0.5f, m_triangles[s].normal, false, false});
    AddPortals(chain, portals);
    if (found)
        portals.push_back({target, target, 0.5f, m_triangles[t].normal, false, false});
    SmoothPortals(portals);

    for (const st_NavPortal& portal : portals)
    {
        const Ogre::Vector3 point = Crossing(portal);
        if (path.empty() || point.distance(path.back().position) >= PATH_POINT_SPACING)
            path.push_back({point, portal.up});
    }
}

void cl_Navmesh::AddPortals(const std::vector<int>& chain, std::vector<st_NavPortal>& portals) const
{
    for (const int e : chain)
    {
        const st_NavEdge& edge = m_edges[e];
        // A chain edge always has both triangles: the search never crosses a border.
        const Ogre::Vector3 up =
            (m_triangles[edge.secondTriangle].normal + m_triangles[edge.firstTriangle].normal).normalisedCopy();
        portals.push_back({m_vertices[edge.a], m_vertices[edge.b], 0.5f, up, m_rimVertices.count(edge.a) > 0,
                           m_rimVertices.count(edge.b) > 0});
    }
}

bool cl_Navmesh::BuildEdgeChain(int goalTriangle, std::vector<int>& chain, int startTriangle)
{
    m_searchRecords.assign(m_edges.size(), {-1.0f, -1});
    std::vector<int> current;
    std::vector<int> next;
    for (const int e : m_triangles[startTriangle].edges)
    {
        m_searchRecords[e].cost = 0.0f;
        current.push_back(e);
    }
    ExpandWavefront(current, next);

    // Costs count in whole units here: of two goal edges within the same unit the earlier one wins.
    int taken = -1;
    float takenCost = 0.0f;
    for (const int e : m_triangles[goalTriangle].edges)
    {
        const float cost = std::trunc(m_searchRecords[e].cost);
        if (cost < 0.0f)
            continue;
        if (taken < 0 || cost < takenCost)
        {
            taken = e;
            takenCost = cost;
        }
    }
    const bool found = taken >= 0;
    if (!found)
    {
        const Ogre::Vector3& centre = m_triangles[goalTriangle].centre;
        float nearest = 0.0f;
        for (size_t e = 0; e < m_edges.size(); ++e)
        {
            if (m_searchRecords[e].cost < 0.0f || m_searchRecords[e].predecessor < 0)
                continue;
            const float distance = m_edges[e].midpoint.distance(centre);
            if (taken < 0 || distance < nearest)
            {
                taken = static_cast<int>(e);
                nearest = distance;
            }
        }
    }
    if (taken < 0)
    {
        LOG_ERROR("Couldn't find a connection between target and source triangle. Invalid Navemesh?");
        return false;
    }
    chain.clear();
    if (m_searchRecords[taken].predecessor < 0)
        return found;
    for (int e = taken; e >= 0; e = m_searchRecords[e].predecessor)
        chain.push_back(e);
    std::reverse(chain.begin(), chain.end());
    return found;
}

void cl_Navmesh::ExpandWavefront(std::vector<int>& current, std::vector<int>& next)
{
    // No visited mark: an edge goes out again whenever its cost drops, until no cost changes.
    while (!current.empty())
    {
        next.clear();
        for (const int e : current)
        {
            const float base = m_searchRecords[e].cost;
            for (int i = m_stepStart[e]; i < m_stepStart[e + 1]; ++i)
            {
                const st_NavStep& step = m_steps[i];
                const float candidate = base + step.distance;
                st_NavEdgeCost& record = m_searchRecords[step.edge];
                if (record.cost > candidate || record.cost < 0.0f)
                {
                    record.cost = candidate;
                    record.predecessor = e;
                    next.push_back(step.edge);
                }
            }
        }
        std::swap(current, next);
    }
}

float cl_Navmesh::SmoothPortals(std::vector<st_NavPortal>& portals) const
{
    if (portals.size() < 3)
        return -1.0f;
    float step = 0.3f;
    float previousTotal = -1.0f;
    int halvings = 0;
    float total;
    for (;;)
    {
        total = 0.0f;
        for (size_t i = 1; i + 1 < portals.size(); ++i)
        {
            st_NavPortal& portal = portals[i];
            const float r0 = portal.ratio;
            const float s0 = ScorePortal(portals[i - 1], portal, portals[i + 1]);
            portal.ratio = Clamp01(r0 + step);
            const float s1 = ScorePortal(portals[i - 1], portal, portals[i + 1]);
            if (s1 > s0)
            {
                total += s1;
                continue;
            }
            portal.ratio = Clamp01(r0 - step);
            const float s2 = ScorePortal(portals[i - 1], portal, portals[i + 1]);
            if (s2 > s0)
            {
                total += s2;
                continue;
            }
            portal.ratio = r0;
            total += s0;
        }
        if (!(total > previousTotal))
        {
            step *= 0.5f;
            if (++halvings > 4)
                break;
        }
        previousTotal = total;
    }
    return total;
}

float cl_Navmesh::ScorePortal(const st_NavPortal& previous, const st_NavPortal& current,
                              const st_NavPortal& next) const
{
    const Ogre::Vector3 crossing = Crossing(current);
    const float length = Crossing(next).distance(crossing) + crossing.distance(Crossing(previous));
    const float score = 1000.0f / length;
    if (!m_rimAware)
        return score;
    const float share = std::min(m_rimWidth / current.right.distance(current.left), 1.0f);
    if (share <= 0.0f)
        return score;
    const float f = current.leftIsRim ? Clamp01(current.ratio / share) : 1.0f;
    const float g = current.rightIsRim ? Clamp01((1.0f - current.ratio) / share) : 1.0f;
    return score * (1.0f + f * g);
}
