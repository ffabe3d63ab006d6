#include "graphics/cl_Scene.h"

#include "assets/cl_ItemAsset.h"
#include "assets/cl_SceneAsset.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_SceneObject.h"
#include "support/SceneWorld.h"

#include <gtest/gtest.h>

#include <OgreEntity.h>
#include <OgreMeshManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
// A scene element of the location with helper nodes of those names.
std::string WithHelpers(const std::string& scene, const std::vector<std::string>& helpers,
                        const std::string& more = "")
{
    std::string xml = "<scene assetref=\"" + scene + "\"><osmdata>" + more + "<helpers>";
    for (const std::string& helper : helpers)
        xml += "<helper name=\"" + helper + "\"/>";
    return xml + "</helpers></osmdata></scene>";
}

std::string NameOf(const Ogre::SceneNode* node)
{
    return node ? node->getName() : "(none)";
}

class SceneTest : public testing::Test
{
protected:
    cl_SceneAsset& Asset() const { return *m_world.Scene().GetAsset(); }
    Ogre::SceneNode* Node(const std::string& name) const
    {
        return m_world.SceneManager().hasSceneNode(name) ? m_world.SceneManager().getSceneNode(name)
                                                         : nullptr;
    }

    SceneWorld m_world;
};

// Location A as its state has it: the key at its click object, the lamp on the hook, the hero at the start
// and the keeper at the door, a shelf to move the key to, and the key's patch on the backdrop.
class SceneA : public SceneTest
{
protected:
    SceneA()
    {
        m_world.textures.AddTexture("hall.png", 800, 600);
        m_world.AddItem("items_key");
        m_world.AddItem("items_lamp");
        m_world.AddCharacter("characters_hero");
        m_world.AddCharacter("characters_keeper");
    }

    cl_Scene& Load() { return m_world.LoadScene(XML); }
    cl_SceneObject& Item(const std::string& id) { return *m_world.items.GetItemObject(id); }
    Ogre::Entity& ClickObject(const std::string& name) const
    {
        return *m_world.SceneManager().getEntity(name);
    }

    std::string XML = R"(<scene assetref="scenes_a">
        <clickobjects><clickobject name="co_key" position="positions_key" asset="items_key"/>
            <clickobject name="co_key" position="positions_shelf" asset="items_key"/></clickobjects>
        <backdrop name="default" width="800" height="600" cam="cam">
            <scenepatch id="items_key" src="hall.png" width="20" height="20"/></backdrop>
        <osmdata><entities>
            <entity name="co_key" filename=")" +
                      SceneWorld::Mesh("flat.mesh") +
                      R"("/><entity name="cm_shelf" filename="flat.mesh"/>
            <entity name="sm_shadow" filename="flat.mesh"/></entities>
          <helpers><helper name="positions_start"/><helper name="positions_door"/>
            <helper name="ap_hook"><position x="0" y="50" z="0"/></helper></helpers></osmdata>
        </scene>)";
};
} // namespace

TEST_F(SceneTest, TheSpawnPointDependsOnLocationAndSourceScene)
{
    const struct
    {
        std::vector<std::string> nodes;
        const char* location;
        const char* source;
        const char* expected;
        bool warned;
    } cases[] = {
        {{"sp_default", "sp_scenes_b"}, "", "scenes_b", "sp_scenes_b", false},
        {{"sp_default", "sp_scenes_c"}, "", "scenes_b", "sp_default", false},
        {{"sp_zeta", "sp_alpha", "op_chair"}, "", "scenes_b", "sp_alpha", true},
        {{"op_chair", "positions_sp_x"}, "", "scenes_b", "(none)", false},
        {{"sp_key", "sp_scenes_b", "sp_default"}, "items_key", "scenes_b", "sp_key", false},
        {{"sp_scenes_b", "sp_default"}, "items_key", "scenes_b", "sp_scenes_b", false},
        {{"sp_default"}, "positions_key", "scenes_b", "sp_default", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.location) + " from " + c.source + " to " + c.expected);
        const cl_Scene& scene = m_world.LoadScene(WithHelpers("scenes_b", c.nodes));
        m_world.assets.log.Clear();
        EXPECT_EQ(NameOf(scene.GetSpawnPointNode(c.location, c.source)), c.expected);
        EXPECT_EQ(m_world.assets.log.Contains(
                      "No spawnpoint defined for entering the current scene from scene 'scenes_b'!",
                      cl_Logger::LEVEL_WARNING),
                  c.warned);
        m_world.UnloadScene();
    }
    const cl_Scene& scene =
        m_world.LoadScene(WithHelpers("scenes_b", {"sp_default", "sp_default_target", "sp_scenes_c"}));
    EXPECT_EQ(NameOf(scene.GetTargetNode("", "scenes_b")), "sp_default_target");
    EXPECT_EQ(NameOf(scene.GetTargetNode("", "scenes_c")), "(none)");
}

