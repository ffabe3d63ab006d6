#include "graphics/cl_Navmesh.h"

#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"
#include "support/TriangleMesh.h"

#include <gtest/gtest.h>

#include <OgreMeshManager.h>
#include <OgrePlane.h>
#include <OgreRay.h>

#include <cmath>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;
using Points = std::vector<Vector3>;
using Indices = std::vector<uint32_t>;

const Vector3 DOWN(0.0f, -1.0f, 0.0f);
const Vector3 UP(0.0f, 1.0f, 0.0f);

struct Floor
{
    Points positions;
    Indices indices;
};

// Square cells of side size on the plane y = height, one for each '#': row r runs along +z, column c along
// +x. Every cell has four vertices of its own (so neighbours meet only through equal positions) and two
// triangles facing up: (x0z0, x0z1, x1z0) then (x1z0, x0z1, x1z1).
Floor MakeFloor(const std::vector<std::string>& rows, float size, float height = 0.0f)
{
    Floor floor;
    for (size_t r = 0; r < rows.size(); ++r)
    {
        for (size_t c = 0; c < rows[r].size(); ++c)
        {
            if (rows[r][c] != '#')
                continue;
            const auto first = static_cast<uint32_t>(floor.positions.size());
            const float x = c * size;
            const float z = r * size;
            floor.positions.insert(floor.positions.end(),
                                   {Vector3(x, height, z), Vector3(x, height, z + size),
                                    Vector3(x + size, height, z), Vector3(x + size, height, z + size)});
            floor.indices.insert(floor.indices.end(),
                                 {first, first + 1, first + 2, first + 2, first + 1, first + 3});
        }
    }
    return floor;
}

// The centre of the given cell (row, column) of a MakeFloor floor.
Vector3 CellCentre(int row, int column, float size, float height = 0.0f)
{
    return Vector3((column + 0.5f) * size, height, (row + 0.5f) * size);
}

class NavmeshTest : public testing::Test
{
protected:
    // Builds the mesh under a new name and loads a navmesh from it, unplaced.
    bool Load(const Points& positions, const Indices& indices, const TriangleMeshLayout& layout = {})
    {
        return LoadPlaced(positions, indices, Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE,
                          layout);
    }
    bool Load(const Floor& floor) { return Load(floor.positions, floor.indices); }

    bool LoadPlaced(const Points& positions, const Indices& indices, const Vector3& position,
                    const Ogre::Quaternion& orientation, const Vector3& scale,
                    const TriangleMeshLayout& layout = {})
    {
        return m_navmesh.Load(CreateMesh(positions, indices, layout), position, orientation, scale, 7);
    }

    std::string CreateMesh(const Points& positions, const Indices& indices,
                           const TriangleMeshLayout& layout = {})
    {
        const std::string name = "mesh" + std::to_string(m_meshes++);
        CreateTriangleMesh(name, positions, indices, layout);
        return name;
    }

    // Path positions from start to target, start and target 10 above the ground.
    Points PathPositions(const Vector3& start, const Vector3& target)
    {
        std::vector<st_NavPathPoint> path;
        m_navmesh.FindPath(start + UP * 10.0f, target + UP * 10.0f, path);
        Points positions;
        for (const st_NavPathPoint& point : path)
            positions.push_back(point.position);
        return positions;
    }

    // Whether point lies on a triangle, or within 0.001 of one (a crossing put on a corner can miss it
    // by a rounding error).
    bool IsOnMesh(const Vector3& point) const
    {
        const float d = 0.001f;
        for (const Vector3& offset :
             {Vector3::ZERO, Vector3(d, 0, 0), Vector3(-d, 0, 0), Vector3(0, 0, d), Vector3(0, 0, -d)})
        {
            Vector3 hit;
            if (m_navmesh.RayHit(point + offset + UP, DOWN, hit) >= 0)
                return true;
        }
        return false;
    }

    std::set<int> RimVertices() const
    {
        std::set<int> rim;
        for (int v = 0; v < static_cast<int>(m_navmesh.GetVertices().size()); ++v)
        {
            if (m_navmesh.IsRimVertex(v))
                rim.insert(v);
        }
        return rim;
    }

    // Whether a line of that level reads line, its source line number written '#'.
    bool HasLine(const std::string& line, int level) const
    {
        for (const LogCapture::Line& logged : m_log.Lines())
        {
            if (logged.level == level && WithoutLineNumber(logged.text) == line)
                return true;
        }
        return false;
    }

    HeadlessOgre m_ogre;
    LogCapture m_log;
    cl_Navmesh m_navmesh;
    int m_meshes = 0;
};

void ExpectNear(const Vector3& actual, const Vector3& expected, float tolerance = 1e-4f)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

// --- Tables -------------------------------------------------------------------------------------------

