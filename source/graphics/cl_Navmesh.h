#pragma once

#include "graphics/cl_BucketQueue.h"
#include "graphics/cl_NavLandmarks.h"
#include "graphics/cl_TriangleGrid.h"

#include <OgreMesh.h>
#include <OgreQuaternion.h>
#include <OgreRay.h>
#include <OgreVector.h>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class cl_NavmeshDebugView;

namespace Ogre
{
class SceneManager;
}

// One triangle of the navigation mesh, in the source index buffer's order.
struct st_NavTriangle
{
    Ogre::Vector3 centre;   // mean of the three corners
    Ogre::Vector3 normal;   // unit (corner1 - corner0) x (corner2 - corner0); zero for a degenerate triangle
    int corners[3];         // merged vertex indices
    int edges[3];           // edge k joins corner k and corner (k + 1) % 3
    std::set<int> surfaces; // ids of the surface meshes laid over it
    int localSurfaceId = -1;
};

// One distinct vertex pair that some triangle side joins. A border edge has only one triangle.
struct st_NavEdge
{
    Ogre::Vector3 midpoint;
    int a; // vertex order of the side of the triangle that created the edge
    int b;
    int secondTriangle; // -1 until a second triangle shares the side; a third one overwrites it
    int firstTriangle;

    bool IsBorder() const { return firstTriangle < 0 || secondTriangle < 0; }
};

// Result of a ray query: inside a triangle, point is the hit and offset zero; for the fallback (the ray
// passes beside every triangle), point is the nearest triangle's centre and offset the plane hit minus it.
struct st_NavRayHit
{
    int triangle = -1;
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    Ogre::Vector3 offset = Ogre::Vector3::ZERO;
};

// Per-edge record of a path search.
struct st_NavEdgeCost
{
    float cost;      // -1.0 while unreached; length of the cheapest known route between edge midpoints
    int predecessor; // edge the cost came through; -1 for the start edges and unreached ones
};

// A segment the path crosses, and where along it.
struct st_NavPortal
{
    Ogre::Vector3 left;
    Ogre::Vector3 right;
    float ratio; // crossing = left + (right - left) * ratio
    Ogre::Vector3 up;
    bool leftIsRim;
    bool rightIsRim;
};

// An edge reachable from another one in a single step of the path search, with the distance between
// their midpoints; worked out once per load so that every search reads it.
struct st_NavStep
{
    int edge;
    float distance;
};

struct st_NavPathPoint
{
    Ogre::Vector3 position;
    Ogre::Vector3 up;
};

// The walkable ground of one scene environment: merged vertices, triangles and edges of a one-submesh OGRE
// mesh placed in the scene, with ray queries, surface information and the path search over its edges.
// Not copied; main thread only (one path search at a time, its records belong to the navmesh).
class cl_Navmesh
{
public:
    cl_Navmesh();
    ~cl_Navmesh();
    cl_Navmesh(const cl_Navmesh&) = delete;
    cl_Navmesh& operator=(const cl_Navmesh&) = delete;

    // Builds the tables from the mesh (loaded through OGRE with readable buffers) placed with position,
    // orientation and scale (scale applied after the rotation, in world axes). A mesh that is missing,
    // has no or several submeshes, shared vertices or no float positions is logged and leaves an empty
    // navmesh: false.
    bool Load(const std::string& meshName, const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
              const Ogre::Vector3& scale, int defaultSurface);
    // Marks with surfaceName's id (a new name gets the next id) every navmesh triangle whose three corners
    // each lie within 1.0 of a corner of one of this mesh's triangles. Call after Load. A mesh that is
    // missing, has no submesh, shared vertices or no float positions is logged and skipped.
    void AddSurfaceMesh(const std::string& meshName, const std::string& surfaceName,
                        const Ogre::Vector3& position, const Ogre::Quaternion& orientation,
                        const Ogre::Vector3& scale);
    // Sets the local surface id of every triangle whose centre lies in the box (faces included).
    void SetLocalSurfaceId(int id, const Ogre::Vector3& centre, const Ogre::Vector3& halfExtents);
    // Width above 0: rim-aware smoothing with that width; else plain shortest, the width kept.
    void SetRim(float width);

    // The triangle under origin along direction, tested only against triangles that face the ray (and
    // behind origin too). When the ray passes beside all of them, the fallback: the triangle whose centre
    // is nearest to the plane hit (see st_NavRayHit). Triangle -1 only when no triangle faces the ray.
    st_NavRayHit RayHitTriangle(const Ogre::Vector3& origin, const Ogre::Vector3& direction) const;
    // Like RayHitTriangle without the fallback: -1 and point = origin when the ray hits no triangle.
    int RayHit(const Ogre::Vector3& origin, const Ogre::Vector3& direction, Ogre::Vector3& point) const;
    // Whether point stands on a triangle of surfaceName (when that surface exists) or else lies closer
    // than radius to target, measured at the height of the ground under point.
    bool IsAtTarget(const Ogre::Vector3& point, const Ogre::Vector3& target, float radius,
                    const std::string& surfaceName) const;

