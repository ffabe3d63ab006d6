// A crowd of walkers following paths across one floor, frame by frame, two ways on the same start and
// target points:
//   - ours: each walker a controlled puppet whose movement control drops passed waypoints, keeps to the
//     ground, steers toward its look-ahead point, blends its gait and decides when the walk is over, in all
//     four passes of the puppet's frame; the puppets' weight trees have no clips (animation is left out),
//     and the walkers step forward at walking speed while their walk node has weight, as the root motion of
//     their walk cycles would move them; the floor counts as narrow, as the demo's tower hall does, and
//     nobody runs, as Detour's agents keep one speed;
//   - Detour's crowd (Recast Navigation's DetourCrowd): one agent per walker on a Detour navigation mesh
//     of the same floor, steering along its corridor with turn anticipation and corridor optimisation, no
//     avoidance or separation (our walkers have none either).
// Each side's paths are searched before its timed run starts; a run is 14 s of 30 frames per second from
// the starts. The counters give how many walkers came within 40 of their targets. The ratio is printed last.
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/BenchRatio.h"
#include "support/HeadlessOgre.h"
#include "support/ManualGameTime.h"
#include "support/TriangleMesh.h"

#include <DetourCrowd.h>
#include <DetourNavMesh.h>
#include <DetourNavMeshBuilder.h>
#include <DetourNavMeshQuery.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <benchmark/benchmark.h>
#include <tinyxml.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace
{
using Ogre::Vector3;

// A floor of 24 x 24 square cells 50 wide, with square pillars of 2 x 2 cells left out.
const int CELLS = 24;
const float CELL = 50.0f;
const int WALKERS = 32;
const float SPEED = 120.0f;
const float FRAME = 1.0f / 30.0f;
const int FRAMES = 420;
const float ARRIVED = 40.0f;

struct Floor
{
    std::vector<char> open; // per cell
    std::vector<Vector3> corners;
    std::vector<std::pair<Vector3, Vector3>> walks; // start, target
};

int CellIndex(int x, int z)
{
    return z * CELLS + x;
}

Floor MakeFloor()
{
    Floor floor;
    floor.open.assign(CELLS * CELLS, 1);
    for (int x = 3; x < CELLS - 3; x += 6)
    {
        for (int z = 3; z < CELLS - 3; z += 6)
            floor.open[CellIndex(x, z)] = floor.open[CellIndex(x + 1, z)] = floor.open[CellIndex(x, z + 1)] =
                floor.open[CellIndex(x + 1, z + 1)] = 0;
    }
    for (int z = 0; z <= CELLS; ++z)
    {
        for (int x = 0; x <= CELLS; ++x)
            floor.corners.emplace_back(x * CELL, 0.0f, z * CELL);
    }
    std::mt19937 random(20261210u);
    std::uniform_int_distribution<int> anyCell(0, CELLS - 1);
    const auto anyPoint = [&]
    {
        int x = 0;
        int z = 0;
        do
        {
            x = anyCell(random);
            z = anyCell(random);
        } while (!floor.open[CellIndex(x, z)]);
        return Vector3((x + 0.5f) * CELL, 0.0f, (z + 0.5f) * CELL);
    };
    while (floor.walks.size() < WALKERS)
    {
        const Vector3 start = anyPoint();
        const Vector3 target = anyPoint();
        if (start.distance(target) > 6 * CELL)
            floor.walks.emplace_back(start, target);
    }
    return floor;
}

const Floor& TheFloor()
{
    static const Floor floor = MakeFloor();
    return floor;
}

uint32_t CornerIndex(int x, int z)
{
    return static_cast<uint32_t>(z * (CELLS + 1) + x);
}

// How far each walker ended from its target.
void CountArrivals(benchmark::State& state, const std::vector<Vector3>& ends)
{
    int arrived = 0;
    for (size_t walker = 0; walker < ends.size(); ++walker)
        arrived += ends[walker].distance(TheFloor().walks[walker].second) < ARRIVED ? 1 : 0;
    state.counters["arrived"] = arrived;
}

// Ours: the walkers as controlled puppets on the floor's navigation mesh, one game time for their clock.
class OurWalkers
{
public:
    OurWalkers()
    {
        const Floor& floor = TheFloor();
        std::vector<uint32_t> indices;
        for (int z = 0; z < CELLS; ++z)
        {
            for (int x = 0; x < CELLS; ++x)
            {
                if (floor.open[CellIndex(x, z)])
                    indices.insert(indices.end(),
                                   {CornerIndex(x, z), CornerIndex(x, z + 1), CornerIndex(x + 1, z),
                                    CornerIndex(x + 1, z), CornerIndex(x, z + 1), CornerIndex(x + 1, z + 1)});
            }
        }
        CreateTriangleMesh("walkers_floor", floor.corners, indices);
        m_navmesh.Load("walkers_floor", Vector3::ZERO, Ogre::Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);

        // Every node the movement control names, without clips.
        TiXmlDocument tree;
        tree.Parse(R"(<puppet><animations><weight name="skeletal" value="1"><weight name="walk" value="1">
            <weight name="loop" value="0" sync="true"><weight name="straight_fast"/><weight name="left"/>
            <weight name="right"/></weight><weight name="run" value="0"><weight name="run" value="1"/></weight>
            </weight></weight></animations></puppet>)");
        for (const auto& walk : floor.walks)
        {
            Walker walker;
            walker.puppet = std::make_unique<cl_ControlledPuppet>(m_ogre.SceneManager());
            walker.puppet->FromXml(tree.RootElement());
            auto move = std::make_unique<cl_MovementControl>();
            move->SetEnvironmentType(ENVIRONMENT_NARROW);
            move->SetRunAllowed(false);
            walker.move = move.get();
            walker.puppet->AddControl("move", std::move(move));
            walker.walk = walker.puppet->ResolveAnimPath("skeletal/walk/loop");
            m_ogre.SceneManager().getRootSceneNode()->addChild(walker.puppet->GetSceneNode());
            m_navmesh.FindPath(walk.first, walk.second, walker.path);
            m_walkers.push_back(std::move(walker));
        }
    }

    void Start()
    {
        for (size_t index = 0; index < m_walkers.size(); ++index)
        {
            Walker& walker = m_walkers[index];
            walker.puppet->SetActive(false);
            walker.puppet->SetActive(true);
            // Facing the way, as the walk turn before a walk leaves a walker.
            walker.puppet->GetSceneNode()->setPosition(TheFloor().walks[index].first);
            walker.puppet->GetSceneNode()->setOrientation(
                Vector3::UNIT_Z.getRotationTo(walker.path[1].position - walker.path[0].position));
            walker.move->SetPath(walker.path);
        }
    }
    void Frame()
    {
        // The game time runs the puppets, each with its controls' passes, as in the game.
        m_milliseconds += 33;
        m_time.SetMilliseconds(m_milliseconds);
        m_time.Update(FRAME);
        for (Walker& walker : m_walkers)
        {
            Ogre::SceneNode& node = *walker.puppet->GetSceneNode();
            node.translate(Vector3(0.0f, 0.0f, SPEED * FRAME * walker.walk->GetValue()),
                           Ogre::Node::TS_LOCAL);
        }
    }
    std::vector<Vector3> Ends() const
    {
        std::vector<Vector3> ends;
        for (const Walker& walker : m_walkers)
            ends.push_back(walker.puppet->GetSceneNode()->getPosition());
        return ends;
    }

private:
    struct Walker
    {
        std::unique_ptr<cl_ControlledPuppet> puppet;
        cl_MovementControl* move = nullptr;
        cl_PuppetAnimWeight* walk = nullptr;
        std::vector<st_NavPathPoint> path;
    };

    HeadlessOgre m_ogre;
    cl_LuaScriptSystem m_scripts;
    ManualGameTime m_time{m_scripts};
    uint32_t m_milliseconds = 0;
    cl_Navmesh m_navmesh;
    std::vector<Walker> m_walkers;
};

// Detour: one quad polygon per open cell (corners in the order whose normal points up), neighbours across
// shared sides, in one tile; a crowd of one agent per walker.
class DetourWalkers
{
public:
    DetourWalkers()
    {
        const Floor& floor = TheFloor();
        std::vector<unsigned short> verts;
        for (const Vector3& corner : floor.corners)
            verts.insert(verts.end(),
                         {static_cast<unsigned short>(corner.x), 0, static_cast<unsigned short>(corner.z)});
        std::vector<int> polyOfCell(CELLS * CELLS, -1);
        int polyCount = 0;
        for (int cell = 0; cell < CELLS * CELLS; ++cell)
        {
            if (floor.open[cell])
                polyOfCell[cell] = polyCount++;
        }
        const auto neighbour = [&](int x, int z) -> unsigned short
        {
            if (x < 0 || z < 0 || x >= CELLS || z >= CELLS || polyOfCell[CellIndex(x, z)] < 0)
                return 0xffff;
            return static_cast<unsigned short>(polyOfCell[CellIndex(x, z)]);
        };
        std::vector<unsigned short> polys;
        for (int z = 0; z < CELLS; ++z)
        {
            for (int x = 0; x < CELLS; ++x)
            {
                if (polyOfCell[CellIndex(x, z)] < 0)
                    continue;
                // Side k runs from corner k to corner k + 1: -x, +z, +x, -z.
                polys.insert(polys.end(),
                             {static_cast<unsigned short>(CornerIndex(x, z)),
                              static_cast<unsigned short>(CornerIndex(x, z + 1)),
                              static_cast<unsigned short>(CornerIndex(x + 1, z + 1)),
                              static_cast<unsigned short>(CornerIndex(x + 1, z)), neighbour(x - 1, z),
                              neighbour(x, z + 1), neighbour(x + 1, z), neighbour(x, z - 1)});
            }
        }
        const std::vector<unsigned short> flags(polyCount, 1);
        const std::vector<unsigned char> areas(polyCount, 0);
        dtNavMeshCreateParams params = {};
        params.verts = verts.data();
        params.vertCount = static_cast<int>(floor.corners.size());
        params.polys = polys.data();
        params.polyFlags = flags.data();
        params.polyAreas = areas.data();
        params.polyCount = polyCount;
        params.nvp = 4;
        params.bmax[0] = params.bmax[2] = CELLS * CELL;
        params.bmax[1] = 1.0f;
        params.walkableHeight = 2.0f;
        params.walkableClimb = 1.0f;
        params.cs = 1.0f;
        params.ch = 1.0f;
        params.buildBvTree = true;
        unsigned char* data = nullptr;
        int size = 0;
        m_mesh.reset(dtAllocNavMesh());
        if (!dtCreateNavMeshData(&params, &data, &size) ||
            dtStatusFailed(m_mesh->init(data, size, DT_TILE_FREE_DATA)))
            std::abort();
        m_query.reset(dtAllocNavMeshQuery());
        m_crowd.reset(dtAllocCrowd());
        if (dtStatusFailed(m_query->init(m_mesh.get(), 4096)) || !m_crowd->init(WALKERS, 10.0f, m_mesh.get()))
            std::abort();
        m_agent.radius = 10.0f;
        m_agent.height = 100.0f;
        m_agent.maxAcceleration = 1000.0f;
        m_agent.maxSpeed = SPEED;
        m_agent.collisionQueryRange = 120.0f;
        m_agent.pathOptimizationRange = 300.0f;
        m_agent.updateFlags = DT_CROWD_ANTICIPATE_TURNS | DT_CROWD_OPTIMIZE_VIS | DT_CROWD_OPTIMIZE_TOPO;
    }

    // The agents placed at their starts, their paths searched: the crowd updates without time until
    // every agent has its corridor.
    void Start()
    {
        const float extents[3] = {CELL, 10.0f, CELL};
        for (int index = 0; index < WALKERS; ++index)
        {
            if (m_crowd->getAgent(index)->active)
                m_crowd->removeAgent(index);
        }
        for (const auto& walk : TheFloor().walks)
        {
            const float start[3] = {walk.first.x, walk.first.y, walk.first.z};
            const float target[3] = {walk.second.x, walk.second.y, walk.second.z};
            dtPolyRef ref = 0;
            float nearest[3];
            m_query->findNearestPoly(target, extents, m_crowd->getFilter(0), &ref, nearest);
            m_crowd->requestMoveTarget(m_crowd->addAgent(start, &m_agent), ref, nearest);
        }
        for (bool waiting = true; waiting;)
        {
            m_crowd->update(0.0f, nullptr);
            waiting = false;
            for (int index = 0; index < WALKERS; ++index)
                waiting = waiting || m_crowd->getAgent(index)->targetState != DT_CROWDAGENT_TARGET_VALID;
        }
    }
    void Frame() { m_crowd->update(FRAME, nullptr); }
    std::vector<Vector3> Ends() const
    {
        std::vector<Vector3> ends;
        for (int index = 0; index < WALKERS; ++index)
        {
            const float* position = m_crowd->getAgent(index)->npos;
            ends.emplace_back(position[0], position[1], position[2]);
        }
        return ends;
    }

private:
    std::unique_ptr<dtNavMesh, void (*)(dtNavMesh*)> m_mesh{nullptr, dtFreeNavMesh};
    std::unique_ptr<dtNavMeshQuery, void (*)(dtNavMeshQuery*)> m_query{nullptr, dtFreeNavMeshQuery};
    std::unique_ptr<dtCrowd, void (*)(dtCrowd*)> m_crowd{nullptr, dtFreeCrowd};
    dtCrowdAgentParams m_agent = {};
};

template <class Walkers> void RunWalkers(benchmark::State& state, Walkers& walkers)
{
    for (auto _ : state)
    {
        state.PauseTiming();
        walkers.Start();
        state.ResumeTiming();
        for (int frame = 0; frame < FRAMES; ++frame)
            walkers.Frame();
    }
    CountArrivals(state, walkers.Ends());
}

void BM_OurWalkers(benchmark::State& state)
{
    static OurWalkers walkers;
    RunWalkers(state, walkers);
}

void BM_DetourCrowd(benchmark::State& state)
{
    static DetourWalkers walkers;
    RunWalkers(state, walkers);
}
} // namespace

BENCHMARK(BM_OurWalkers)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DetourCrowd)->Unit(benchmark::kMillisecond);

const BenchRatio WALKERS_RATIO("walkers' frames, Detour's crowd / ours", "BM_DetourCrowd", "BM_OurWalkers",
                               BenchRatio::AT_LEAST, 1.0);
