// Paths per second over walkable floors of four sizes, from a small room to a hundred thousand triangles:
// our navigation mesh's FindPath (with the game's rim of 20 and plain shortest) beside Detour (Recast
// Navigation) on a navigation mesh built from the very same triangles, over the same fixed list of
// queries. Each side's work per query: find the polygons under start and target, search, smooth or
// straighten. Detour gets one tile where one can hold the floor, else square tiles whose lines run along
// cell lines; the vertices on a tile line lie exactly on it and are shared by the triangles of both sides,
// so that Detour links the tiles there. The counters give the triangles, the mean length of the paths
// each side returns, and how many reached their target.
#include "graphics/cl_Navmesh.h"

#include "support/BenchRatio.h"
#include "support/HeadlessOgre.h"
#include "support/TriangleMesh.h"

#include <benchmark/benchmark.h>

#include <DetourNavMesh.h>
#include <DetourNavMeshBuilder.h>
#include <DetourNavMeshQuery.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <queue>
#include <random>
#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;

// Floors of square cells 40 wide with jittered corners, gentle slopes and diagonals of both directions;
// a wall across every twelfth column with two gaps, and square pillars. Each size is a number of cells.
struct FloorSize
{
    int cellsX;
    int cellsZ;
};
const std::array<FloorSize, 4> SIZES = {{{20, 10}, {60, 30}, {190, 95}, {330, 160}}};
const float CELL = 40.0f;
const int QUERIES = 200;
// Cells per side of a Detour tile: at a 0.05 grid its 2400 units take 48000 steps of the 65535 a tile can.
const int TILE_CELLS = 60;
const float DETOUR_GRID = 0.05f;

struct Floor
{
    std::vector<Vector3> positions;
    std::vector<uint32_t> indices; // facing up: (c1 - c0) x (c2 - c0) points along +y
    std::vector<int> cells;        // per triangle, the cell (z * cellsX + x) it covers
    std::vector<std::pair<Vector3, Vector3>> queries;
    int cellsX = 0;
    int cellsZ = 0;
};

bool IsWallColumn(int x)
{
    return x > 0 && x % 12 == 0;
}

// Whether the cells a walk can reach from the first corner, over the open ones.
std::vector<char> ReachedCells(const std::vector<char>& open, int cellsX, int cellsZ)
{
    std::vector<char> reached(open.size(), 0);
    std::queue<int> pending;
    pending.push(0);
    reached[0] = 1;
    while (!pending.empty())
    {
        const int c = pending.front();
        pending.pop();
        const int x = c % cellsX;
        const int z = c / cellsX;
        const int next[4][2] = {{x - 1, z}, {x + 1, z}, {x, z - 1}, {x, z + 1}};
        for (const auto& n : next)
        {
            if (n[0] < 0 || n[0] >= cellsX || n[1] < 0 || n[1] >= cellsZ)
                continue;
            const int m = n[1] * cellsX + n[0];
            if (open[m] && !reached[m])
            {
                reached[m] = 1;
                pending.push(m);
            }
        }
    }
    return reached;
}

