#include "graphics/cl_SceneLoader.h"

#include "assets/cl_SceneAsset.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_Scene.h"
#include "support/BackdropWorld.h"
#include "support/SceneStandIns.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgreMaterialManager.h>
#include <OgreMesh.h>
#include <OgreMeshManager.h>
#include <OgrePass.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSubEntity.h>
#include <OgreSubMesh.h>
#include <OgreTechnique.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

namespace
{
// Location A whose scene document holds the children.
std::string Document(const std::string& children, const std::string& sceneChildren = "")
{
    return "<scene assetref=\"scenes_a\">" + sceneChildren + "<osmdata>" + children + "</osmdata></scene>";
}

// An entity element of a flat mesh.
std::string Entity(const std::string& name, const std::string& children = "")
{
    return "<entity name=\"" + name + "\" filename=\"" + SceneWorld::Mesh("flat.mesh") + "\">" + children +
           "</entity>";
}

class SceneDocument : public testing::Test
{
protected:
    SceneDocument() { MakeShadowMaterials(); }

    Ogre::SceneManager& Ogre() const { return m_world.SceneManager(); }
    Ogre::Entity* Find(const std::string& name) const
    {
        return Ogre().hasEntity(name) ? Ogre().getEntity(name) : nullptr;
    }
    Ogre::SceneNode* Node(const std::string& name) const
    {
        return Ogre().hasSceneNode(name) ? Ogre().getSceneNode(name) : nullptr;
    }
    static std::string MaterialOf(const Ogre::Entity& entity)
    {
        return entity.getSubEntity(0)->getMaterialName();
    }

    SceneWorld m_world;
};
} // namespace

