#pragma once

#include "graphics/cl_Navmesh.h"

#include <OgreColourValue.h>
#include <OgreMaterial.h>

#include <string>
#include <vector>

namespace Ogre
{
class ManualObject;
class SceneManager;
class SceneNode;
} // namespace Ogre

// Lines in the game scene that show a navigation mesh and what its last path search did: a developer's
// aid that its navmesh owns while "ToggleNavMesh" has it on. The mesh in blue, the search's reached edges
// in red, its edge chain in green, the path in white; drawn over the scene and its backdrop, without
// lighting, shadows or fog. Its engine objects have fixed names ("navDebugView_MeshObject",
// "navDebugView_PathObject", "navDebugView_SceneNode", the materials "meshMaterial" and "ChainMaterial<n>"
// in the resource group "debug"), so one view can exist at a time.
class cl_NavmeshDebugView
{
public:
    // Draws navmesh (which must outlive the view) into sceneManager (likewise) under its node "_game" (the
    // root node when it has none). Throws Ogre::Exception where OGRE cannot make the objects (the names are
    // taken); then nothing of the view is left.
    cl_NavmeshDebugView(Ogre::SceneManager& sceneManager, const cl_Navmesh& navmesh);
    // Destroys the objects and the node, and removes every material the view made.
    ~cl_NavmeshDebugView();
    cl_NavmeshDebugView(const cl_NavmeshDebugView&) = delete;
    cl_NavmeshDebugView& operator=(const cl_NavmeshDebugView&) = delete;

    // Draws the mesh anew: a line per edge (vertex a to b, in edge order), then a point at the centre of
    // every triangle with a local surface id of 0 or more.
    void DrawMesh();
    // Adds to the path drawing, each in a new chain material of its colour: a line per edge whose record
    // has a predecessor; a line strip through the midpoints of the chain's edges; one through the path's
    // points. records holds one record per edge of the navmesh.
    void DrawSearch(const std::vector<st_NavEdgeCost>& records, const Ogre::ColourValue& colour);
    void DrawChain(const std::vector<int>& chain, const Ogre::ColourValue& colour);
    void DrawPath(const std::vector<st_NavPathPoint>& path, const Ogre::ColourValue& colour);
    // Empties the path drawing and removes its chain materials, so the next is "ChainMaterial0" again.
    void ClearPath();

private:
    // Creates "ChainMaterial<number of chain materials>" and lists it; its name.
    const std::string& CreateChainMaterial(const Ogre::ColourValue& colour);
    // A material of the group "debug" showing the colour whatever the lights, shadows and fog.
    static Ogre::MaterialPtr CreateMaterial(const std::string& name, const Ogre::ColourValue& colour);
    void Destroy();

    Ogre::SceneManager& m_sceneManager;
    const cl_Navmesh& m_navmesh;
    Ogre::ManualObject* m_meshObject = nullptr;
    Ogre::ManualObject* m_pathObject = nullptr;
    Ogre::SceneNode* m_node = nullptr;
    Ogre::MaterialPtr m_meshMaterial;
    std::vector<Ogre::MaterialPtr> m_chainMaterials;
};