    // Fills path (emptied first) with the walk from start to target over the mesh: the start, smoothed
    // crossings of the edges on the way, the target; points at least 20.0 apart. An unreachable target
    // gives a path that ends at the reached edge nearest to it; a point over no triangle gives [start].
    void FindPath(const Ogre::Vector3& start, const Ogre::Vector3& target,
                  std::vector<st_NavPathPoint>& path);
    // Spreads search costs from the edges of startTriangle and fills chain with the edges from the start
    // side to the cheapest reached edge of goalTriangle: true. When goalTriangle was not reached, the chain
    // leads to the reached edge nearest to its centre: false. With nothing reached the chain is left as it
    // was: false. Both triangles must be valid indices.
    bool BuildEdgeChain(int goalTriangle, std::vector<int>& chain, int startTriangle);
    // What BuildEdgeChain gives (chain and result), found by a search toward the goal that ends once the
    // goal's cheapest edge is certain; FindPath uses it. Whenever it cannot prove its chain to be the
    // wave's (routes of equal cost, steps too short for the rounding of its order) it hands over to
    // BuildEdgeChain. Afterwards the search records hold only the edges it reached.
    bool FindEdgeChain(int goalTriangle, std::vector<int>& chain, int startTriangle);

    // Shows the mesh and the searches in sceneManager (which must outlive the view) while the navmesh has no
    // debug view; else takes the view away. A view OGRE cannot make is logged.
    void ToggleDebugView(Ogre::SceneManager& sceneManager);

    int GetTriangleCount() const { return static_cast<int>(m_triangles.size()); }
    // index must lie in [0, GetTriangleCount()).
    const st_NavTriangle& GetTriangle(int index) const { return m_triangles[index]; }
    int GetDefaultSurface() const { return m_defaultSurface; }
    const std::vector<Ogre::Vector3>& GetVertices() const { return m_vertices; }
    const std::vector<st_NavEdge>& GetEdges() const { return m_edges; }
    // Whether the vertex lies on a border edge; vertex must lie in [0, GetVertices().size()).
    bool IsRimVertex(int vertex) const { return m_rimVertices[vertex] != 0; }
    // The records of the last search, one per edge: after BuildEdgeChain every reachable edge's, after
    // FindEdgeChain (and so FindPath) possibly only those of the edges its search toward the goal reached.
    const std::vector<st_NavEdgeCost>& GetSearchRecords() const { return m_searchRecords; }

private:
    static bool Validate(const Ogre::MeshPtr& mesh);
    // Vertices and triangles of a validated mesh; false (both empty) when they cannot be read.
    bool ReadTriangles(const Ogre::Mesh& mesh, const std::string& meshName, const Ogre::Vector3& position,
                       const Ogre::Quaternion& orientation, const Ogre::Vector3& scale);
    // Reads the positions of submesh 0 into vertices, merging exactly equal points; indexMap maps each
    // source vertex to its merged index. False (tables empty) when the submesh has no float positions.
    static bool ReadVertices(const Ogre::Mesh& mesh, std::vector<Ogre::Vector3>& vertices,
                             std::vector<int>& indexMap);
    static void TransformVertices(std::vector<Ogre::Vector3>& vertices, const Ogre::Vector3& position,
                                  const Ogre::Quaternion& orientation, const Ogre::Vector3& scale);
    void GenerateTriangles(const Ogre::Mesh& mesh, const std::vector<int>& indexMap);
    void BuildEdges();
    // The steps of the path search between edges, seen from both ends, the landmarks and what bounds
    // the rounding of the search toward a goal; empties the search records.
    void BuildSearchSteps();
    void CollectRimVertices();
    int FindTriangleByCorners(const Ogre::Vector3& p0, const Ogre::Vector3& p1,
                              const Ogre::Vector3& p2) const;
    // Where ray (or, behind its origin, the reversed ray) meets the plane of triangle; false when the
    // triangle does not face the ray or neither meets the plane.
    bool RayPlaneHit(const Ogre::Ray& ray, int triangle, Ogre::Vector3& point) const;
    // Whether a query along ray may ask the grid for its triangles (a downward ray from a modest origin).
    bool UsesGrid(const Ogre::Ray& ray) const;
    bool IsPointInTriangle(const st_NavTriangle& triangle, const Ogre::Vector3& point) const;

    // A lower bound of the cost from an edge to the edges of a goal triangle: a share of the larger of
    // the straight distance to the sphere through their midpoints round its centre and what the
    // landmarks tell.
    struct st_GoalDistance
    {
        st_GoalDistance(const st_NavTriangle& goal, const std::vector<st_NavEdge>& edges,
                        const cl_NavLandmarks& landmarks);
        double operator()(int edge, const Ogre::Vector3& midpoint) const;
        double Distance(const Ogre::Vector3& point) const;