TEST_F(SceneDocument, EntitiesAreMadeByThePrefixesOfTheirNames)
{
    struct Case
    {
        const char* name;
        std::string entities;
        std::function<void()> check;
    };
    const Case cases[] = {
        {"a click mesh is invisible walkable ground on its placement node", Entity("cm_floor"),
         [this]
         {
             Ogre::Entity* entity = Find("cm_floor");
             ASSERT_NE(entity, nullptr);
             EXPECT_FALSE(entity->getVisible());
             EXPECT_FALSE(entity->getCastShadows());
             EXPECT_EQ(entity->getQueryFlags(), 4u);
             EXPECT_EQ(MaterialOf(*entity), "clickMeshMat");
             EXPECT_EQ(entity->getParentSceneNode(), Node("co_positions_floor"));
             EXPECT_EQ(m_world.Scene().GetNodes().at("positions_floor"), Node("positions_floor"));
             EXPECT_EQ(m_world.Scene().FindClickObject("cm_floor"), entity);
         }},
        {"a click object waits unattached for its item", Entity("co_door"),
         [this]
         {
             Ogre::Entity* entity = Find("co_door");
             ASSERT_NE(entity, nullptr);
             EXPECT_FALSE(entity->getVisible());
             EXPECT_EQ(entity->getQueryFlags(), 1u);
             EXPECT_EQ(MaterialOf(*entity), "clickObjectMat");
             EXPECT_FALSE(entity->isAttached());
             EXPECT_NE(Node("co_positions_door"), nullptr);
             EXPECT_NE(Node("positions_door"), nullptr);
             EXPECT_EQ(m_world.Scene().GetNodes().count("positions_door"), 1u);
         }},
        {"a name without a known prefix makes only a placement node", Entity("chair"),
         [this]
         {
             EXPECT_EQ(Find("chair"), nullptr);
             EXPECT_NE(Node("positions_chair"), nullptr);
             EXPECT_EQ(m_world.Scene().GetNodes().count("positions_chair"), 0u);
         }},
        {"an ambient box is lit by the plain lights", Entity("Box1"),
         [this]
         {
             Ogre::Entity* entity = Find("Box1");
             ASSERT_NE(entity, nullptr);
             EXPECT_TRUE(entity->getVisible());
             EXPECT_EQ(entity->getLightMask(), 0x7FFFFFFFu);
             EXPECT_EQ(entity->getQueryFlags(), 8u);
             EXPECT_EQ(entity->getParentSceneNode(), Node("Box1"));
             EXPECT_EQ(m_world.Scene().FindSceneObject("Box1"), entity);
         }},
        {"a shadow receiver is lit by the shadow lights alone", Entity("sm_floor"),
         [this]
         {
             Ogre::Entity* entity = Find("sm_floor");
             ASSERT_NE(entity, nullptr);
             EXPECT_EQ(MaterialOf(*entity), "Tarq/DepthShadowmap/Receiver");
             EXPECT_EQ(entity->getRenderQueueGroup(), 80);
             EXPECT_EQ(entity->getLightMask(), 0x80000000u);
             EXPECT_EQ(entity->getQueryFlags(), 0u);
             EXPECT_EQ(m_world.Scene().GetShadowReceivers(), std::vector<Ogre::Entity*>{entity});
             EXPECT_FALSE(m_world.loader.HasExtendedDepthShadows());
         }},
        {"smx_wall does not start with sm_: the extended receiver", Entity("smx_wall"),
         [this]
         {
             Ogre::Entity* entity = Find("smx_wall");
             ASSERT_NE(entity, nullptr);
             EXPECT_EQ(MaterialOf(*entity), "Tarq/DepthShadowMapEx/Receiver/smx_wall");
             EXPECT_EQ(entity->getRenderQueueGroup(), 80);
             EXPECT_TRUE(m_world.loader.HasExtendedDepthShadows());
         }},
        {"render queues of the properties",
         Entity("ao_a", R"(<properties><property renderqueue="60"/></properties>)") +
             Entity("ao_b", R"(<properties><property renderqueue="high"/></properties>)") +
             Entity("ao_c", R"(<properties><property renderqueue="300"/></properties>)"),
         [this]
         {
             EXPECT_EQ(Find("ao_a")->getRenderQueueGroup(), 60);
             EXPECT_EQ(Find("ao_b")->getRenderQueueGroup(), 50) << "no number";
             EXPECT_EQ(Find("ao_c")->getRenderQueueGroup(), 105) << "past the last queue";
             EXPECT_TRUE(
                 m_world.assets.log.Contains("Render queue 300 does not exist", cl_Logger::LEVEL_WARNING));
         }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.LoadScene(Document("<entities>" + c.entities + "</entities>"));
        c.check();
        m_world.UnloadScene();
    }
}

TEST_F(SceneDocument, AnAmbientEntityOutsideItsQualityIsNotMade)
{
    const std::string xml = Document("<entities>" + Entity("ao_vase") + "</entities>",
                                     R"(<quality><constraint name="ao_vase" min="2" max="2"/></quality>)");
    m_world.LoadScene(xml, cl_SceneLoader::QUALITY_MID);
    EXPECT_EQ(Find("ao_vase"), nullptr);
    m_world.UnloadScene();
    m_world.LoadScene(xml, cl_SceneLoader::QUALITY_HIGH);
    EXPECT_NE(Find("ao_vase"), nullptr);
}

TEST_F(SceneDocument, EachExtendedReceiverShowsItsOwnTexture)
{
    m_world.textures.AddTexture("grass.png", 4, 4);
    m_world.textures.AddTexture("stone.png", 4, 4);
    for (const char* texture : {"grass", "stone"})
    {
        Ogre::MaterialPtr own = Ogre::MaterialManager::getSingleton().create(texture, Ogre::RGN_DEFAULT);
        own->getTechnique(0)->getPass(0)->createTextureUnitState(std::string(texture) + ".png");
        SceneWorld::Mesh(std::string(texture) + ".mesh");
        Ogre::MeshManager::getSingleton()
            .getByName(std::string(texture) + ".mesh", Ogre::RGN_DEFAULT)
            ->getSubMesh(0)
            ->setMaterialName(texture);
    }
    m_world.LoadScene(Document(R"(<entities><entity name="smx_lawn" filename="grass.mesh"/>
        <entity name="smx_path" filename="stone.mesh"/></entities>)"));
    const auto textureOf = [this](const char* entity)
    {
        const Ogre::Pass* pass = Find(entity)->getSubEntity(0)->getMaterial()->getTechnique(0)->getPass(1);
        return pass->getTextureUnitState(1)->getTextureName();
    };
    EXPECT_EQ(textureOf("smx_lawn"), "grass.png");
    EXPECT_EQ(textureOf("smx_path"), "stone.png");
    m_world.UnloadScene();
    EXPECT_FALSE(Ogre::MaterialManager::getSingleton().resourceExists(
        "Tarq/DepthShadowMapEx/Receiver/smx_lawn", Ogre::RGN_DEFAULT));
}

TEST_F(SceneDocument, HelpersAreFiledAndSpawnPointsTurnedAQuarter)
{
    m_world.LoadScene(Document(R"(<helpers>
        <helper name="sp_default"/><helper name="xsp_default"/><helper name="op_chair"/>
        <helper name="ap_seat"><rotation x="0" y="0" z="0" w="1"/></helper>
        <helper name="positions_characters_hero"/><helper name="positions_door"/>
        <helper name="op_chair"><position x="1" y="0" z="0"/></helper></helpers>)"));
    const Ogre::Quaternion quarter(Ogre::Degree(90), Ogre::Vector3::UNIT_Y);
    const struct
    {
        const char* name;
        bool turned;
    } cases[] = {{"sp_default", true},
                 {"xsp_default", false},
                 {"ap_seat", true},
                 {"positions_characters_hero", true},
                 {"positions_door", false}};
    for (const auto& c : cases)
    {
        const Ogre::SceneNode* node = m_world.Scene().GetNodes().at(c.name);
        EXPECT_TRUE(node->getOrientation().equals(c.turned ? quarter : Ogre::Quaternion::IDENTITY,
                                                  Ogre::Degree(0.01f)))
            << c.name;
    }
    EXPECT_TRUE(m_world.assets.log.Contains("Helper 'op_chair' allready existed and was overridden!",
                                            cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(Node("op_chair")->getPosition(), Ogre::Vector3(1, 0, 0)) << "the second element moves it";
}

TEST_F(SceneDocument, NodesFindTheirParentsAndAnimations)
{
    m_world.LoadScene(Document(R"(<helpers>
        <helper name="op_lamp" parent="hook"><position x="0" y="-5" z="0"/>
          <animations><animation name="swing" length="2">
            <key time="0"><rotation x="0" y="0" z="0" w="1"/></key>
            <key time="1"><position x="1" y="-5" z="0"/><scale x="2" y="2" z="2"/></key>
          </animation></animations></helper>
        <helper name="op_bell" parent="hook">
          <animations><animation name="swing" length="9"><key time="0.5"/></animation></animations></helper>
        <helper name="op_rope" parent="op_rope"/>
        <helper name="op_top" parent="_game"/>
        </helpers>)"));
    EXPECT_EQ(Node("op_top")->getParent(), m_world.root) << "a node made before the location is found";
    Ogre::SceneNode* hook = Node("hook");
    ASSERT_NE(hook, nullptr) << "a missing parent is made first";
    EXPECT_EQ(hook->getParent(), m_world.root);
    EXPECT_EQ(hook->getPosition(), Ogre::Vector3::ZERO);
    EXPECT_EQ(Node("op_lamp")->getParent(), hook);
    EXPECT_EQ(Node("op_lamp")->getPosition(), Ogre::Vector3(0, -5, 0));

    ASSERT_TRUE(Ogre().hasAnimation("swing"));
    const Ogre::Animation* swing = Ogre().getAnimation("swing");
    EXPECT_EQ(swing->getLength(), 2.0f) << "the first element makes the animation";
    EXPECT_EQ(swing->getInterpolationMode(), Ogre::Animation::IM_LINEAR);
    ASSERT_EQ(swing->getNumNodeTracks(), 2u);
    EXPECT_EQ(swing->getNodeTrack(1)->getAssociatedNode(), Node("op_lamp"));
    EXPECT_EQ(swing->getNodeTrack(2)->getAssociatedNode(), Node("op_bell"));
    const Ogre::NodeAnimationTrack* lamp = swing->getNodeTrack(1);
    ASSERT_EQ(lamp->getNumKeyFrames(), 2u);
    EXPECT_EQ(lamp->getNodeKeyFrame(1)->getTranslate(), Ogre::Vector3(1, -5, 0));
    EXPECT_EQ(lamp->getNodeKeyFrame(1)->getScale(), Ogre::Vector3(2, 2, 2));
    EXPECT_EQ(swing->getNodeTrack(2)->getNodeKeyFrame(0)->getTime(), 0.5f);

    EXPECT_EQ(Node("op_rope")->getParent(), m_world.root) << "a node cannot hang below itself";
    EXPECT_TRUE(m_world.assets.log.Contains("Scene 'scenes_a', helper 'op_rope': cannot hang below 'op_rope'",
                                            cl_Logger::LEVEL_ERROR));
    m_world.UnloadScene();
    EXPECT_FALSE(Ogre().hasAnimation("swing"));
    EXPECT_EQ(Node("hook"), nullptr);
}

TEST_F(SceneDocument, ACameraSetsUpTheBackdropsThatNameIt)
{
    const std::string backdrops =
        R"(<backdrop name="default" width="800" height="600" fov="horizontal" cam="cam"/>
        <backdrop name="other" width="800" height="600" fov="horizontal" cam="other"/>)";
    const struct
    {
        const char* name;
        const char* camera;
        Ogre::Quaternion tilting;
        Ogre::Vector3 lookAt; // ten times as far as the target
    } cases[] = {
        {"without tilting and target", "", BackdropWorld::PLANE_ORIENTATION, Ogre::Vector3(0, -500, 0)},
        {"a tilting and a target",
         R"(<tilting x="0" y="0" z="0" w="1"/><target><position x="0" y="400" z="10"/></target>)",
         Ogre::Quaternion::IDENTITY, Ogre::Vector3(0, -500, 100)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        cl_Scene& scene = m_world.LoadScene(Document(std::string(R"(<cameras><camera name="cam" FOV="0.8">
            <position x="0" y="500" z="0"/><rotation x="0" y="0" z="0" w="1"/>)") +
                                                         c.camera + "</camera></cameras>",
                                                     backdrops));
        const cl_Backdrop& backdrop = *scene.GetBackdrop("default");
        EXPECT_EQ(backdrop.GetCamera(), m_world.ogreCamera);
        EXPECT_FLOAT_EQ(backdrop.GetFieldOfView(), 0.8f);
        EXPECT_TRUE(backdrop.GetPlaneNode()->getOrientation().equals(c.tilting, Ogre::Degree(0.01f)));
        EXPECT_TRUE(backdrop.GetPlaneNode()->getPosition().positionEquals(c.lookAt, 0.01f))
            << backdrop.GetPlaneNode()->getPosition();
        EXPECT_EQ(scene.GetBackdrop("other")->GetCamera(), nullptr) << "a camera no backdrop names";
        m_world.UnloadScene();
    }
}

TEST_F(SceneDocument, IncludesAreReadFirstAndMayIncludeMore)
{
    m_world.LoadScene(Document(R"(<helpers><helper name="op_own" parent="op_outer"/></helpers>
        <include src="include_outer.xml"/><include src="include_self.xml"/>)"));
    ASSERT_NE(Node("op_inner"), nullptr);
    EXPECT_EQ(Node("op_inner")->getPosition(), Ogre::Vector3(1, 2, 3));
    EXPECT_EQ(Node("op_outer")->getParent(), Node("op_inner"));
    EXPECT_EQ(Node("op_own")->getParent(), Node("op_outer"));
    EXPECT_NE(Node("op_self"), nullptr);
    EXPECT_TRUE(m_world.assets.log.Contains("Scene 'scenes_a', 'include': 'include_self.xml' includes itself",
                                            cl_Logger::LEVEL_ERROR));
}

TEST_F(SceneDocument, WhatCannotBeReadIsLoggedWithSceneAndElementAndTheRestLoads)
{
    const struct
    {
        const char* name;
        std::string children;
        const char* logged;
    } cases[] = {
        {"a missing include", R"(<include src="nowhere.xml"/>)",
         "Scene 'scenes_a', 'include': 'nowhere.xml' cannot be read; left out."},
        {"a broken include", R"(<include src="include_broken.xml"/>)",
         "Scene 'scenes_a', 'include': 'include_broken.xml' is broken"},
        {"a missing mesh", R"(<entities><entity name="ao_ghost" filename="ghost.mesh"/></entities>)",
         "Scene 'scenes_a', entity 'ao_ghost': cannot be made ("},
        {"a repeated entity", "<entities>" + Entity("ao_twin") + Entity("ao_twin") + "</entities>",
         "Scene 'scenes_a', entity 'ao_twin': cannot be made ("},
        {"an entity without mesh", R"(<entities><entity name="ao_bare"/></entities>)",
         "Scene 'scenes_a', entity 'ao_bare': 'filename' is missing; left out."},
        {"a navmesh without placement",
         R"(<entities><entity name="nm_floor" filename="flat.mesh"/></entities>)",
         "Scene 'scenes_a', entity 'nm_floor': its 'position' needs the numbers x, y and z; left out."},
        {"a camera turned by nothing", R"(<cameras><camera name="cam" FOV="1"><position x="0" y="1" z="0"/>
            <rotation x="0" y="0" z="0" w="0"/></camera></cameras>)",
         "Scene 'scenes_a', camera 'cam': its 'rotation' needs the numbers x, y, z and w; left out."},
        {"a camera without rotation",
         R"(<cameras><camera name="cam" FOV="1"><position x="0" y="1" z="0"/></camera></cameras>)",
         "Scene 'scenes_a', camera 'cam': its 'rotation' needs the numbers x, y, z and w; left out."},
        {"a fog of another type", R"(<fogMode type="7" density="1" linearStart="0" linearEnd="1"/>)",
         "Scene 'scenes_a', 'fogMode': knows no fog of type 7; left out."},
        {"a node named like the scene root", R"(<lights><light name="_game" type="omni"/></lights>)",
         "Scene 'scenes_a', light '_game': cannot have the node '_game'."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.assets.log.Clear();
        m_world.LoadScene(Document(c.children + R"(<helpers><helper name="op_after"/></helpers>)"));
        EXPECT_TRUE(m_world.assets.log.Contains(c.logged, cl_Logger::LEVEL_ERROR));
        EXPECT_NE(Node("op_after"), nullptr) << "the rest loads";
        m_world.UnloadScene();
    }
}

TEST_F(SceneDocument, NavigationMeshesComeFromTheirEntities)
{
    const std::string navmesh = SceneWorld::Mesh("walk.mesh");
    const std::string placement =
        R"(<position x="0" y="0" z="0"/><rotation x="0" y="0" z="0" w="1"/><scale x="1" y="1" z="1"/>)";
    const std::string entities = "<entities><entity name=\"nm_walk\" filename=\"" + navmesh + "\">" +
                                 placement + "</entity><entity name=\"nm_again\" filename=\"" + navmesh +
                                 "\">" + placement + "</entity><entity name=\"em_carpet\" filename=\"" +
                                 navmesh + "\">" + placement + "</entity></entities>";
    cl_Scene& scene = m_world.LoadScene(Document(entities, R"(<environment surface="3"/>)"));
    ASSERT_EQ(scene.GetEnvironments().size(), 1u) << "a repeated environment replaces the first";
    const cl_Navmesh* walk = scene.FindNavmesh(navmesh);
    ASSERT_NE(walk, nullptr);
    EXPECT_EQ(walk->GetDefaultSurface(), 3);
    EXPECT_EQ(scene.GetNavmesh(), walk) << "the first visit makes the first environment current";
    EXPECT_EQ(m_world.characters.GetNavmesh(), walk);
    EXPECT_TRUE(walk->GetTriangle(0).surfaces.empty());
    EXPECT_TRUE(m_world.assets.log.Contains(
        "Scene 'scenes_a', entity 'em_carpet': there is no navmesh to lay the surface over (the scene state "
        "names ''); left out.",
        cl_Logger::LEVEL_WARNING));
    m_world.UnloadScene();
    EXPECT_EQ(m_world.characters.GetNavmesh(), nullptr);

    // The state names the navmesh now: the next visit lays the surface over it.
    cl_Scene& again = m_world.LoadScene(Document(entities, R"(<environment surface="3"/>)"));
    EXPECT_EQ(again.GetNavmeshName(), navmesh);
    EXPECT_EQ(again.GetNavmesh()->GetTriangle(0).surfaces, std::set<int>{0});
}

TEST_F(SceneDocument, AmbientLightAndFogAreSetAndTheUnloadClearsTheFog)
{
    m_world.LoadScene(Document(R"(<lightColor r="0.25" g="0.5" b="0.75"/>
        <fogMode type="3" density="0.5" linearStart="100" linearEnd="200"><color r="0" g="0" b="1"/></fogMode>)"));
    EXPECT_EQ(Ogre().getAmbientLight(), Ogre::ColourValue(0.25f, 0.5f, 0.75f));
    EXPECT_EQ(Ogre().getFogMode(), Ogre::FOG_LINEAR);
    EXPECT_EQ(Ogre().getFogColour(), Ogre::ColourValue::Blue);
    EXPECT_EQ(Ogre().getFogDensity(), 0.5f);
    EXPECT_EQ(Ogre().getFogStart(), 100.0f);
    EXPECT_EQ(Ogre().getFogEnd(), 200.0f);
    m_world.UnloadScene();
    EXPECT_EQ(Ogre().getFogMode(), Ogre::FOG_NONE);
    EXPECT_EQ(Ogre().getFogColour(), Ogre::ColourValue::White);
    EXPECT_EQ(Ogre().getFogDensity(), 0.001f);
}
