#include "graphics/cl_Navmesh.h"

#include "common/LogCall.h"
#include "graphics/cl_NavmeshDebugView.h"

#include <OgreException.h>
#include <OgreHardwareBuffer.h>
#include <OgreMeshManager.h>
#include <OgrePlane.h>
#include <OgreRay.h>
#include <OgreSubMesh.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
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
            Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true,
            true);
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

// The best of the triangles a ray query offers: the smallest value, of equal values the lowest triangle.
// Offered in table order, that is the first strictly smallest (a NaN taken first stays).
struct st_NavCandidate
{
    int triangle = -1;
    float value = 0.0f;
    Ogre::Vector3 point;

    void Offer(int t, float v, const Ogre::Vector3& p)
    {
        if (triangle < 0 || v < value || (v == value && t < triangle))
        {
            triangle = t;
            value = v;
            point = p;
        }
    }
    float Limit() const { return triangle < 0 ? std::numeric_limits<float>::infinity() : value; }
};

// The search toward a goal estimates at most this share of a step's length, so the key of a step's end
// lies at least a 128th of the step above the key it came from. As long as every step is at least
// ROUNDING_SHARE of the sizes in play (costs, coordinates, landmark costs) long, that 128th outweighs
// the float rounding of the costs (a few parts in 2^24) with room to spare, and the search settles edges
// in the order of their exact costs (see SearchTowardGoal).
const double ESTIMATE_SHARE = 127.0 / 128.0;
const double ROUNDING_SHARE = 1.0 / 32768.0;

// How far an estimate may be off by rounding in double.
double EstimateSlack(double estimate)
{
    return 1e-9 * (std::fabs(estimate) + 1.0);
}

Ogre::Vector3 Crossing(const st_NavPortal& portal)
{
    return portal.left + (portal.right - portal.left) * portal.ratio;
}
} // namespace

cl_Navmesh::cl_Navmesh() = default;

cl_Navmesh::~cl_Navmesh() = default;

void cl_Navmesh::ToggleDebugView(Ogre::SceneManager& sceneManager)
{
    if (m_debugView)
    {
        m_debugView.reset();
        return;
    }
    try
    {
        m_debugView = std::make_unique<cl_NavmeshDebugView>(sceneManager, *this);
        m_debugView->DrawMesh();
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The navigation mesh cannot be shown: %s", exception.getDescription().c_str());
        m_debugView.reset();
    }
}

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
    BuildSearchSteps();
    m_grid.Build(m_vertices, m_triangles);
    if (m_debugView)
        m_debugView->DrawMesh();
    return loaded;
}

bool cl_Navmesh::ReadTriangles(const Ogre::Mesh& mesh, const std::string& meshName,
                               const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                               const Ogre::Vector3& scale)
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
        LOG_ERROR("Couldn't read the navigation mesh %s: %s", meshName.c_str(),
                  exception.getDescription().c_str());
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
    const Ogre::HardwareVertexBufferSharedPtr& buffer =
        data->vertexBufferBinding->getBuffer(element->getSource());
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
}