        Ogre::Vector3 m_centre;
        double m_radius = 0.0;
        const cl_NavLandmarks& m_landmarks;
        cl_NavLandmarks::st_Span m_span; // of the goal edges
    };

    // Empties the search records and gives the start triangle's edges cost 0; appends them to starts.
    void StartSearch(int startTriangle, std::vector<int>& starts);
    void ExpandWavefront(std::vector<int>& current, std::vector<int>& next);
    // The edge the chain leads to: the cheapest reached edge of the goal triangle (found), else the
    // reached edge nearest to it; -1 when no edge was reached.
    int ChooseChainEnd(int goalTriangle, bool& found) const;
    // Settles edges by lowest cost plus heuristic until the goal edge BuildEdgeChain would take is known;
    // open becomes the lowest estimate left open. False when its costs may differ from the wave's.
    bool SearchTowardGoal(int goalTriangle, int startTriangle, const st_GoalDistance& heuristic,
                          double& open);
    // The edge through which the full wave gives edge (not a start edge) its cost: the one step that
    // arrives at exactly that cost; -1 when there are several or an unsettled edge might be one.
    int WavePredecessor(int edge, const st_GoalDistance& heuristic, double open) const;
    bool IsEdgeOf(int triangle, int edge) const;
    void AddPortals(const std::vector<int>& chain, std::vector<st_NavPortal>& portals) const;
    float SmoothPortals(std::vector<st_NavPortal>& portals);
    // What the portal's rim makes of a score at its ratio: 1 + f x g, each of f and g less than 1 only
    // for a rim end nearer than the share (rim width / portal length, at most 1); 1 without rims.
    float RimFactor(const st_NavPortal& portal, float share) const;
    // How good a crossing is: 1000 over the length of the path from the crossing before it to the one
    // after it, times its rim factor.
    static float ScorePortal(float length, float rimFactor);

    // The tables.
    std::vector<char> m_rimVertices; // per vertex: on a border edge
    std::vector<Ogre::Vector3> m_vertices;
    std::vector<st_NavEdge> m_edges;
    std::vector<st_NavTriangle> m_triangles;
    std::map<std::string, int> m_surfaceNames;
    cl_TriangleGrid m_grid;

    // The steps between edges, worked out at load. Steps of edge e: m_steps[m_stepStart[e]] ..
    // m_steps[m_stepStart[e + 1] - 1], in the wave's order; m_stepEnds holds the midpoint each arrives at.
    std::vector<int> m_stepStart;
    std::vector<st_NavStep> m_steps;
    std::vector<Ogre::Vector3> m_stepEnds;
    size_t m_maxSteps = 0; // the most steps of one edge
    // The steps into edge e, by the edge they come from.
    std::vector<int> m_reverseStart;
    std::vector<st_NavStep> m_reverseSteps;
    cl_NavLandmarks m_landmarks;
    // What bounds the rounding of the search toward a goal, and its queue's buckets.
    bool m_finiteSteps = true;
    double m_shortestStep = 0.0; // of the steps longer than 0
    double m_longestStep = 0.0;
    double m_magnitude = 0.0; // the largest coordinate of an edge midpoint
    double m_bucketWidth = 1.0;

    // What SmoothPortals keeps of each portal while it moves them.
    struct st_SmoothedPortal
    {
        Ogre::Vector3 span; // right - left
        Ogre::Vector3 crossing;
        float distance; // from the crossing before, as a score works it out
        float share;    // of the portal that its rim width takes
        float factor;   // the rim factor at the portal's ratio
        float stayed;   // the score with which it last stayed
        bool known;     // it would stay with that score again
    };

    // The searches, and the working tables of the last path (kept so that a path allocates nothing once
    // they have grown).
    std::vector<st_NavEdgeCost> m_searchRecords;
    std::vector<int> m_starts;
    std::vector<int> m_walked;
    std::vector<int> m_chain;
    std::vector<st_NavPortal> m_portals;
    std::vector<st_SmoothedPortal> m_smoothed;
    // The edges whose records the search toward a goal set; only they need emptying before the next one.
    std::vector<int> m_reached;
    bool m_reachedOnly = false;
    // Per edge: equal to m_settledMark when the search toward a goal settled it.
    std::vector<unsigned> m_settled;
    unsigned m_settledMark = 0;
    cl_BucketQueue m_open;

    // Draws the mesh after each load and every path search while it exists.
    std::unique_ptr<cl_NavmeshDebugView> m_debugView;

    int m_defaultSurface = 0;
    bool m_rimAware = true; // rim mode 1; false: plain shortest (mode 0)
    float m_rimWidth = 20.0f;
};