TEST_F(NavmeshTest, BuildsEdgesWithTheirTrianglesAndTheRim)
{
    struct Case
    {
        const char* name;
        Points positions;
        Indices indices;
        size_t vertices;
        size_t edges;
        size_t borderEdges;
        std::set<int> rim;
    } cases[] = {
        {"lone triangle: three border edges",
         {{0, 0, 0}, {0, 0, 10}, {10, 0, 0}},
         {0, 1, 2},
         3,
         3,
         3,
         {0, 1, 2}},
        {"two triangles on one side",
         MakeFloor({"#"}, 10).positions,
         MakeFloor({"#"}, 10).indices,
         4,
         5,
         4,
         {0, 1, 2, 3}},
        {"fan around an inner vertex",
         {{0, 0, 0}, {0, 0, 10}, {10, 0, 10}, {10, 0, 0}, {5, 0, 5}},
         {0, 1, 4, 1, 2, 4, 2, 3, 4, 3, 0, 4},
         5,
         8,
         4,
         {0, 1, 2, 3}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(c.positions, c.indices));
        EXPECT_EQ(m_navmesh.GetVertices().size(), c.vertices);
        ASSERT_EQ(m_navmesh.GetEdges().size(), c.edges);
        size_t borders = 0;
        for (const st_NavEdge& edge : m_navmesh.GetEdges())
            borders += edge.IsBorder() ? 1 : 0;
        EXPECT_EQ(borders, c.borderEdges);
        EXPECT_EQ(RimVertices(), c.rim);
    }
}

TEST_F(NavmeshTest, TwoTrianglesShareOneEdgeInTheOrderOfTheFirst)
{
    ASSERT_TRUE(Load(MakeFloor({"#"}, 10)));
    ASSERT_EQ(m_navmesh.GetTriangleCount(), 2);
    const st_NavTriangle& first = m_navmesh.GetTriangle(0);
    const st_NavTriangle& second = m_navmesh.GetTriangle(1);
    // The diagonal: side 1 of the first triangle (corners 1, 2) and side 0 of the second (corners 2, 1).
    EXPECT_EQ(first.edges[1], second.edges[0]);
    const st_NavEdge& diagonal = m_navmesh.GetEdges()[first.edges[1]];
    EXPECT_EQ(diagonal.a, first.corners[1]);
    EXPECT_EQ(diagonal.b, first.corners[2]);
    EXPECT_EQ(diagonal.firstTriangle, 0);
    EXPECT_EQ(diagonal.secondTriangle, 1);
    ExpectNear(diagonal.midpoint, Vector3(5, 0, 5));
    ExpectNear(first.centre, Vector3(10.0f / 3, 0, 10.0f / 3));
    ExpectNear(first.normal, UP);
    EXPECT_EQ(first.localSurfaceId, -1);
    EXPECT_TRUE(first.surfaces.empty());
    EXPECT_EQ(m_navmesh.GetDefaultSurface(), 7);
}

TEST_F(NavmeshTest, MergesExactlyEqualPositionsOnly)
{
    const float nudged = std::nextafter(10.0f, 11.0f);
    struct Case
    {
        const char* name;
        Vector3 secondCorner; // the second triangle's copy of the vertex (10, 0, 0)
        size_t vertices;
        size_t edges;
    } cases[] = {
        {"duplicated vertices merge into a shared edge", {10, 0, 0}, 4, 5},
        {"the last bit differs: no shared edge", {nudged, 0, 0}, 5, 6},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        // Two triangles with vertices of their own; the copies of (0, 0, 10) are always equal, so at most
        // one shared side.
        const Points positions = {{0, -0.0f, 0},  {0, 0, 10}, {10, 0, 0},
                                  c.secondCorner, {0, 0, 10}, {10, 0, 10}};
        ASSERT_TRUE(Load(positions, {0, 1, 2, 3, 4, 5}));
        EXPECT_EQ(m_navmesh.GetVertices().size(), c.vertices);
        EXPECT_EQ(m_navmesh.GetEdges().size(), c.edges);
    }
}

TEST_F(NavmeshTest, ReadsEveryIndexWidthAndVertexLayout)
{
    const Floor floor = MakeFloor({"##"}, 10);
    TriangleMeshLayout wide;
    wide.indices32 = true;
    TriangleMeshLayout interleaved;
    interleaved.withNormals = true;
    for (const TriangleMeshLayout& layout : {TriangleMeshLayout(), wide, interleaved})
    {
        SCOPED_TRACE(layout.indices32     ? "32-bit indices"
                     : layout.withNormals ? "after normals"
                                          : "16-bit indices");
        ASSERT_TRUE(Load(floor.positions, floor.indices, layout));
        EXPECT_EQ(m_navmesh.GetTriangleCount(), 4);
        EXPECT_EQ(m_navmesh.GetVertices().size(), 6u);
        ExpectNear(m_navmesh.GetVertices().back(), Vector3(20, 0, 10));
    }
}

TEST_F(NavmeshTest, PlacesVerticesRotatedThenScaledInWorldAxesThenMoved)
{
    const Ogre::Quaternion quarterTurn(Ogre::Degree(90), Vector3::UNIT_Y);
    ASSERT_TRUE(LoadPlaced({{1, 0, 0}, {0, 0, 1}, {0, 0, 0}}, {0, 1, 2}, Vector3(10, 1, 0), quarterTurn,
                           Vector3(2, 3, 4)));
    // (1, 0, 0) turns to (0, 0, -1), is stretched along z to (0, 0, -4) and moved.
    ExpectNear(m_navmesh.GetVertices()[0], Vector3(10, 1, -4));
    ExpectNear(m_navmesh.GetVertices()[1], Vector3(12, 1, 0));
}