void cl_Navmesh::BuildSearchSteps()
{
    // From an edge into its second, then its first triangle, to every other side that is no border: the
    // wave's order.
    m_stepStart.assign(1, 0);
    m_steps.clear();
    m_stepEnds.clear();
    m_maxSteps = 0;
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
                m_stepEnds.push_back(m_edges[other].midpoint);
            }
        }
        m_stepStart.push_back(static_cast<int>(m_steps.size()));
        m_maxSteps = std::max<size_t>(m_maxSteps, m_stepStart[e + 1] - m_stepStart[e]);
    }
    m_searchRecords.assign(m_edges.size(), {-1.0f, -1});
    m_reachedOnly = false;
    m_settled.assign(m_edges.size(), 0);
    m_settledMark = 0;

    // The same steps seen from where they arrive, and what bounds the rounding of the goal search.
    m_reverseStart.assign(m_edges.size() + 1, 0);
    for (const st_NavStep& step : m_steps)
        ++m_reverseStart[step.edge + 1];
    for (size_t e = 0; e < m_edges.size(); ++e)
        m_reverseStart[e + 1] += m_reverseStart[e];
    m_reverseSteps.resize(m_steps.size());
    std::vector<int> filled(m_reverseStart.begin(), m_reverseStart.end() - 1);
    m_finiteSteps = true;
    m_shortestStep = std::numeric_limits<double>::infinity();
    m_longestStep = 0.0;
    double total = 0.0;
    for (size_t e = 0; e < m_edges.size(); ++e)
    {
        for (int i = m_stepStart[e]; i < m_stepStart[e + 1]; ++i)
        {
            const st_NavStep& step = m_steps[i];
            m_reverseSteps[filled[step.edge]++] = {static_cast<int>(e), step.distance};
            m_finiteSteps = m_finiteSteps && std::isfinite(step.distance);
            if (step.distance > 0.0f)
                m_shortestStep = std::min(m_shortestStep, static_cast<double>(step.distance));
            m_longestStep = std::max(m_longestStep, static_cast<double>(step.distance));
            total += step.distance;
        }
    }
    // Buckets of the search toward a goal: a 32nd of a mean step wide, at most 65536 of them.
    m_bucketWidth = m_steps.empty() ? 1.0 : total / m_steps.size() / 32.0;
    m_bucketWidth = std::max({m_bucketWidth, 2.0 * m_longestStep / 65536.0, 1e-30});
    m_magnitude = 0.0;
    for (const st_NavEdge& edge : m_edges)
    {
        m_magnitude = std::max({m_magnitude, std::fabs(static_cast<double>(edge.midpoint.x)),
                                std::fabs(static_cast<double>(edge.midpoint.y)),
                                std::fabs(static_cast<double>(edge.midpoint.z))});
    }
    m_landmarks.Build(m_edges.size(), m_stepStart, m_steps, m_finiteSteps);
}