TEST_F(SceneTest, PositionsOfCharactersAndObjects)
{
    cl_Character& hero = m_world.AddCharacter("characters_hero");
    m_world.AddCharacter("characters_keeper");
    const cl_Scene& scene = m_world.LoadScene(
        WithHelpers("scenes_b", {"positions_hero", "positions_hero_target", "op_chair", "op_chair_target",
                                 "op_characters_keeper", "op_characters_keeper_target",
                                 "op_characters_keeper_target_characters_keeper"}));
    hero.SetLocation("positions_hero");
    m_world.hub.SetCurrentCharacter("characters_hero");
    const struct
    {
        const char* name;
        const char* position;
        const char* target;
    } cases[] = {
        {"", "positions_hero", "(none)"},
        {"avatar", "positions_hero", "(none)"},
        {"characters_hero", "positions_hero", "positions_hero_target"},
        {"characters_keeper", "op_characters_keeper", "op_characters_keeper_target_characters_keeper"},
        {"chair", "op_chair", "op_chair_target"},
        {"table", "(none)", "(none)"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(NameOf(scene.ResolvePosition(c.name)), c.position);
        EXPECT_EQ(NameOf(scene.ResolveTargetPosition(c.name)), c.target);
    }
    hero.SetLocation(st_ObjectPlacement());
    EXPECT_EQ(NameOf(scene.ResolvePosition("")), "(none)") << "no named location: op__characters_hero, op_";
}

TEST_F(SceneTest, ANodeOfTheLoadedSceneOnly)
{
    cl_Scene& scene = m_world.LoadScene(WithHelpers("scenes_b", {"op_chair"}));
    EXPECT_EQ(scene.GetSceneNode("SceneRoot"), m_world.root);
    EXPECT_EQ(scene.GetSceneRoot(), m_world.root);
    EXPECT_EQ(NameOf(scene.GetSceneNode("op_chair")), "op_chair");
    EXPECT_EQ(scene.GetSceneNode("op_table"), nullptr);
    m_world.UnloadScene();
    EXPECT_EQ(scene.GetSceneNode("op_chair"), nullptr);
    EXPECT_TRUE(m_world.assets.log.Contains(
        "Cannot retrieve scenenode 'op_chair' because this scene is not loaded.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(scene.GetSceneRoot(), nullptr);
    EXPECT_TRUE(m_world.assets.log.Contains("Cannot retrieve SceneRoot because this scene is not loaded.",
                                            cl_Logger::LEVEL_ERROR));
}

TEST_F(SceneTest, TheStatesNavmeshOrElseTheFirstEnvironmentIsCurrent)
{
    const std::string placement =
        R"(<position x="0" y="0" z="0"/><rotation x="0" y="0" z="0" w="1"/><scale x="1" y="1" z="1"/>)";
    const auto environments = [&](const std::vector<std::string>& files)
    {
        std::string xml = R"(<scene assetref="scenes_b"><environment navmeshrim="12"/><osmdata><entities>)";
        for (const std::string& file : files)
            xml += "<entity name=\"nm_" + file + "\" filename=\"" + SceneWorld::Mesh(file) + "\">" +
                   placement + "</entity>";
        return xml + "</entities></osmdata></scene>";
    };
    cl_Scene& none = m_world.LoadScene(environments({}));
    EXPECT_EQ(none.GetNavmesh(), nullptr);
    EXPECT_EQ(Asset().GetNavMesh(), "") << "nothing is recorded";
    m_world.UnloadScene();

    cl_Scene& scene = m_world.LoadScene(environments({"walk_b.mesh", "walk_a.mesh"}));
    EXPECT_EQ(Asset().GetNavMesh(), "walk_a.mesh");
    EXPECT_EQ(m_world.characters.GetNavmesh(), scene.FindNavmesh("walk_a.mesh"));
    scene.SetNavmesh("walk_b.mesh");
    EXPECT_EQ(m_world.characters.GetNavmesh(), scene.FindNavmesh("walk_b.mesh"));
    m_world.assets.log.Clear();
    scene.SetNavmesh("walk_c.mesh");
    EXPECT_EQ(Asset().GetNavMesh(), "walk_c.mesh");
    EXPECT_EQ(m_world.characters.GetNavmesh(), nullptr) << "no navmesh of an unknown name";
    EXPECT_TRUE(
        m_world.assets.log.Contains("The scene 'scenes_b' has no navmesh 'walk_c.mesh'; the characters have "
                                    "none now.",
                                    cl_Logger::LEVEL_WARNING));
    scene.ApplyNavmesh();
    EXPECT_EQ(m_world.characters.GetNavmesh(), nullptr);
    m_world.UnloadScene();

    m_world.LoadScene(environments({"walk_b.mesh", "walk_a.mesh"}));
    EXPECT_EQ(m_world.characters.GetNavmesh(), nullptr) << "the state's name stands";
}

TEST_F(SceneA, SpawnsWhatTheStatePlacesHere)
{
    cl_Scene& scene = Load();
    EXPECT_EQ(ClickObject("co_key").getParentSceneNode(), Node("co_positions_key"));
    EXPECT_EQ(Ogre::any_cast<std::string>(ClickObject("co_key").getUserObjectBindings().getUserAny()),
              "items_key");
    EXPECT_TRUE(scene.GetPatch("items_key")->IsVisible());
    EXPECT_TRUE(Item("items_key").GetPuppet()->IsActive());
    EXPECT_EQ(Item("items_key").GetSceneNode()->getParent(), m_world.root);
    for (const char* id : {"characters_hero", "characters_keeper"})
        EXPECT_TRUE(m_world.characters.GetCharacter(id)->GetPuppet()->IsActive()) << id;
    EXPECT_EQ(m_world.characters.GetCharacter("characters_keeper")->GetLocationName(), "positions_door");
    EXPECT_EQ(dynamic_cast<cl_ItemAsset&>(m_world.assets.Asset("characters_hero")).GetCurrentScene(),
              "scenes_a")
        << "a character placed nowhere before is in this scene now";
    EXPECT_EQ(dynamic_cast<cl_ItemAsset&>(m_world.assets.Asset("characters_keeper")).GetCurrentScene(),
              "scenes_a");
    EXPECT_EQ(Item("items_lamp").GetSceneNode()->getParent(), Node("ap_hook"));
    EXPECT_EQ(Item("items_lamp").GetSceneNode()->getPosition(), Ogre::Vector3(1, 2, 3));
    EXPECT_TRUE(m_world.assets.log.Contains("Adding Sceneobject items_key took 0 ms", cl_Logger::LEVEL_INFO));
    EXPECT_TRUE(
        m_world.assets.log.Contains("Adding Puppet characters_keeper took 0 ms", cl_Logger::LEVEL_INFO));
}

TEST_F(SceneA, EditsOfTheStateReachTheLoadedScene)
{
    cl_Scene& scene = Load();
    Asset().RemoveSceneObject("items_key");
    EXPECT_FALSE(ClickObject("co_key").isAttached());
    EXPECT_FALSE(scene.GetPatch("items_key")->IsVisible());
    EXPECT_FALSE(Item("items_key").GetPuppet()->IsActive());

    Asset().AddSceneObject("items_key", "positions_key");
    EXPECT_EQ(ClickObject("co_key").getParentSceneNode(), Node("co_positions_key"));
    EXPECT_TRUE(Item("items_key").GetPuppet()->IsActive());

    Asset().AddSceneObject("items_key", "positions_shelf");
    EXPECT_EQ(ClickObject("co_key").getParentSceneNode(), Node("co_positions_shelf"))
        << "the key's own click object";
    EXPECT_EQ(Item("items_key").GetSceneNode()->getPosition(), Node("positions_shelf")->getPosition());

    Asset().RemovePuppet("characters_keeper");
    EXPECT_FALSE(m_world.characters.GetCharacter("characters_keeper")->GetPuppet()->IsActive());
    Asset().AddPuppet("characters_keeper", "positions_start");
    EXPECT_TRUE(m_world.characters.GetCharacter("characters_keeper")->GetPuppet()->IsActive());
    Asset().AddPuppet("characters_keeper", "positions_door");
    EXPECT_EQ(m_world.characters.GetCharacter("characters_keeper")->GetLocationName(), "positions_door");
}

TEST_F(SceneA, ActivatedTwiceTheSceneListensOnce)
{
    cl_Scene& scene = Load();
    scene.Activate();
    m_world.assets.log.Clear();
    Asset().BindState(&m_world.assets.gameState);
    size_t keys = 0;
    for (const LogCapture::Line& line : m_world.assets.log.Lines())
        keys += line.text.find("Adding Sceneobject items_key") != std::string::npos;
    EXPECT_EQ(keys, 1u);
    m_world.UnloadScene();
    m_world.assets.log.Clear();
    Asset().AddSceneObject("items_key", "positions_shelf");
    EXPECT_FALSE(Item("items_key").GetPuppet()->IsActive()) << "an unloaded scene no longer listens";
}

TEST_F(SceneA, AnAtmosphereItemComesBackWhereItWasLeft)
{
    Load();
    Ogre::SceneNode& lamp = *Item("items_lamp").GetSceneNode();
    lamp.setPosition(4, 5, 6);
    m_world.UnloadScene();
    EXPECT_EQ(lamp.getParent(), nullptr) << "out of the scene";
    std::vector<const TiXmlElement*> atmoObjects;
    Asset().GetAtmoObjects(atmoObjects);
    ASSERT_EQ(atmoObjects.size(), 1u);
    EXPECT_STREQ(atmoObjects[0]->Attribute("parent"), "ap_hook");
    EXPECT_STREQ(atmoObjects[0]->Attribute("offset"), "4 5 6");

    Load();
    EXPECT_EQ(lamp.getParent(), Node("ap_hook"));
    EXPECT_EQ(lamp.getPosition(), Ogre::Vector3(4, 5, 6));
    EXPECT_TRUE(lamp.getOrientation().equals(Ogre::Quaternion(0, 0, 1, 0), Ogre::Degree(0.01f)));
}

TEST_F(SceneA, AnAtmosphereItemWithoutItsParentStaysOut)
{
    Load();
    m_world.UnloadScene();
    std::vector<const TiXmlElement*> atmoObjects;
    Asset().GetAtmoObjects(atmoObjects);
    const_cast<TiXmlElement*>(atmoObjects[0])->SetAttribute("parent", "nowhere");
    m_world.assets.log.Clear();
    Load();
    EXPECT_TRUE(m_world.assets.log.Contains(
        "The scene 'scenes_a' has no node 'nowhere' to put the item 'items_lamp' under; the item stays out.",
        cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(Item("items_lamp").GetSceneNode()->getParent(), nullptr);
}

TEST_F(SceneA, DebugViewsAndShadows)
{
    cl_Scene& scene = Load();
    scene.ToggleDebugView();
    EXPECT_TRUE(ClickObject("co_key").getVisible());
    EXPECT_TRUE(ClickObject("cm_shelf").getVisible());
    scene.ToggleDebugView();
    EXPECT_FALSE(ClickObject("cm_shelf").getVisible());

    Ogre::Entity& receiver = ClickObject("sm_shadow");
    scene.SetShadowsEnabled(0);
    EXPECT_FALSE(receiver.getVisible());
    EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), Ogre::SHADOWTYPE_NONE);
    scene.SetShadowsEnabled(1);
    EXPECT_TRUE(receiver.getVisible());
    EXPECT_EQ(m_world.SceneManager().getShadowTechnique(), Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED);
    scene.SetShadowsEnabled(2);
    EXPECT_TRUE(receiver.getVisible());

    scene.VisualizeSceneNode("positions_door");
    EXPECT_TRUE(
        m_world.assets.log.Contains("The axes to show a node cannot be made", cl_Logger::LEVEL_ERROR));
    // The failed load leaves OGRE an empty mesh of that name.
    Ogre::MeshManager::getSingleton().remove(
        Ogre::MeshManager::getSingleton().getByName("axes.mesh", Ogre::RGN_AUTODETECT));
    SceneWorld::Mesh("axes.mesh");
    scene.VisualizeSceneNode("positions_door");
    Ogre::Entity& axes = ClickObject("sceneNodeVis");
    EXPECT_EQ(axes.getParentSceneNode(), Node("positions_door"));
    EXPECT_EQ(axes.getRenderQueueGroup(), 100);
    scene.VisualizeSceneNode("positions_start");
    EXPECT_EQ(axes.getParentSceneNode(), Node("positions_start"));
    scene.VisualizeSceneNode("nowhere");
    EXPECT_FALSE(axes.isAttached());
    m_world.UnloadScene();
    EXPECT_FALSE(m_world.SceneManager().hasEntity("sceneNodeVis"));
}

TEST_F(SceneTest, APreloadReadsTheItemFilesOnce)
{
    TiXmlDocument document;
    document.Parse(R"(<scene assetref="scenes_b"><preload><patchitem id="items_key"/><patchitem/></preload>
        <items><include itemfile="no_items.tdf"/><include/></items></scene>)");
    cl_Scene scene(*document.RootElement());
    scene.Preload();
    scene.Preload();
    EXPECT_TRUE(scene.IsPreloaded());
    size_t reads = 0;
    for (const LogCapture::Line& line : m_world.assets.log.Lines())
        reads += line.text.find("no_items.tdf") != std::string::npos;
    EXPECT_EQ(reads, 1u);
}
