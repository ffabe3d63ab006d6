// Builds a navigation mesh from bytes (a vertex and index list in an OGRE mesh of any layout the loader
// may meet, the indices free to point anywhere) and runs every query on it. A refusal is fine; a crash,
// a hang or a path search toward the goal whose chain differs from the full wave's is not.
//
// Bytes: flags (bit 0 32-bit indices, 1 shared vertices, 2 normals before positions, 3 no positions,
// 4-5 submesh count, 6 raw float coordinates), vertex count, the coordinates (one signed byte each, times
// 10; or four bytes each with bit 6), then one index per byte (two with bit 0) to the end.
#include "graphics/cl_Navmesh.h"

#include "support/HeadlessOgre.h"
#include "support/TriangleMesh.h"

#include <OgreMeshManager.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{
const char* const MESH = "fuzz.mesh";
const Ogre::Vector3 DOWN(0.0f, -1.0f, 0.0f);
const Ogre::Vector3 UP(0.0f, 1.0f, 0.0f);

class Reader
{
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool Left(size_t bytes) const { return m_size - m_at >= bytes; }
    uint8_t Byte() { return Left(1) ? m_data[m_at++] : 0; }
    uint32_t Word()
    {
        const uint32_t low = Byte();
        return low | static_cast<uint32_t>(Byte()) << 8;
    }
    float Float()
    {
        uint8_t bytes[4];
        for (uint8_t& byte : bytes)
            byte = Byte();
        float value;
        std::memcpy(&value, bytes, sizeof value);
        return value;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

void Query(cl_Navmesh& navmesh, const std::vector<Ogre::Vector3>& positions)
{
    std::vector<st_NavPathPoint> path;
    for (size_t i = 0; i < positions.size() && i < 6; ++i)
    {
        const Ogre::Vector3 above = positions[i] + UP * 5.0f;
        navmesh.RayHitTriangle(above, DOWN);
        navmesh.RayHitTriangle(above, Ogre::Vector3(0.3f, -1.0f, 0.1f));
        Ogre::Vector3 point;
        navmesh.RayHit(above, DOWN, point);
        navmesh.IsAtTarget(above, positions[0], 15.0f, "");
        navmesh.IsAtTarget(above, positions[0], 15.0f, "grass");
        navmesh.FindPath(above, positions[positions.size() - 1 - i] + UP * 5.0f, path);
    }
    // The search toward the goal must build the wave's chain, whatever the mesh.
    const int triangles = navmesh.GetTriangleCount();
    for (int pair = 0; pair < 24 && triangles > 0; ++pair)
    {
        const int start = (pair * 7) % triangles;
        const int goal = (pair * 13 + 5) % triangles;
        std::vector<int> wave;
        std::vector<int> fast;
        const bool waveFound = navmesh.BuildEdgeChain(goal, wave, start);
        const bool fastFound = navmesh.FindEdgeChain(goal, fast, start);
        if (waveFound != fastFound || wave != fast)
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static HeadlessOgre ogre;
    Reader reader(data, size);
    const uint8_t flags = reader.Byte();
    TriangleMeshLayout layout;
    layout.indices32 = flags & 1;
    layout.sharedVertices = flags & 2;
    layout.withNormals = flags & 4;
    layout.positions = !(flags & 8);
    layout.subMeshes = (flags >> 4) & 3;
    const bool raw = flags & 64;

    std::vector<Ogre::Vector3> positions(reader.Byte() % 96);
    for (Ogre::Vector3& p : positions)
    {
        for (int axis = 0; axis < 3; ++axis)
            p[axis] = raw ? reader.Float() : static_cast<int8_t>(reader.Byte()) * 10.0f;
    }
    std::vector<uint32_t> indices;
    while (reader.Left(1) && indices.size() < 600)
        indices.push_back(layout.indices32 ? reader.Word() : reader.Byte());

    CreateTriangleMesh(MESH, positions, indices, layout);
    {
        cl_Navmesh navmesh;
        if (navmesh.Load(MESH, Ogre::Vector3(1, 2, 3), Ogre::Quaternion(Ogre::Degree(30), UP),
                         Ogre::Vector3(1, 1, 2), 0))
        {
            navmesh.AddSurfaceMesh(MESH, "grass", Ogre::Vector3(0.5f, 0, 0), Ogre::Quaternion::IDENTITY,
                                   Ogre::Vector3::UNIT_SCALE);
            navmesh.SetLocalSurfaceId(3, Ogre::Vector3::ZERO, Ogre::Vector3(50, 50, 50));
            navmesh.SetRim(flags & 128 ? 0.0f : 20.0f);
        }
        if (!positions.empty())
            Query(navmesh, positions);
    }
    Ogre::MeshManager::getSingleton().remove(MESH, Ogre::RGN_DEFAULT);
    return 0;
}