// --- Refused and broken meshes ------------------------------------------------------------------------

TEST_F(NavmeshTest, RefusesMeshesItCannotUseAndStaysEmpty)
{
    const std::string VALIDATE = " -> source\\graphics\\cl_Navmesh(#) <cl_Navmesh::Validate>";
    const Floor floor = MakeFloor({"#"}, 10);
    TriangleMeshLayout noSubMesh;
    noSubMesh.subMeshes = 0;
    TriangleMeshLayout twoSubMeshes;
    twoSubMeshes.subMeshes = 2;
    TriangleMeshLayout shared;
    shared.sharedVertices = true;
    TriangleMeshLayout noPositions;
    noPositions.positions = false;
    const std::string withoutPositions = CreateMesh(floor.positions, floor.indices, noPositions);
    struct Case
    {
        const char* name;
        std::string mesh;
        std::string error;
    } cases[] = {
        {"missing", "nothing_here.mesh", "mesh pointer is NULL." + VALIDATE},
        {"without submesh", CreateMesh(floor.positions, floor.indices, noSubMesh),
         "No SubMeshes available." + VALIDATE},
        {"two submeshes", CreateMesh(floor.positions, floor.indices, twoSubMeshes),
         "Multiple SubSeshes are not supported." + VALIDATE},
        {"shared vertices", CreateMesh(floor.positions, floor.indices, shared),
         "Shared vertices are not supported." + VALIDATE},
        {"no positions", withoutPositions,
         "The navigation mesh " + withoutPositions +
             " has no float positions. -> source\\graphics\\cl_Navmesh(#) <cl_Navmesh::ReadTriangles>"},
    };
    ASSERT_TRUE(Load(floor)); // a failed load must not leave an earlier mesh behind
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_log.Clear();
        EXPECT_FALSE(
            m_navmesh.Load(c.mesh, Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 3));
        EXPECT_TRUE(HasLine(c.error, cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(m_navmesh.GetTriangleCount(), 0);
        EXPECT_TRUE(m_navmesh.GetEdges().empty());
        EXPECT_TRUE(RimVertices().empty());
        EXPECT_EQ(m_navmesh.RayHitTriangle(Vector3(5, 10, 5), DOWN).triangle, -1);
        EXPECT_FALSE(m_navmesh.IsAtTarget(Vector3(5, 10, 5), Vector3(5, 0, 5), 100.0f, ""));
        EXPECT_EQ(PathPositions(Vector3(2, 0, 2), Vector3(8, 0, 8)), Points{Vector3(2, 10, 2)});
    }
}

TEST_F(NavmeshTest, SkipsTrianglesThatPointPastTheVertices)
{
    const Points positions = {{0, 0, 0}, {0, 0, 10}, {10, 0, 0}};
    TriangleMeshLayout wide;
    wide.indices32 = true;
    ASSERT_TRUE(Load(positions, {0, 1, 2, 0, 1, 3, 2, 1}, wide));
    EXPECT_TRUE(HasLine("IndexMap insufficiently filled! -> source\\graphics\\cl_Navmesh(#) "
                        "<cl_Navmesh::GenerateTriangles>",
                        cl_Logger::LEVEL_WARNING));
    // The second triangle is dropped, the two spare indices make no triangle.
    EXPECT_EQ(m_navmesh.GetTriangleCount(), 1);
    EXPECT_EQ(m_navmesh.GetEdges().size(), 3u);
}

TEST_F(NavmeshTest, EmptyAndDegenerateMeshesAnswerEveryQueryWithoutCrashing)
{
    struct Case
    {
        const char* name;
        Points positions;
        Indices indices;
        int triangles;
    } cases[] = {
        {"no vertices, no indices", {}, {}, 0},
        {"vertices without triangles", {{0, 0, 0}, {1, 0, 0}}, {0, 1}, 0},
        {"every corner in one place", {{5, 0, 5}, {5, 0, 5}, {5, 0, 5}}, {0, 1, 2, 0, 0, 0}, 2},
        {"corners on a line", {{0, 0, 0}, {5, 0, 5}, {10, 0, 10}}, {0, 1, 2}, 1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Load(c.positions, c.indices));
        EXPECT_EQ(m_navmesh.GetTriangleCount(), c.triangles);
        // No triangle has an area, so none faces a ray.
        EXPECT_EQ(m_navmesh.RayHitTriangle(Vector3(5, 10, 5), DOWN).triangle, -1);
        Vector3 point;
        EXPECT_EQ(m_navmesh.RayHit(Vector3(5, 10, 5), DOWN, point), -1);
        EXPECT_FALSE(m_navmesh.IsAtTarget(Vector3(5, 10, 5), Vector3(5, 0, 5), 1.0f, ""));
        m_log.Clear();
        EXPECT_EQ(PathPositions(Vector3(0, 0, 0), Vector3(10, 0, 10)), Points{Vector3(0, 10, 0)});
        EXPECT_TRUE(
            m_log.Contains("No navigation mesh triangle under the start point", cl_Logger::LEVEL_WARNING));
        for (int t = 0; t < c.triangles; ++t)
            EXPECT_EQ(m_navmesh.GetTriangle(t).normal, Vector3::ZERO);
    }
}

// --- Ray queries ----------------------------------------------------------------------------------------

TEST_F(NavmeshTest, FindsTheTriangleUnderAPointFromAboveAndBelow)
{
    // Two floors: the lower one (triangles 0, 1) at y = 0, the upper one (2, 3) at y = 10 over x 0..10 only,
    // then a floor facing down at y = 5 that no downward ray may hit.
    Floor floor = MakeFloor({"##"}, 10);
    const Floor upper = MakeFloor({"#"}, 10, 10.0f);
    for (const Vector3& p : upper.positions)
        floor.positions.push_back(p);
    for (uint32_t i : upper.indices)
        floor.indices.push_back(i + 8);
    floor.positions.insert(floor.positions.end(), {{0, 5, 0}, {10, 5, 0}, {0, 5, 10}});
    floor.indices.insert(floor.indices.end(), {12, 13, 14});
    ASSERT_TRUE(Load(floor));

    struct Case
    {
        const char* name;
        Vector3 origin;
        int triangle;
        Vector3 point;
    } cases[] = {
        {"above the lower floor", {15, 3, 2}, 2, {15, 0, 2}},
        {"below the lower floor: the reversed ray", {15, -30, 2}, 2, {15, 0, 2}},
        {"above both floors: the nearer", {2, 30, 2}, 4, {2, 10, 2}},
        {"between the floors: the nearer", {2, 4, 2}, 0, {2, 0, 2}},
        {"on an edge: the first triangle holding it", {5, 1, 5}, 0, {5, 0, 5}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const st_NavRayHit hit = m_navmesh.RayHitTriangle(c.origin, DOWN);
        EXPECT_EQ(hit.triangle, c.triangle);
        ExpectNear(hit.point, c.point);
        EXPECT_EQ(hit.offset, Vector3::ZERO);
        Vector3 point;
        EXPECT_EQ(m_navmesh.RayHit(c.origin, DOWN, point), c.triangle);
        ExpectNear(point, c.point);
    }
}

TEST_F(NavmeshTest, ARayBesideEveryTriangleFallsBackToTheNearestCentre)
{
    ASSERT_TRUE(Load(MakeFloor({"#."}, 10)));
    const Vector3 origin(25, 5, 5);
    const st_NavRayHit hit = m_navmesh.RayHitTriangle(origin, DOWN);
    // The plane hit (25, 0, 5) is nearer to the centre (6.67, 0, 6.67) of the second triangle.
    EXPECT_EQ(hit.triangle, 1);
    ExpectNear(hit.point, m_navmesh.GetTriangle(1).centre);
    ExpectNear(hit.offset, Vector3(25, 0, 5) - m_navmesh.GetTriangle(1).centre);

    Vector3 point;
    EXPECT_EQ(m_navmesh.RayHit(origin, DOWN, point), -1);
    EXPECT_EQ(point, origin);
}

TEST_F(NavmeshTest, ANearMissOutscoresAFarHit)
{
    // A floor at y = 0 and a small ledge at y = 95 just beside the ray: the ledge's fallback score
    // (5 + about 3) beats the floor's distance of 100.
    Floor floor = MakeFloor({"#"}, 10);
    floor.positions.insert(floor.positions.end(), {{6, 95, 4}, {6, 95, 6}, {8, 95, 4}});
    floor.indices.insert(floor.indices.end(), {4, 5, 6});
    ASSERT_TRUE(Load(floor));
    const st_NavRayHit hit = m_navmesh.RayHitTriangle(Vector3(4, 100, 4), DOWN);
    EXPECT_EQ(hit.triangle, 2);
    Vector3 point;
    EXPECT_EQ(m_navmesh.RayHit(Vector3(4, 100, 4), DOWN, point), 0);
}

// --- Surfaces -----------------------------------------------------------------------------------------

TEST_F(NavmeshTest, SurfaceMeshesMarkTrianglesWhoseCornersLieWithinOneUnit)
{
    ASSERT_TRUE(Load(MakeFloor({"##"}, 10)));
    const Points cell = {{10, 0, 0}, {10, 0, 10}, {20, 0, 0}, {20, 0, 10}};
    const Indices both = {0, 1, 2, 2, 1, 3};
    const auto add = [&](const std::string& surface, const Vector3& offset)
    {
        m_navmesh.AddSurfaceMesh(CreateMesh(cell, both), surface, offset, Ogre::Quaternion::IDENTITY,
                                 Vector3::UNIT_SCALE);
    };
    add("sand", Vector3(1.0f, 0, 0)); // marks nothing, so the name gets no id
    add("grass", Vector3(0.5f, 0, 0.5f));
    add("sand", Vector3(0, 0.9f, 0));
    add("grass", Vector3(0, 0, 0));

    const std::set<int> none;
    const std::set<int> grassAndSand = {0, 1};
    EXPECT_EQ(m_navmesh.GetTriangle(0).surfaces, none);
    EXPECT_EQ(m_navmesh.GetTriangle(1).surfaces, none);
    EXPECT_EQ(m_navmesh.GetTriangle(2).surfaces, grassAndSand);
    EXPECT_EQ(m_navmesh.GetTriangle(3).surfaces, grassAndSand);

    struct Case
    {
        const char* name;
        Vector3 point;
        Vector3 target;
        float radius;
        const char* surface;
        bool at;
    } cases[] = {
        {"on a triangle of the surface, far from the target", {15, 5, 5}, {500, 0, 500}, 0.0f, "sand", true},
        {"off the surface, on the target", {5, 5, 5}, {5, 0, 5}, 100.0f, "grass", false},
        {"unknown surface: inside the radius", {5, 5, 5}, {8, 50, 5}, 3.5f, "mud", true},
        {"unknown surface: on the radius", {5, 5, 5}, {8, 0, 5}, 3.0f, "mud", false},
        {"unknown surface, radius 0", {5, 5, 5}, {5, 0, 5}, 0.0f, "", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_navmesh.IsAtTarget(c.point, c.target, c.radius, c.surface), c.at);
    }
}

TEST_F(NavmeshTest, UnusableSurfaceMeshesAreSkippedWithAWarning)
{
    ASSERT_TRUE(Load(MakeFloor({"#"}, 10)));
    const Floor floor = MakeFloor({"#"}, 10);
    TriangleMeshLayout shared;
    shared.sharedVertices = true;
    TriangleMeshLayout none;
    none.subMeshes = 0;
    for (const std::string& mesh :
         {std::string("missing.mesh"), CreateMesh(floor.positions, floor.indices, shared),
          CreateMesh(floor.positions, floor.indices, none), CreateMesh({}, {0, 1, 2})})
    {
        SCOPED_TRACE(mesh);
        m_log.Clear();
        m_navmesh.AddSurfaceMesh(mesh, "sand", Vector3::ZERO, Ogre::Quaternion::IDENTITY,
                                 Vector3::UNIT_SCALE);
        EXPECT_TRUE(m_log.Contains(mesh, cl_Logger::LEVEL_WARNING));
    }
    EXPECT_TRUE(m_navmesh.GetTriangle(0).surfaces.empty());
}

TEST_F(NavmeshTest, LocalSurfaceIdsGoToTrianglesCentredInTheBox)
{
    ASSERT_TRUE(Load(MakeFloor({"##"}, 30)));
    // Centres: (10, 0, 10), (20, 0, 20), (40, 0, 10), (50, 0, 20).
    m_navmesh.SetLocalSurfaceId(4, Vector3(20, 0, 20), Vector3::ZERO);
    m_navmesh.SetLocalSurfaceId(5, Vector3(45, 1, 15), Vector3(5, 1, 5));
    const int expected[] = {-1, 4, 5, 5};
    for (int t = 0; t < 4; ++t)
        EXPECT_EQ(m_navmesh.GetTriangle(t).localSurfaceId, expected[t]) << "triangle " << t;
}

// --- Path search ----------------------------------------------------------------------------------------

TEST_F(NavmeshTest, ShortPathsLinkStartAndTargetDirectly)
{
    ASSERT_TRUE(Load(MakeFloor({"##"}, 100)));
    struct Case
    {
        const char* name;
        Vector3 start;
        Vector3 target;
        Points path;
    } cases[] = {
        {"same triangle", {10, 0, 10}, {60, 0, 10}, {{10, 10, 10}, {60, 10, 10}}},
        {"same triangle, closer than 20", {10, 0, 10}, {25, 0, 20}, {{10, 10, 10}}},
        {"neighbours across a side", {10, 0, 10}, {90, 0, 90}, {{10, 10, 10}, {90, 10, 90}}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PathPositions(c.start, c.target), c.path);
    }
    std::vector<int> chain = {42};
    EXPECT_TRUE(m_navmesh.BuildEdgeChain(1, chain, 0));
    EXPECT_TRUE(chain.empty());
}

TEST_F(NavmeshTest, ThreeTrianglesInARowCrossTwoEdges)
{
    ASSERT_TRUE(Load(MakeFloor({"##"}, 100)));
    const st_NavTriangle& first = m_navmesh.GetTriangle(0);
    const st_NavTriangle& second = m_navmesh.GetTriangle(1);
    std::vector<int> chain;
    EXPECT_TRUE(m_navmesh.BuildEdgeChain(2, chain, 0));
    EXPECT_EQ(chain, (std::vector<int>{first.edges[1], second.edges[2]}));
    EXPECT_FLOAT_EQ(m_navmesh.GetSearchRecords()[chain[1]].cost,
                    (Vector3(50, 0, 50) - Vector3(100, 0, 50)).length());
    EXPECT_EQ(m_navmesh.GetSearchRecords()[chain[1]].predecessor, chain[0]);

    std::vector<st_NavPathPoint> path;
    m_navmesh.FindPath(Vector3(10, 5, 10), Vector3(130, 5, 10), path);
    ASSERT_GE(path.size(), 3u);
    ExpectNear(path.front().position, Vector3(10, 5, 10));
    ExpectNear(path.back().position, Vector3(130, 5, 10));
    for (size_t i = 0; i < path.size(); ++i)
    {
        ExpectNear(path[i].up, UP);
        if (i > 0)
        {
            EXPECT_GE(path[i].position.distance(path[i - 1].position), 20.0f);
        }
        // Between start and target: a crossing of the first edge (x + z = 100) or of the second (x = 100).
        const Vector3& p = path[i].position;
        if (i > 0 && i + 1 < path.size())
        {
            EXPECT_TRUE(std::fabs(p.x + p.z - 100) < 1e-3f || p.x == 100.0f) << p;
        }
    }
}

// Fans of triangles (C, V[k+1], V[k]) around C at the origin, closed: vertex 0 is C, vertex k + 1 is V[k].
Floor MakeFan(const Points& around)
{
    Floor fan;
    fan.positions.push_back(Vector3::ZERO);
    fan.positions.insert(fan.positions.end(), around.begin(), around.end());
    const auto n = static_cast<uint32_t>(around.size());
    for (uint32_t k = 0; k < n; ++k)
        fan.indices.insert(fan.indices.end(), {0, (k + 1) % n + 1, k + 1});
    return fan;
}

Vector3 Polar(float radius, float degrees)
{
    const float radians = Ogre::Degree(degrees).valueRadians();
    return Vector3(radius * std::cos(radians), 0, radius * std::sin(radians));
}

TEST_F(NavmeshTest, ARouteFoundLaterAtALowerCostTakesOver)
{
    // Spoke k joins C and V[k]. The start triangle t0 holds spokes 0 and 1; from spoke 1 the wide triangle
    // t1 reaches spoke 2 in one step (cost about 99.6); the way round through spokes 4 and 3 takes three
    // steps and costs about 55.
    ASSERT_TRUE(
        Load(MakeFan({Polar(10, 0), Polar(100, 45), Polar(100, 215), Polar(10, 270), Polar(10, 315)})));
    const auto spoke = [&](int k) { return m_navmesh.GetTriangle(k).edges[2]; };
    std::vector<int> chain;
    EXPECT_TRUE(m_navmesh.BuildEdgeChain(2, chain, 0));
    EXPECT_EQ(chain, (std::vector<int>{spoke(0), spoke(4), spoke(3)}));
    const st_NavEdgeCost& spoke2 = m_navmesh.GetSearchRecords()[spoke(2)];
    EXPECT_EQ(spoke2.predecessor, spoke(3));
    EXPECT_NEAR(spoke2.cost, 55.0f, 0.5f);
}

TEST_F(NavmeshTest, GoalEdgesCountInWholeUnits)
{
    // The goal triangle t2 = (C, V3, V2): spoke 3 comes first, at cost 7.9 (|V0 - V3| / 2, from spoke 0),
    // spoke 2 second, at 7.1 (|V1 - V2| / 2, from spoke 1). Both count as 7: the first is taken.
    ASSERT_TRUE(
        Load(MakeFan({Polar(11.172f, 0), Polar(10.041f, 90), Polar(10.041f, 180), Polar(11.172f, 270)})));
    const auto spoke = [&](int k) { return m_navmesh.GetTriangle(k).edges[2]; };
    std::vector<int> chain;
    EXPECT_TRUE(m_navmesh.BuildEdgeChain(2, chain, 0));
    EXPECT_NEAR(m_navmesh.GetSearchRecords()[spoke(3)].cost, 7.9f, 0.01f);
    EXPECT_NEAR(m_navmesh.GetSearchRecords()[spoke(2)].cost, 7.1f, 0.01f);
    EXPECT_EQ(chain, (std::vector<int>{spoke(0), spoke(3)}));
}

TEST_F(NavmeshTest, UCorridorPathStaysOnTheMeshWithSpacedPoints)
{
    const Floor floor = MakeFloor({"###", "#.#", "#.#", "#.#"}, 50);
    ASSERT_TRUE(Load(floor));
    for (const float rim : {20.0f, 0.0f})
    {
        SCOPED_TRACE(rim);
        m_navmesh.SetRim(rim);
        const Points path = PathPositions(CellCentre(3, 0, 50), CellCentre(3, 2, 50));
        ASSERT_GE(path.size(), 4u);
        ExpectNear(path.front(), CellCentre(3, 0, 50) + UP * 10.0f);
        ExpectNear(path.back(), CellCentre(3, 2, 50) + UP * 10.0f);
        for (size_t i = 0; i < path.size(); ++i)
        {
            EXPECT_TRUE(IsOnMesh(path[i])) << "point " << i << " " << path[i];
            if (i > 0)
            {
                EXPECT_GE(path[i].distance(path[i - 1]), 20.0f) << "point " << i;
            }
        }
        // The walk goes round the top row.
        float top = 1e9f;
        for (const Vector3& p : path)
            top = std::min(top, p.z);
        EXPECT_LT(top, 50.0f);
    }
}

TEST_F(NavmeshTest, RimModeHoldsCrossingsAwayFromTheBorder)
{
    // An L of three cells 100 wide; the walk from the lower arm to the right arm turns round the inner
    // corner (100, 0, 100), a rim vertex.
    ASSERT_TRUE(Load(MakeFloor({"##", "#."}, 100)));
    const Vector3 corner(100, 0, 100);
    struct Case
    {
        const char* name;
        float rim;
        float nearest; // the crossings settle within the smallest smoothing step (1.875 here) beyond it
    } cases[] = {
        {"plain shortest: close round the corner", 0.0f, 0.0f},
        {"rim 20", 20.0f, 20.0f},
        {"rim 40", 40.0f, 40.0f},
        {"a width below 0: plain shortest again", -1.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_navmesh.SetRim(c.rim);
        const Points path = PathPositions(Vector3(20, 0, 180), Vector3(180, 0, 20));
        ASSERT_GE(path.size(), 3u);
        float nearest = 1e9f;
        for (size_t i = 1; i + 1 < path.size(); ++i)
            nearest = std::min(nearest, path[i].distance(corner));
        EXPECT_GE(nearest, c.nearest);
        EXPECT_LE(nearest, c.nearest + 10.0f);
    }
}

TEST_F(NavmeshTest, AnIslandTargetEndsAtTheReachedEdgeNearestToIt)
{
    ASSERT_TRUE(Load(MakeFloor({"###.#"}, 50)));
    const int islandTriangle = 7;
    std::vector<int> chain;
    EXPECT_FALSE(m_navmesh.BuildEdgeChain(islandTriangle, chain, 0));
    ASSERT_FALSE(chain.empty());
    // The diagonal of the third cell, from (100, 0, 50) to (150, 0, 0).
    const st_NavEdge& last = m_navmesh.GetEdges()[chain.back()];
    ExpectNear(last.midpoint, Vector3(125, 0, 25));

    m_log.Clear();
    const Points path = PathPositions(Vector3(10, 0, 10), m_navmesh.GetTriangle(islandTriangle).centre);
    ExpectNear(path.back(), Vector3(125, 0, 25));
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(NavmeshTest, NothingReachableLogsAnErrorAndGivesTheStartOnly)
{
    // Two lone triangles: no edge can be crossed.
    const Points positions = {{0, 0, 0}, {0, 0, 50}, {50, 0, 0}, {100, 0, 0}, {100, 0, 50}, {150, 0, 0}};
    ASSERT_TRUE(Load(positions, {0, 1, 2, 3, 4, 5}));
    std::vector<int> chain = {42};
    EXPECT_FALSE(m_navmesh.BuildEdgeChain(1, chain, 0));
    EXPECT_EQ(chain, std::vector<int>{42});
    EXPECT_TRUE(HasLine("Couldn't find a connection between target and source triangle. Invalid Navemesh? "
                        "-> source\\graphics\\cl_Navmesh(#) <cl_Navmesh::BuildEdgeChain>",
                        cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(PathPositions(Vector3(10, 0, 10), Vector3(110, 0, 10)), Points{Vector3(10, 10, 10)});
}

// --- The fast searches against the plain ones ------------------------------------------------------

// A floor of columns x rows cells (of side 10) whose shared corners are moved by up to jitter times the
// side and lifted by slope times x, with cells left out where hole() says so and diagonals of both
// directions. Every cell still has its own four vertices.
template <class Hole>
Floor MakeRandomFloor(int columns, int rows, float jitter, float slope, unsigned seed, Hole&& hole)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> shift(-jitter * 10.0f, jitter * 10.0f);
    std::vector<Vector3> corners;
    for (int r = 0; r <= rows; ++r)
    {
        for (int c = 0; c <= columns; ++c)
        {
            const float x = c * 10.0f + shift(random);
            corners.emplace_back(x, slope * x, r * 10.0f + shift(random));
        }
    }
    Floor floor;
    for (int r = 0; r < rows; ++r)
    {
        for (int c = 0; c < columns; ++c)
        {
            const bool flip = random() % 2 == 0;
            if (hole(c, r))
                continue;
            const auto first = static_cast<uint32_t>(floor.positions.size());
            for (const int corner : {r * (columns + 1) + c, (r + 1) * (columns + 1) + c,
                                     r * (columns + 1) + c + 1, (r + 1) * (columns + 1) + c + 1})
                floor.positions.push_back(corners[corner]);
            if (flip)
                floor.indices.insert(floor.indices.end(),
                                     {first, first + 1, first + 2, first + 2, first + 1, first + 3});
            else
                floor.indices.insert(floor.indices.end(),
                                     {first, first + 1, first + 3, first, first + 3, first + 2});
        }
    }
    return floor;
}

struct RandomFloorCase
{
    const char* name;
    Floor floor;
    Vector3 offset;
};

std::vector<RandomFloorCase> RandomFloors()
{
    const auto none = [](int, int) { return false; };
    return {
        {"jittered, with holes",
         MakeRandomFloor(16, 10, 0.3f, 0.0f, 1, [](int c, int r) { return (c * 7 + r * 3) % 11 == 0; }),
         Vector3::ZERO},
        {"regular: routes of equal cost everywhere", MakeRandomFloor(12, 8, 0.0f, 0.0f, 2, none),
         Vector3::ZERO},
        {"a wall with one gap, sloped",
         MakeRandomFloor(14, 9, 0.2f, 0.5f, 3, [](int c, int r) { return c == 7 && r != 4; }), Vector3::ZERO},
        {"two islands", MakeRandomFloor(12, 8, 0.25f, 0.0f, 4, [](int c, int) { return c == 5 || c == 6; }),
         Vector3::ZERO},
        {"far from the origin: steps short against the rounding", MakeRandomFloor(10, 6, 0.3f, 0.0f, 5, none),
         Vector3(3e6f, 0, -2e6f)},
    };
}

TEST_F(NavmeshTest, SearchTowardTheGoalGivesTheWavesChain)
{
    m_log.Clear();
    for (const RandomFloorCase& c : RandomFloors())
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(LoadPlaced(c.floor.positions, c.floor.indices, c.offset, Ogre::Quaternion::IDENTITY,
                               Vector3::UNIT_SCALE));
        const int triangles = m_navmesh.GetTriangleCount();
        std::mt19937 random(7);
        for (int query = 0; query < 150; ++query)
        {
            const int start = random() % triangles;
            const int goal = random() % triangles;
            std::vector<int> wave;
            std::vector<int> fast;
            const bool waveFound = m_navmesh.BuildEdgeChain(goal, wave, start);
            const bool fastFound = m_navmesh.FindEdgeChain(goal, fast, start);
            ASSERT_EQ(fastFound, waveFound) << "from " << start << " to " << goal;
            ASSERT_EQ(fast, wave) << "from " << start << " to " << goal;
        }
    }
    EXPECT_TRUE(m_log.Lines().empty());
}

// The ray queries as the plain scan over every triangle works them out.
st_NavRayHit ScanRayHit(const cl_Navmesh& navmesh, const Vector3& origin, bool fallback)
{
    const auto inside = [&](const st_NavTriangle& t, const Vector3& p)
    {
        for (const int e : t.edges)
        {
            const Vector3& a = navmesh.GetVertices()[navmesh.GetEdges()[e].a];
            const Vector3 side = navmesh.GetVertices()[navmesh.GetEdges()[e].b] - a;
            if (!(side.crossProduct(p - a).dotProduct(side.crossProduct(t.centre - a)) >= 0.0f))
                return false;
        }
        return true;
    };
    st_NavRayHit best;
    float bestDistance = 0.0f;
    st_NavRayHit near;
    float nearScore = 0.0f;
    for (int i = 0; i < navmesh.GetTriangleCount(); ++i)
    {
        const st_NavTriangle& t = navmesh.GetTriangle(i);
        if (!(t.normal.dotProduct(DOWN) < 0.0f))
            continue;
        const Ogre::Plane plane(t.normal, t.centre);
        Ogre::Ray ray(origin, DOWN);
        Ogre::RayTestResult hit = ray.intersects(plane);
        if (!hit.first)
        {
            ray = Ogre::Ray(origin, -DOWN);
            hit = ray.intersects(plane);
            if (!hit.first)
                continue;
        }
        const Vector3 p = ray.getPoint(hit.second);
        const float distance = p.distance(origin);
        if (inside(t, p))
        {
            if (best.triangle < 0 || distance < bestDistance)
            {
                best = {i, p, Vector3::ZERO};
                bestDistance = distance;
            }
        }
        else if (near.triangle < 0 || distance + p.distance(t.centre) < nearScore)
        {
            near = {i, t.centre, p - t.centre};
            nearScore = distance + p.distance(t.centre);
        }
    }
    if (!fallback || (best.triangle >= 0 && (near.triangle < 0 || bestDistance < nearScore)))
        return best;
    return near;
}

TEST_F(NavmeshTest, DownwardRaysThroughTheGridMatchAScanOfEveryTriangle)
{
    for (RandomFloorCase& c : RandomFloors())
    {
        SCOPED_TRACE(c.name);
        // A second storey over part of the floor.
        const Floor upper = MakeRandomFloor(5, 4, 0.2f, 0.0f, 9, [](int, int) { return false; });
        for (const uint32_t i : upper.indices)
            c.floor.indices.push_back(static_cast<uint32_t>(c.floor.positions.size()) + i);
        for (const Vector3& p : upper.positions)
            c.floor.positions.push_back(p + Vector3(20, 25, 10));
        ASSERT_TRUE(LoadPlaced(c.floor.positions, c.floor.indices, c.offset, Ogre::Quaternion::IDENTITY,
                               Vector3::UNIT_SCALE));
        std::mt19937 random(11);
        std::uniform_real_distribution<float> across(-40.0f, 200.0f);
        std::uniform_real_distribution<float> height(-30.0f, 60.0f);
        for (int query = 0; query < 400; ++query)
        {
            const Vector3 origin = c.offset + Vector3(across(random), height(random), across(random));
            const st_NavRayHit expected = ScanRayHit(m_navmesh, origin, true);
            const st_NavRayHit hit = m_navmesh.RayHitTriangle(origin, DOWN);
            ASSERT_EQ(hit.triangle, expected.triangle) << origin;
            EXPECT_EQ(hit.point, expected.point) << origin;
            EXPECT_EQ(hit.offset, expected.offset) << origin;
            Vector3 point;
            ASSERT_EQ(m_navmesh.RayHit(origin, DOWN, point), ScanRayHit(m_navmesh, origin, false).triangle)
                << origin;
        }
    }
}

} // namespace