void cl_Navmesh::CollectRimVertices()
{
    m_rimVertices.assign(m_vertices.size(), 0);
    for (const st_NavEdge& edge : m_edges)
    {
        if (edge.IsBorder())
            m_rimVertices[edge.a] = m_rimVertices[edge.b] = 1;
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
        LOG_WARNING("Couldn't read the surface mesh %s: %s", meshName.c_str(),
                    exception.getDescription().c_str());
        return;
    }
    if (vertices.empty())
    {
        LOG_WARNING("The surface mesh %s has no vertices with float positions; skipped.", meshName.c_str());
        return;
    }
    TransformVertices(vertices, position, orientation, scale);
    const auto point = [&](uint32_t source)
    { return vertices[source < indexMap.size() ? indexMap[source] : 0]; };
    for (size_t t = 0; t + 2 < indices.size(); t += 3)
    {
        const int triangle =
            FindTriangleByCorners(point(indices[t]), point(indices[t + 1]), point(indices[t + 2]));
        if (triangle < 0)
            continue;
        const int id =
            m_surfaceNames.emplace(surfaceName, static_cast<int>(m_surfaceNames.size())).first->second;
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
        if (std::fabs(d.x) <= halfExtents.x && std::fabs(d.y) <= halfExtents.y &&
            std::fabs(d.z) <= halfExtents.z)
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

bool cl_Navmesh::RayPlaneHit(const Ogre::Ray& ray, int triangle, Ogre::Vector3& point) const
{
    const st_NavTriangle& t = m_triangles[triangle];
    if (!(t.normal.dotProduct(ray.getDirection()) < 0.0f))
        return false;
    const Ogre::Plane plane(t.normal, t.centre);
    const Ogre::RayTestResult forward = ray.intersects(plane);
    if (forward.first)
    {
        point = ray.getPoint(forward.second);
        return true;
    }
    const Ogre::Ray reversed(ray.getOrigin(), -ray.getDirection());
    const Ogre::RayTestResult backward = reversed.intersects(plane);
    if (backward.first)
        point = reversed.getPoint(backward.second);
    return backward.first;
}

bool cl_Navmesh::UsesGrid(const Ogre::Ray& ray) const
{
    return ray.getDirection() == DOWN && !m_grid.IsEmpty() && cl_TriangleGrid::IsModest(ray.getOrigin());
}

st_NavRayHit cl_Navmesh::RayHitTriangle(const Ogre::Vector3& origin, const Ogre::Vector3& direction) const
{
    const Ogre::Ray ray(origin, direction);
    st_NavCandidate inside;
    st_NavCandidate fallback;
    const auto test = [&](int t)
    {
        Ogre::Vector3 point;
        if (!RayPlaneHit(ray, t, point))
            return;
        const float distance = point.distance(origin);
        if (IsPointInTriangle(m_triangles[t], point))
            inside.Offer(t, distance, point);
        else
            fallback.Offer(t, distance + point.distance(m_triangles[t].centre), point);
    };
    if (UsesGrid(ray))
    {
        // A fallback scores at least its centre's distance across the ground from the ray, and counts only
        // when it scores no more than the inside hit. Every triangle the ray could hit inside covers its
        // cell, so the centres further off than that need no test (computed as the score's distance
        // is, this distance is never the larger).
        m_grid.VisitCovering(origin, test);
        m_grid.VisitCentresNear(
            origin,
            [&](int t)
            {
                const Ogre::Vector3& centre = m_triangles[t].centre;
                const float x = origin.x - centre.x;
                const float z = origin.z - centre.z;
                if (!(std::sqrt(x * x + z * z) > std::min(inside.Limit(), fallback.Limit())))
                    test(t);
                return std::min(inside.Limit(), fallback.Limit());
            });
    }
    else
    {
        for (int t = 0; t < GetTriangleCount(); ++t)
            test(t);
    }
    if (inside.triangle >= 0 && (fallback.triangle < 0 || inside.value < fallback.value))
        return {inside.triangle, inside.point, Ogre::Vector3::ZERO};
    if (fallback.triangle < 0)
        return st_NavRayHit();
    const Ogre::Vector3& centre = m_triangles[fallback.triangle].centre;
    return {fallback.triangle, centre, fallback.point - centre};
}

int cl_Navmesh::RayHit(const Ogre::Vector3& origin, const Ogre::Vector3& direction,
                       Ogre::Vector3& point) const
{
    const Ogre::Ray ray(origin, direction);
    st_NavCandidate inside;
    const auto test = [&](int t)
    {
        Ogre::Vector3 hit;
        if (RayPlaneHit(ray, t, hit) && IsPointInTriangle(m_triangles[t], hit))
            inside.Offer(t, hit.distance(origin), hit);
    };
    if (UsesGrid(ray))
        m_grid.VisitCovering(origin, test);
    else
    {
        for (int t = 0; t < GetTriangleCount(); ++t)
            test(t);
    }
    point = inside.triangle >= 0 ? inside.point : origin;
    return inside.triangle;
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
    if (m_debugView)
        m_debugView->ClearPath();
    const int s = RayHitTriangle(start, DOWN).triangle;
    const int t = RayHitTriangle(target, DOWN).triangle;
    if (s < 0 || t < 0)
    {
        LOG_WARNING("No navigation mesh triangle under the %s point; the path holds the start only.",
                    s < 0 ? "start" : "target");
        path.push_back({start, Ogre::Vector3::UNIT_Y});
        return;
    }
    std::vector<int>& chain = m_chain;
    const bool found = FindEdgeChain(t, chain, s);
    if (m_debugView)
    {
        m_debugView->DrawSearch(m_searchRecords, Ogre::ColourValue::Red);
        if (!chain.empty())
            m_debugView->DrawChain(chain, Ogre::ColourValue::Green);
    }

    std::vector<st_NavPortal>& portals = m_portals;
    portals.clear();
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
    if (m_debugView)
        m_debugView->DrawPath(path, Ogre::ColourValue::White);
}

void cl_Navmesh::AddPortals(const std::vector<int>& chain, std::vector<st_NavPortal>& portals) const
{
    for (const int e : chain)
    {
        const st_NavEdge& edge = m_edges[e];
        // A chain edge always has both triangles: the search never crosses a border.
        const Ogre::Vector3 up =
            (m_triangles[edge.secondTriangle].normal + m_triangles[edge.firstTriangle].normal)
                .normalisedCopy();
        portals.push_back(
            {m_vertices[edge.a], m_vertices[edge.b], 0.5f, up, IsRimVertex(edge.a), IsRimVertex(edge.b)});
    }
}

bool cl_Navmesh::BuildEdgeChain(int goalTriangle, std::vector<int>& chain, int startTriangle)
{
    std::vector<int> current;
    std::vector<int> next;
    StartSearch(startTriangle, current);
    ExpandWavefront(current, next);

    bool found;
    const int end = ChooseChainEnd(goalTriangle, found);
    if (end < 0)
    {
        LOG_ERROR("Couldn't find a connection between target and source triangle. Invalid Navemesh?");
        return false;
    }
    chain.clear();
    if (m_searchRecords[end].predecessor < 0)
        return found;
    for (int e = end; e >= 0; e = m_searchRecords[e].predecessor)
        chain.push_back(e);
    std::reverse(chain.begin(), chain.end());
    return found;
}

void cl_Navmesh::StartSearch(int startTriangle, std::vector<int>& starts)
{
    // After a search toward a goal only the edges it reached hold a cost.
    if (m_reachedOnly)
    {
        for (const int e : m_reached)
            m_searchRecords[e] = {-1.0f, -1};
    }
    else
        m_searchRecords.assign(m_edges.size(), {-1.0f, -1});
    m_reachedOnly = false;
    m_reached.clear();
    for (const int e : m_triangles[startTriangle].edges)
    {
        m_searchRecords[e].cost = 0.0f;
        starts.push_back(e);
    }
}

int cl_Navmesh::ChooseChainEnd(int goalTriangle, bool& found) const
{
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
    found = taken >= 0;
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
    return taken;
}

bool cl_Navmesh::FindEdgeChain(int goalTriangle, std::vector<int>& chain, int startTriangle)
{
    const st_GoalDistance heuristic(m_triangles[goalTriangle], m_edges, m_landmarks);
    double open;
    if (!SearchTowardGoal(goalTriangle, startTriangle, heuristic, open))
        return BuildEdgeChain(goalTriangle, chain, startTriangle);
    bool found;
    const int end = ChooseChainEnd(goalTriangle, found);
    if (end < 0)
        return BuildEdgeChain(goalTriangle, chain, startTriangle); // which reports it
    std::vector<int>& walked = m_walked;
    walked.clear();
    if (!IsEdgeOf(startTriangle, end))
    {
        for (int e = end;; e = WavePredecessor(e, heuristic, open))
        {
            if (e < 0 || walked.size() > m_edges.size())
                return BuildEdgeChain(goalTriangle, chain, startTriangle);
            walked.push_back(e);
            if (IsEdgeOf(startTriangle, e))
                break;
        }
    }
    chain.assign(walked.rbegin(), walked.rend());
    return found;
}

cl_Navmesh::st_GoalDistance::st_GoalDistance(const st_NavTriangle& goal, const std::vector<st_NavEdge>& edges,
                                             const cl_NavLandmarks& landmarks)
    : m_centre(goal.centre), m_landmarks(landmarks), m_span(landmarks.SpanOf(goal.edges, 3))
{
    for (const int e : goal.edges)
        m_radius = std::max(m_radius, Distance(edges[e].midpoint));
}

double cl_Navmesh::st_GoalDistance::Distance(const Ogre::Vector3& point) const
{
    const double x = static_cast<double>(point.x) - m_centre.x;
    const double y = static_cast<double>(point.y) - m_centre.y;
    const double z = static_cast<double>(point.z) - m_centre.z;
    return std::sqrt(x * x + y * y + z * z);
}

double cl_Navmesh::st_GoalDistance::operator()(int edge, const Ogre::Vector3& midpoint) const
{
    const double landmarks = m_landmarks.LeastCost(edge, m_span);
    return ESTIMATE_SHARE * std::max(landmarks, Distance(midpoint) - m_radius);
}

bool cl_Navmesh::IsEdgeOf(int triangle, int edge) const
{
    const int* const edges = m_triangles[triangle].edges;
    return edges[0] == edge || edges[1] == edge || edges[2] == edge;
}

bool cl_Navmesh::SearchTowardGoal(int goalTriangle, int startTriangle, const st_GoalDistance& heuristic,
                                  double& open)
{
    if (!m_finiteSteps)
        return false;
    std::vector<int>& starts = m_starts;
    starts.clear();
    StartSearch(startTriangle, starts);
    m_reachedOnly = true;
    m_reached = starts;
    if (++m_settledMark == 0) // the marks went round: forget every old one
    {
        m_settled.assign(m_edges.size(), 0);
        m_settledMark = 1;
    }
    double estimates[3];
    double lowest = std::numeric_limits<double>::infinity();
    double highestStart = 0.0;
    for (size_t k = 0; k < starts.size(); ++k)
    {
        estimates[k] = heuristic(starts[k], m_edges[starts[k]].midpoint);
        lowest = std::min(lowest, estimates[k]);
        highestStart = std::max(highestStart, estimates[k]);
    }
    // A key rises by at most a step and its estimate's share of it above the key taken out before; the
    // start edges' keys may lie further apart (a border edge has no landmark costs).
    m_open.Reset(lowest, 2.0 * m_longestStep + (highestStart - lowest), m_bucketWidth);
    for (size_t k = 0; k < starts.size(); ++k)
    {
        if (!m_open.Push(estimates[k], 0.0f, starts[k]))
            return false;
    }

    int goalsLeft = 0;
    const int* const goals = m_triangles[goalTriangle].edges;
    for (int k = 0; k < 3; ++k)
        goalsLeft += std::find(goals, goals + k, goals[k]) == goals + k; // an edge may stand twice
    float bestWhole = std::numeric_limits<float>::infinity();
    float highest = 0.0f;
    open = std::numeric_limits<double>::infinity();
    while (!m_open.IsEmpty())
    {
        const cl_BucketQueue::st_Entry top = m_open.Pop();
        const int e = top.edge;
        if (m_settled[e] == m_settledMark)
            continue;
        // A goal edge still open costs at least the lowest open estimate: once that is a whole unit
        // above the best goal edge, none of them can be taken.
        if (goalsLeft == 0 || std::trunc(top.key - EstimateSlack(top.key)) > bestWhole)
        {
            open = top.key;
            break;
        }
        m_settled[e] = m_settledMark;
        const float cost = m_searchRecords[e].cost;
        highest = std::max(highest, cost);
        if (IsEdgeOf(goalTriangle, e))
        {
            bestWhole = std::min(bestWhole, std::trunc(cost));
            --goalsLeft;
        }
        for (int i = m_stepStart[e]; i < m_stepStart[e + 1]; ++i)
        {
            const st_NavStep& step = m_steps[i];
            const float candidate = cost + step.distance;
            st_NavEdgeCost& record = m_searchRecords[step.edge];
            if (record.cost > candidate || record.cost < 0.0f)
            {
                if (record.cost < 0.0f)
                    m_reached.push_back(step.edge);
                // With an exact order a settled cost never drops, and no estimate falls below the last
                // one taken: otherwise the wave decides.
                record = {candidate, e};
                if (m_settled[step.edge] == m_settledMark ||
                    !m_open.Push(candidate + heuristic(step.edge, m_stepEnds[i]), candidate, step.edge))
                    return false;
            }
        }
    }
    // The order above is the order of the exact costs only while every step outweighs the rounding of
    // costs and estimates of this size.
    return m_shortestStep >=
           (static_cast<double>(highest) + m_magnitude + m_landmarks.Highest()) * ROUNDING_SHARE;
}

int cl_Navmesh::WavePredecessor(int edge, const st_GoalDistance& heuristic, double open) const
{
    const float cost = m_searchRecords[edge].cost;
    int predecessor = -1;
    for (int i = m_reverseStart[edge]; i < m_reverseStart[edge + 1]; ++i)
    {
        const st_NavStep& step = m_reverseSteps[i];
        const int e = step.edge;
        if (m_settled[e] != m_settledMark)
        {
            // Arriving at cost would need a cost of at most this; an open edge costs at least the lowest
            // open estimate less its own. With nothing left open, no edge that was not settled is reached.
            const double arriving =
                static_cast<double>(cost) - step.distance + std::fabs(cost) * FLT_EPSILON + FLT_MIN;
            if (std::isinf(open) || open - heuristic(e, m_edges[e].midpoint) - EstimateSlack(open) > arriving)
                continue;
            return -1;
        }
        if (m_searchRecords[e].cost + step.distance != cost || e == predecessor)
            continue;
        if (predecessor >= 0)
            return -1; // two routes arrive at the same cost: the wave's order decides
        predecessor = e;
    }
    return predecessor;
}

void cl_Navmesh::ExpandWavefront(std::vector<int>& current, std::vector<int>& next)
{
    // No visited mark: an edge goes out again whenever its cost drops, until no cost changes.
    st_NavEdgeCost* const records = m_searchRecords.data();
    const st_NavStep* const steps = m_steps.data();
    while (!current.empty())
    {
        // Room for every step to lower a cost; cut to the steps that did. Whether a cost drops is hard to
        // predict, so the loop decides without branching.
        next.resize(current.size() * m_maxSteps);
        size_t count = 0;
        for (const int e : current)
        {
            const float base = records[e].cost;
            for (const st_NavStep* step = steps + m_stepStart[e]; step != steps + m_stepStart[e + 1]; ++step)
            {
                const float candidate = base + step->distance;
                st_NavEdgeCost& record = records[step->edge];
                const uint32_t lower = (record.cost > candidate) | (record.cost < 0.0f);
                const uint32_t keep = lower - 1; // all ones when the cost stays
                uint32_t cost;
                uint32_t lowered;
                std::memcpy(&cost, &record.cost, sizeof cost);
                std::memcpy(&lowered, &candidate, sizeof lowered);
                cost = (cost & keep) | (lowered & ~keep);
                std::memcpy(&record.cost, &cost, sizeof cost);
                record.predecessor =
                    (record.predecessor & static_cast<int>(keep)) | (e & ~static_cast<int>(keep));
                next[count] = step->edge;
                count += lower;
            }
        }
        next.resize(count);
        std::swap(current, next);
    }
}

float cl_Navmesh::SmoothPortals(std::vector<st_NavPortal>& portals)
{
    if (portals.size() < 3)
        return -1.0f;
    // Per portal, kept up to date instead of worked out for each score: its crossing, the distance from
    // the crossing before it, its rim share and the rim factor at its ratio. Each is worked out as
    // Crossing and a score of the portal would, so the scores, and the path, come out the same. A portal that
    // stayed while neither it nor a neighbour has moved since, at the same step, would stay again with the
    // same score: that score is kept too.
    const size_t count = portals.size();
    std::vector<st_SmoothedPortal>& smoothed = m_smoothed;
    smoothed.resize(count);
    for (size_t i = 0; i < count; ++i)
    {
        const st_NavPortal& portal = portals[i];
        st_SmoothedPortal& state = smoothed[i];
        state.span = portal.right - portal.left;
        state.crossing = portal.left + state.span * portal.ratio;
        state.distance = i > 0 ? state.crossing.distance(smoothed[i - 1].crossing) : 0.0f;
        state.share = std::min(m_rimWidth / portal.right.distance(portal.left), 1.0f);
        state.factor = RimFactor(portal, state.share);
        state.known = false;
    }
    float step = 0.3f;
    float previousTotal = -1.0f;
    int halvings = 0;
    float total;
    for (;;)
    {
        total = 0.0f;
        for (size_t i = 1; i + 1 < count; ++i)
        {
            st_SmoothedPortal& state = smoothed[i];
            if (state.known)
            {
                total += state.stayed;
                continue;
            }
            st_SmoothedPortal& next = smoothed[i + 1];
            const Ogre::Vector3& previous = smoothed[i - 1].crossing;
            st_NavPortal& portal = portals[i];
            const float r0 = portal.ratio;
            const float length = next.distance + state.distance;
            const float s0 = ScorePortal(length, state.factor);
            bool moved = false;
            for (const float ratio : {r0 + step, r0 - step})
            {
                portal.ratio = Clamp01(ratio);
                // Clamped back onto the same crossing, it would score s0 again.
                if (portal.ratio == r0)
                    continue;
                const Ogre::Vector3 crossing = portal.left + state.span * portal.ratio;
                const float toNext = next.crossing.distance(crossing);
                const float fromPrevious = crossing.distance(previous);
                const float factor = RimFactor(portal, state.share);
                // No longer and no better placed for the rims scores no better: rounding keeps the order.
                if (toNext + fromPrevious >= length && factor <= state.factor)
                    continue;
                const float s = ScorePortal(toNext + fromPrevious, factor);
                moved = s > s0;
                if (moved)
                {
                    state.crossing = crossing;
                    state.distance = fromPrevious;
                    state.factor = factor;
                    next.distance = toNext;
                    total += s;
                    smoothed[i - 1].known = next.known = false;
                    break;
                }
            }
            if (!moved)
            {
                portal.ratio = r0;
                total += s0;
                state.stayed = s0;
            }
            state.known = !moved;
        }
        if (!(total > previousTotal))
        {
            step *= 0.5f;
            if (++halvings > 4)
                break;
            for (st_SmoothedPortal& state : smoothed)
                state.known = false;
        }
        previousTotal = total;
    }
    return total;
}

float cl_Navmesh::RimFactor(const st_NavPortal& portal, float share) const
{
    if (!m_rimAware || share <= 0.0f)
        return 1.0f;
    // A quotient of at least 1 clamps to 1 exactly: only nearer to a rim end is there something to divide.
    const float fromLeft = portal.ratio;
    const float fromRight = 1.0f - portal.ratio;
    const float f = portal.leftIsRim && !(fromLeft >= share) ? Clamp01(fromLeft / share) : 1.0f;
    const float g = portal.rightIsRim && !(fromRight >= share) ? Clamp01(fromRight / share) : 1.0f;
    return 1.0f + f * g;
}

float cl_Navmesh::ScorePortal(float length, float rimFactor)
{
    return 1000.0f / length * rimFactor;
}
