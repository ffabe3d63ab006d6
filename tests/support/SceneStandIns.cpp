#include "support/SceneStandIns.h"

#include "support/TriangleMesh.h"

#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreTechnique.h>

std::string MakeFlatMesh(const std::string& name)
{
    if (!Ogre::MeshManager::getSingleton().resourceExists(name, Ogre::RGN_DEFAULT))
        CreateTriangleMesh(name, {{-10, 0, -10}, {-10, 0, 10}, {10, 0, 10}, {10, 0, -10}},
                           {0, 1, 2, 0, 2, 3});
    return name;
}

void MakeSceneMeshes()
{
    for (const char* mesh :
         {"tower_walk.mesh", "tower_click.mesh", "yard_walk.mesh", "click_box.mesh", "pillar.mesh",
          "well.mesh", "rug.mesh", "hall_shadow_floor.mesh", "yard_grass.mesh", "navmesh_a.mesh",
          "navmesh_b.mesh", "floor.mesh", "door.mesh"})
        MakeFlatMesh(mesh);
}

void MakeShadowMaterials()
{
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (const char* name : {"Tarq/DepthShadowmap/Caster", "Tarq/DepthShadowmap/Receiver",
                             "Tarq/DepthShadowMapEx/Caster", "Tarq/DepthShadowMapEx/Receiver"})
    {
        if (!materials.resourceExists(name, Ogre::RGN_DEFAULT))
            materials.create(name, Ogre::RGN_DEFAULT);
    }
    Ogre::Technique& extended =
        *materials.getByName("Tarq/DepthShadowMapEx/Receiver", Ogre::RGN_DEFAULT)->getTechnique(0);
    if (extended.getNumPasses() < 2)
    {
        Ogre::Pass* textured = extended.createPass();
        textured->createTextureUnitState("shadow");
        textured->createTextureUnitState("surface");
    }
}
