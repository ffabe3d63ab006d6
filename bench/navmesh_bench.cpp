// Paths per second over one walkable floor: our navigation mesh's FindPath beside Detour (Recast
// Navigation) on a navigation mesh built from the very same triangles, over the same fixed list of queries.
// Each side's work per query: find the polygons under start and target, search, smooth or straighten.
// The counters give the mean length of the paths each side returns, and how many reached their target.
#include "graphics/cl_Navmesh.h"

#include "support/HeadlessOgre.h"
#include "support/TriangleMesh.h"

#include <benchmark/benchmark.h>

#include <DetourNavMesh.h>
#include <DetourNavMeshBuilder.h>
#include <DetourNavMeshQuery.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <queue>
#include <random>
#include <vector>

namespace
{
using Ogre::Vector3;

// A floor of 60 x 30 square cells 40 wide with jittered corners, gentle slopes and diagonals of both
// directions; four walls across it with two gaps each and a few square pillars; about 3300 triangles.
const int CELLS_X = 60;
const int CELLS_Z = 30;
const float CELL = 40.0f;
const int QUERIES = 200;

struct Floor
{
    std::vector<Vector3> positions;
    std::vector<uint32_t> indices; // facing up: (c1 - c0) x (c2 - c0) points along +y
    std::vector<std::pair<Vector3, Vector3>> queries;
};

bool IsWallColumn(int x)
{
    return x > 0 && x % 12 == 0;
}

Floor MakeFloor()
{
    std::mt19937 random(20240611u);
    std::uniform_real_distribution<float> jitter(-0.25f * CELL, 0.25f * CELL);
    Floor floor;
    for (int z = 0; z <= CELLS_Z; ++z)
    {
        for (int x = 0; x <= CELLS_X; ++x)
        {
            const float px = x * CELL + jitter(random);
            const float pz = z * CELL + jitter(random);
            floor.positions.emplace_back(px, 8.0f * std::sin(px / 150.0f) * std::cos(pz / 120.0f), pz);
        }
    }

    std::vector<char> open(CELLS_X * CELLS_Z, 1);
    const auto cell = [](int x, int z) { return z * CELLS_X + x; };
    for (int x = 0; x < CELLS_X; ++x)
    {
        if (!IsWallColumn(x))
            continue;
        const int gapA = std::uniform_int_distribution<int>(0, CELLS_Z / 2 - 3)(random);
        const int gapB = std::uniform_int_distribution<int>(CELLS_Z / 2, CELLS_Z - 3)(random);
        for (int z = 0; z < CELLS_Z; ++z)
            open[cell(x, z)] = (z >= gapA && z < gapA + 3) || (z >= gapB && z < gapB + 3);
    }
    for (int pillar = 0; pillar < 20; ++pillar)
    {
        const int x = std::uniform_int_distribution<int>(1, CELLS_X - 3)(random);
        const int z = std::uniform_int_distribution<int>(1, CELLS_Z - 3)(random);
        if (IsWallColumn(x) || IsWallColumn(x + 1))
            continue;
        open[cell(x, z)] = open[cell(x + 1, z)] = open[cell(x, z + 1)] = open[cell(x + 1, z + 1)] = 0;
    }
    // Only the cells reachable from the first corner, so that every query has a path.
    std::vector<char> reached(open.size(), 0);
    std::queue<int> pending;
    pending.push(cell(0, 0));
    reached[cell(0, 0)] = 1;
    while (!pending.empty())
    {
        const int c = pending.front();
        pending.pop();
        const int x = c % CELLS_X;
        const int z = c / CELLS_X;
        const int next[4][2] = {{x - 1, z}, {x + 1, z}, {x, z - 1}, {x, z + 1}};
        for (const auto& n : next)
        {
            if (n[0] < 0 || n[0] >= CELLS_X || n[1] < 0 || n[1] >= CELLS_Z)
                continue;
            const int m = cell(n[0], n[1]);
            if (open[m] && !reached[m])
            {
                reached[m] = 1;
                pending.push(m);
            }
        }
    }

    std::bernoulli_distribution flip(0.5);
    for (int z = 0; z < CELLS_Z; ++z)
    {
        for (int x = 0; x < CELLS_X; ++x)
        {
            if (!reached[cell(x, z)])
                continue;
            const uint32_t v00 = z * (CELLS_X + 1) + x;
            const uint32_t v10 = v00 + 1;
            const uint32_t v01 = v00 + CELLS_X + 1;
            const uint32_t v11 = v01 + 1;
            if (flip(random))
                floor.indices.insert(floor.indices.end(), {v00, v01, v10, v10, v01, v11});
            else
                floor.indices.insert(floor.indices.end(), {v00, v01, v11, v00, v11, v10});
        }
    }

    // Points spread evenly over the floor's triangles.
    const size_t triangles = floor.indices.size() / 3;
    std::uniform_int_distribution<size_t> anyTriangle(0, triangles - 1);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const auto anyPoint = [&]
    {
        const size_t t = anyTriangle(random);
        float u = unit(random);
        float v = unit(random);
        if (u + v > 1.0f)
        {
            u = 1.0f - u;
            v = 1.0f - v;
        }
        const Vector3& a = floor.positions[floor.indices[3 * t]];
        const Vector3& b = floor.positions[floor.indices[3 * t + 1]];
        const Vector3& c = floor.positions[floor.indices[3 * t + 2]];
        return a + (b - a) * u + (c - a) * v;
    };
    for (int q = 0; q < QUERIES; ++q)
    {
        const Vector3 start = anyPoint();
        floor.queries.emplace_back(start, anyPoint());
    }
    return floor;
}

const Floor& TheFloor()
{
    static const Floor floor = MakeFloor();
    return floor;
}

std::unique_ptr<cl_Navmesh> LoadNavmesh(const Floor& floor)
{
    HeadlessOgre ogre;
    CreateTriangleMesh("bench_floor", floor.positions, floor.indices);
    auto navmesh = std::make_unique<cl_Navmesh>();
    navmesh->Load("bench_floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    return navmesh;
}

// Detour: one tile, one polygon per triangle, neighbours across shared sides, vertices on a 0.05 grid.
struct DetourWorld
{
    std::unique_ptr<dtNavMesh, void (*)(dtNavMesh*)> mesh{nullptr, dtFreeNavMesh};
    std::unique_ptr<dtNavMeshQuery, void (*)(dtNavMeshQuery*)> query{nullptr, dtFreeNavMeshQuery};
    dtQueryFilter filter;
};

std::unique_ptr<DetourWorld> BuildDetour(const Floor& floor)
{
    const float cellSize = 0.05f;
    float bmin[3] = {1e30f, 1e30f, 1e30f};
    float bmax[3] = {-1e30f, -1e30f, -1e30f};
    for (const Vector3& p : floor.positions)
    {
        for (int i = 0; i < 3; ++i)
        {
            bmin[i] = std::min(bmin[i], p[i]);
            bmax[i] = std::max(bmax[i], p[i]);
        }
    }
    std::vector<unsigned short> verts;
    for (const Vector3& p : floor.positions)
    {
        for (int i = 0; i < 3; ++i)
            verts.push_back(static_cast<unsigned short>(std::lround((p[i] - bmin[i]) / cellSize)));
    }

    // The corners in the triangles' own order: the winding Detour's funnel expects of polygons facing up
    // (with the other one its straight paths come out more than twice as long).
    const int polyCount = static_cast<int>(floor.indices.size() / 3);
    std::vector<unsigned short> polys(polyCount * 6, 0xffff);
    std::vector<std::pair<uint64_t, int>> sides; // (vertex pair, polygon * 3 + side)
    for (int p = 0; p < polyCount; ++p)
    {
        const uint32_t* const corners = &floor.indices[3 * p];
        for (int k = 0; k < 3; ++k)
        {
            polys[p * 6 + k] = static_cast<unsigned short>(corners[k]);
            const uint64_t a = std::min(corners[k], corners[(k + 1) % 3]);
            const uint64_t b = std::max(corners[k], corners[(k + 1) % 3]);
            sides.emplace_back(a << 32 | b, p * 3 + k);
        }
    }
    std::sort(sides.begin(), sides.end());
    for (size_t i = 0; i + 1 < sides.size(); ++i)
    {
        if (sides[i].first != sides[i + 1].first)
            continue;
        const int p = sides[i].second / 3;
        const int q = sides[i + 1].second / 3;
        polys[p * 6 + 3 + sides[i].second % 3] = static_cast<unsigned short>(q);
        polys[q * 6 + 3 + sides[i + 1].second % 3] = static_cast<unsigned short>(p);
    }
    const std::vector<unsigned short> flags(polyCount, 1);
    const std::vector<unsigned char> areas(polyCount, 0);

    dtNavMeshCreateParams params = {};
    params.verts = verts.data();
    params.vertCount = static_cast<int>(floor.positions.size());
    params.polys = polys.data();
    params.polyFlags = flags.data();
    params.polyAreas = areas.data();
    params.polyCount = polyCount;
    params.nvp = 3;
    std::copy(bmin, bmin + 3, params.bmin);
    std::copy(bmax, bmax + 3, params.bmax);
    params.walkableHeight = 2.0f;
    params.walkableRadius = 0.0f;
    params.walkableClimb = 1.0f;
    params.cs = cellSize;
    params.ch = cellSize;
    params.buildBvTree = true;
    unsigned char* data = nullptr;
    int dataSize = 0;
    auto world = std::make_unique<DetourWorld>();
    if (!dtCreateNavMeshData(&params, &data, &dataSize))
        return nullptr;
    world->mesh.reset(dtAllocNavMesh());
    if (dtStatusFailed(world->mesh->init(data, dataSize, DT_TILE_FREE_DATA)))
        return nullptr;
    world->query.reset(dtAllocNavMeshQuery());
    if (dtStatusFailed(world->query->init(world->mesh.get(), 65000)))
        return nullptr;
    return world;
}

// Length and reach of a path, measured on the ground plane (x, z).
struct Tally
{
    double length = 0.0;
    int reached = 0;

    // Our paths leave out a target closer than 20.0 to the point before it: such a path still counts as
    // reaching it, and the last stretch counts in its length.
    void Add(const std::vector<Vector3>& points, const Vector3& target)
    {
        const auto flat = [](const Vector3& p) { return Vector3(p.x, 0.0f, p.z); };
        for (size_t i = 1; i < points.size(); ++i)
            length += flat(points[i]).distance(flat(points[i - 1]));
        const float missing = points.empty() ? 1e9f : flat(points.back()).distance(flat(target));
        if (missing < 20.0f)
        {
            ++reached;
            length += missing;
        }
    }
};

void ReportTally(benchmark::State& state, const Tally& tally)
{
    state.SetItemsProcessed(state.iterations() * QUERIES);
    state.counters["mean_length"] = tally.length / QUERIES;
    state.counters["reached"] = tally.reached;
}

// Argument: the rim width (0: plain shortest).
void BM_NavmeshFindPath(benchmark::State& state)
{
    const Floor& floor = TheFloor();
    const std::unique_ptr<cl_Navmesh> navmesh = LoadNavmesh(floor);
    navmesh->SetRim(static_cast<float>(state.range(0)));
    const Vector3 above(0.0f, 2.0f, 0.0f);
    std::vector<st_NavPathPoint> path;
    std::vector<Vector3> points;
    Tally tally;
    for (auto _ : state)
    {
        tally = Tally();
        for (const auto& query : floor.queries)
        {
            navmesh->FindPath(query.first + above, query.second + above, path);
            points.clear();
            for (const st_NavPathPoint& point : path)
                points.push_back(point.position);
            tally.Add(points, query.second);
        }
    }
    state.counters["triangles"] = navmesh->GetTriangleCount();
    ReportTally(state, tally);
}
BENCHMARK(BM_NavmeshFindPath)->Arg(20)->Arg(0)->Unit(benchmark::kMicrosecond);

void BM_DetourFindPath(benchmark::State& state)
{
    const Floor& floor = TheFloor();
    const std::unique_ptr<DetourWorld> world = BuildDetour(floor);
    if (!world)
    {
        state.SkipWithError("Detour refused the navigation mesh");
        return;
    }
    const float extents[3] = {2.0f, 4.0f, 2.0f};
    const int MAX_POLYS = 4096;
    std::vector<dtPolyRef> polys(MAX_POLYS);
    std::vector<float> straight(3 * MAX_POLYS);
    std::vector<Vector3> points;
    Tally tally;
    for (auto _ : state)
    {
        tally = Tally();
        for (const auto& query : floor.queries)
        {
            dtPolyRef startRef = 0;
            dtPolyRef endRef = 0;
            float start[3];
            float end[3];
            world->query->findNearestPoly(query.first.ptr(), extents, &world->filter, &startRef, start);
            world->query->findNearestPoly(query.second.ptr(), extents, &world->filter, &endRef, end);
            int polyCount = 0;
            world->query->findPath(startRef, endRef, start, end, &world->filter, polys.data(), &polyCount,
                                   MAX_POLYS);
            int straightCount = 0;
            world->query->findStraightPath(start, end, polys.data(), polyCount, straight.data(), nullptr,
                                           nullptr, &straightCount, MAX_POLYS);
            points.clear();
            for (int i = 0; i < straightCount; ++i)
                points.emplace_back(&straight[3 * i]);
            tally.Add(points, query.second);
        }
    }
    ReportTally(state, tally);
}
BENCHMARK(BM_DetourFindPath)->Unit(benchmark::kMicrosecond);
} // namespace