Floor MakeFloor(const FloorSize& size)
{
    const int cellsX = size.cellsX;
    const int cellsZ = size.cellsZ;
    std::mt19937 random(20240611u);
    std::uniform_real_distribution<float> jitter(-0.25f * CELL, 0.25f * CELL);
    Floor floor;
    floor.cellsX = cellsX;
    floor.cellsZ = cellsZ;
    for (int z = 0; z <= cellsZ; ++z)
    {
        for (int x = 0; x <= cellsX; ++x)
        {
            // Corners on a tile line stay on it.
            const float jx = jitter(random);
            const float jz = jitter(random);
            const float px = x * CELL + (x % TILE_CELLS == 0 ? 0.0f : jx);
            const float pz = z * CELL + (z % TILE_CELLS == 0 ? 0.0f : jz);
            floor.positions.emplace_back(px, 8.0f * std::sin(px / 150.0f) * std::cos(pz / 120.0f), pz);
        }
    }

    std::vector<char> open(cellsX * cellsZ, 1);
    const auto cell = [cellsX](int x, int z) { return z * cellsX + x; };
    for (int x = 0; x < cellsX; ++x)
    {
        if (!IsWallColumn(x))
            continue;
        const int gapA = std::uniform_int_distribution<int>(0, cellsZ / 2 - 3)(random);
        const int gapB = std::uniform_int_distribution<int>(cellsZ / 2, cellsZ - 3)(random);
        for (int z = 0; z < cellsZ; ++z)
            open[cell(x, z)] = (z >= gapA && z < gapA + 3) || (z >= gapB && z < gapB + 3);
    }
    for (int pillar = 0; pillar < cellsX * cellsZ / 90; ++pillar)
    {
        const int x = std::uniform_int_distribution<int>(1, cellsX - 3)(random);
        const int z = std::uniform_int_distribution<int>(1, cellsZ - 3)(random);
        if (IsWallColumn(x) || IsWallColumn(x + 1))
            continue;
        open[cell(x, z)] = open[cell(x + 1, z)] = open[cell(x, z + 1)] = open[cell(x + 1, z + 1)] = 0;
    }
    // Only the cells reachable from the first corner, so that every query has a path.
    const std::vector<char> reached = ReachedCells(open, cellsX, cellsZ);

    std::bernoulli_distribution flip(0.5);
    for (int z = 0; z < cellsZ; ++z)
    {
        for (int x = 0; x < cellsX; ++x)
        {
            if (!reached[cell(x, z)])
                continue;
            const uint32_t v00 = z * (cellsX + 1) + x;
            const uint32_t v10 = v00 + 1;
            const uint32_t v01 = v00 + cellsX + 1;
            const uint32_t v11 = v01 + 1;
            if (flip(random))
                floor.indices.insert(floor.indices.end(), {v00, v01, v10, v10, v01, v11});
            else
                floor.indices.insert(floor.indices.end(), {v00, v01, v11, v00, v11, v10});
            floor.cells.insert(floor.cells.end(), {cell(x, z), cell(x, z)});
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

const Floor& TheFloor(int size)
{
    static std::map<int, Floor> floors;
    auto found = floors.find(size);
    if (found == floors.end())
        found = floors.emplace(size, MakeFloor(SIZES[size])).first;
    return found->second;
}

// Loaded once per size: a load of the large floors takes longer than many repetitions of their queries.
cl_Navmesh& TheNavmesh(int size)
{
    static std::map<int, std::unique_ptr<cl_Navmesh>> navmeshes;
    std::unique_ptr<cl_Navmesh>& navmesh = navmeshes[size];
    if (!navmesh)
    {
        const Floor& floor = TheFloor(size);
        HeadlessOgre ogre;
        TriangleMeshLayout layout;
        layout.indices32 = floor.positions.size() > 0xffff;
        CreateTriangleMesh("bench_floor", floor.positions, floor.indices, layout);
        navmesh = std::make_unique<cl_Navmesh>();
        navmesh->Load("bench_floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    }
    return *navmesh;
}

// Detour: one polygon per triangle, neighbours across shared sides, vertices on a DETOUR_GRID grid per tile.
struct DetourWorld
{
    std::unique_ptr<dtNavMesh, void (*)(dtNavMesh*)> mesh{nullptr, dtFreeNavMesh};
    std::unique_ptr<dtNavMeshQuery, void (*)(dtNavMeshQuery*)> query{nullptr, dtFreeNavMeshQuery};
    dtQueryFilter filter;
    int tiles = 0;
};

// The polygons of one tile, Detour's way: local vertices, corners in the triangles' own order (the winding
// Detour's funnel expects of polygons facing up), and per side a neighbour in the tile, a portal to the
// next tile (0x8000 | side of the tile: 0 x-, 1 z+, 2 x+, 3 z-) or none (0xffff).
struct DetourTile
{
    std::vector<int> triangles;
    std::vector<unsigned short> verts;
    std::vector<unsigned short> polys;
    float bmin[3];
    float bmax[3];
};

bool BuildTile(const Floor& floor, DetourTile& tile)
{
    std::map<uint32_t, unsigned short> local;
    for (const int t : tile.triangles)
    {
        for (int k = 0; k < 3; ++k)
            local.emplace(floor.indices[3 * t + k], 0);
    }
    if (local.size() >= 0xffff)
        return false;
    unsigned short next = 0;
    for (auto& entry : local)
    {
        entry.second = next++;
        const Vector3& p = floor.positions[entry.first];
        for (int i = 0; i < 3; ++i)
        {
            const long steps = std::lround((p[i] - tile.bmin[i]) / DETOUR_GRID);
            if (steps < 0 || steps >= 0xffff)
                return false;
            tile.verts.push_back(static_cast<unsigned short>(steps));
        }
    }
    const auto steps = [&tile](int axis)
    { return static_cast<unsigned short>(std::lround((tile.bmax[axis] - tile.bmin[axis]) / DETOUR_GRID)); };
    const unsigned short right = steps(0);
    const unsigned short far = steps(2);

    const int polyCount = static_cast<int>(tile.triangles.size());
    tile.polys.assign(polyCount * 6, 0xffff);
    std::vector<std::pair<uint64_t, int>> sides; // (vertex pair, polygon * 3 + side)
    for (int p = 0; p < polyCount; ++p)
    {
        const uint32_t* const corners = &floor.indices[3 * tile.triangles[p]];
        for (int k = 0; k < 3; ++k)
        {
            tile.polys[p * 6 + k] = local[corners[k]];
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
        tile.polys[p * 6 + 3 + sides[i].second % 3] = static_cast<unsigned short>(q);
        tile.polys[q * 6 + 3 + sides[i + 1].second % 3] = static_cast<unsigned short>(p);
    }
    // Sides left without a neighbour that lie on a tile line lead to the next tile.
    for (int p = 0; p < polyCount; ++p)
    {
        for (int k = 0; k < 3; ++k)
        {
            unsigned short& neighbour = tile.polys[p * 6 + 3 + k];
            if (neighbour != 0xffff)
                continue;
            const unsigned short* a = &tile.verts[3 * tile.polys[p * 6 + k]];
            const unsigned short* b = &tile.verts[3 * tile.polys[p * 6 + (k + 1) % 3]];
            if (a[0] == 0 && b[0] == 0)
                neighbour = 0x8000 | 0;
            else if (a[2] == far && b[2] == far)
                neighbour = 0x8000 | 1;
            else if (a[0] == right && b[0] == right)
                neighbour = 0x8000 | 2;
            else if (a[2] == 0 && b[2] == 0)
                neighbour = 0x8000 | 3;
        }
    }
    return true;
}

std::unique_ptr<DetourWorld> BuildDetour(const Floor& floor)
{
    float low = 1e30f;
    float high = -1e30f;
    for (const Vector3& p : floor.positions)
    {
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    const float tileWidth = TILE_CELLS * CELL;
    const int tilesX = (floor.cellsX + TILE_CELLS - 1) / TILE_CELLS;
    const int tilesZ = (floor.cellsZ + TILE_CELLS - 1) / TILE_CELLS;
    std::vector<DetourTile> tiles(tilesX * tilesZ);
    for (size_t t = 0; t < floor.cells.size(); ++t)
    {
        const int x = floor.cells[t] % floor.cellsX;
        const int z = floor.cells[t] / floor.cellsX;
        tiles[(z / TILE_CELLS) * tilesX + x / TILE_CELLS].triangles.push_back(static_cast<int>(t));
    }
    // The bounds of a tile's corners: its tile lines, where it has neighbours, as no corner there moved off.
    for (DetourTile& tile : tiles)
    {
        tile.bmin[0] = tile.bmin[2] = 1e30f;
        tile.bmax[0] = tile.bmax[2] = -1e30f;
        tile.bmin[1] = low;
        tile.bmax[1] = high;
        for (const int t : tile.triangles)
        {
            for (int k = 0; k < 3; ++k)
            {
                const Vector3& p = floor.positions[floor.indices[3 * t + k]];
                for (const int i : {0, 2})
                {
                    tile.bmin[i] = std::min(tile.bmin[i], p[i]);
                    tile.bmax[i] = std::max(tile.bmax[i], p[i]);
                }
            }
        }
    }

    auto world = std::make_unique<DetourWorld>();
    dtNavMeshParams meshParams = {};
    meshParams.orig[1] = low;
    meshParams.tileWidth = tileWidth;
    meshParams.tileHeight = tileWidth;
    meshParams.maxTiles = tilesX * tilesZ;
    meshParams.maxPolys = 0;
    for (const DetourTile& tile : tiles)
        meshParams.maxPolys = std::max(meshParams.maxPolys, static_cast<int>(tile.triangles.size()));
    world->mesh.reset(dtAllocNavMesh());
    if (dtStatusFailed(world->mesh->init(&meshParams)))
        return nullptr;

    for (int tz = 0; tz < tilesZ; ++tz)
    {
        for (int tx = 0; tx < tilesX; ++tx)
        {
            DetourTile& tile = tiles[tz * tilesX + tx];
            if (tile.triangles.empty())
                continue;
            if (!BuildTile(floor, tile))
                return nullptr;
            const int polyCount = static_cast<int>(tile.triangles.size());
            const std::vector<unsigned short> flags(polyCount, 1);
            const std::vector<unsigned char> areas(polyCount, 0);
            dtNavMeshCreateParams params = {};
            params.verts = tile.verts.data();
            params.vertCount = static_cast<int>(tile.verts.size() / 3);
            params.polys = tile.polys.data();
            params.polyFlags = flags.data();
            params.polyAreas = areas.data();
            params.polyCount = polyCount;
            params.nvp = 3;
            params.tileX = tx;
            params.tileY = tz;
            std::copy(tile.bmin, tile.bmin + 3, params.bmin);
            std::copy(tile.bmax, tile.bmax + 3, params.bmax);
            params.walkableHeight = 2.0f;
            params.walkableRadius = 0.0f;
            params.walkableClimb = 1.0f;
            params.cs = DETOUR_GRID;
            params.ch = DETOUR_GRID;
            params.buildBvTree = true;
            unsigned char* data = nullptr;
            int dataSize = 0;
            if (!dtCreateNavMeshData(&params, &data, &dataSize))
                return nullptr;
            if (dtStatusFailed(world->mesh->addTile(data, dataSize, DT_TILE_FREE_DATA, 0, nullptr)))
            {
                dtFree(data);
                return nullptr;
            }
            ++world->tiles;
        }
    }
    world->query.reset(dtAllocNavMeshQuery());
    if (dtStatusFailed(world->query->init(world->mesh.get(), 65535)))
        return nullptr;
    return world;
}

DetourWorld* TheDetourWorld(int size)
{
    static std::map<int, std::unique_ptr<DetourWorld>> worlds;
    auto found = worlds.find(size);
    if (found == worlds.end())
        found = worlds.emplace(size, BuildDetour(TheFloor(size))).first;
    return found->second.get();
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

void ReportTally(benchmark::State& state, const Tally& tally, int triangles)
{
    state.SetItemsProcessed(state.iterations() * QUERIES);
    state.counters["triangles"] = triangles;
    state.counters["mean_length"] = tally.length / QUERIES;
    state.counters["reached"] = tally.reached;
}

// Arguments: the floor size (index into SIZES) and the rim width (0: plain shortest).
void BM_NavmeshFindPath(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const Floor& floor = TheFloor(size);
    cl_Navmesh& navmesh = TheNavmesh(size);
    navmesh.SetRim(static_cast<float>(state.range(1)));
    const Vector3 above(0.0f, 2.0f, 0.0f);
    std::vector<st_NavPathPoint> path;
    std::vector<Vector3> points;
    Tally tally;
    for (auto _ : state)
    {
        tally = Tally();
        for (const auto& query : floor.queries)
        {
            navmesh.FindPath(query.first + above, query.second + above, path);
            points.clear();
            for (const st_NavPathPoint& point : path)
                points.push_back(point.position);
            tally.Add(points, query.second);
        }
    }
    ReportTally(state, tally, navmesh.GetTriangleCount());
}

// Argument: the floor size (index into SIZES).
void BM_DetourFindPath(benchmark::State& state)
{
    const int size = static_cast<int>(state.range(0));
    const Floor& floor = TheFloor(size);
    DetourWorld* world = TheDetourWorld(size);
    if (!world)
    {
        state.SkipWithError("Detour refused the navigation mesh");
        return;
    }
    const float extents[3] = {2.0f, 4.0f, 2.0f};
    const int MAX_POLYS = 8192;
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
    ReportTally(state, tally, static_cast<int>(floor.indices.size() / 3));
    state.counters["tiles"] = world->tiles;
}

BENCHMARK(BM_NavmeshFindPath)->ArgsProduct({{0, 1, 2, 3}, {20, 0}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DetourFindPath)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Detour's time over ours: at least 1 where ours is as fast.
const BenchRatio RATIOS[] = {
    {"Detour / ours, room of 20 x 10 cells, rim 20", "BM_DetourFindPath/0", "BM_NavmeshFindPath/0/20",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, room of 20 x 10 cells, plain", "BM_DetourFindPath/0", "BM_NavmeshFindPath/0/0",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, scene of 60 x 30 cells, rim 20", "BM_DetourFindPath/1", "BM_NavmeshFindPath/1/20",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, scene of 60 x 30 cells, plain", "BM_DetourFindPath/1", "BM_NavmeshFindPath/1/0",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, floor of 190 x 95 cells, rim 20", "BM_DetourFindPath/2", "BM_NavmeshFindPath/2/20",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, floor of 190 x 95 cells, plain", "BM_DetourFindPath/2", "BM_NavmeshFindPath/2/0",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, floor of 330 x 160 cells, rim 20", "BM_DetourFindPath/3", "BM_NavmeshFindPath/3/20",
     BenchRatio::AT_LEAST, 1.0},
    {"Detour / ours, floor of 330 x 160 cells, plain", "BM_DetourFindPath/3", "BM_NavmeshFindPath/3/0",
     BenchRatio::AT_LEAST, 1.0},
};
} // namespace
