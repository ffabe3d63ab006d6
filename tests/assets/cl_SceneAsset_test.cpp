#include "assets/cl_SceneAsset.h"

#include "assets/ISceneStateListener.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ScenePool.h"
#include "common/cl_Logger.h"
#include "support/AssetWorld.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

std::string Attribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : "(none)";
}

// Notes every notification as a line; onNotify, when set, runs after each.
class RecordingSceneListener : public ISceneStateListener
{
public:
    void NotifyItemEntered(const TiXmlElement& sceneObject) override
    {
        Note("item entered " + Attribute(sceneObject, "itemref") + " at " +
             Attribute(sceneObject, "locationref"));
    }
    void NotifyItemLeft(const TiXmlElement& sceneObject) override
    {
        Note("item left " + Attribute(sceneObject, "itemref") + " from " +
             Attribute(sceneObject, "locationref"));
    }
    void NotifyCharacterEntered(const TiXmlElement& puppet) override
    {
        Note("character entered " + Attribute(puppet, "characterref") + " at " +
             Attribute(puppet, "locationref"));
    }
    void NotifyCharacterLeft(const TiXmlElement& puppet) override
    {
        Note("character left " + Attribute(puppet, "characterref") + " from " +
             Attribute(puppet, "locationref"));
    }
    void NotifySpawn() override { Note("spawn"); }
    void NotifyDespawn() override { Note("despawn"); }
    void NotifySavePlacements() override { Note("save placements"); }
    void NotifyItemMoved(const std::string& itemId, const std::string& oldLocation,
                         const std::string& newLocation) override
    {
        Note("item moved " + itemId + " from " + oldLocation + " to " + newLocation);
    }
    void NotifyCharacterMoved(const std::string& characterId, const std::string& oldLocation,
                              const std::string& newLocation) override
    {
        Note("character moved " + characterId + " from " + oldLocation + " to " + newLocation);
    }

    Calls calls;
    std::function<void()> onNotify;

private:
    void Note(const std::string& call)
    {
        calls.push_back(call);
        if (onNotify)
            onNotify();
    }
};

// The scene "scenes_hall" bound to a state that holds the given children, with a recording listener.
class SceneAssetTest : public testing::Test
{
protected:
    void Bind(const std::string& children)
    {
        TiXmlDocument document;
        document.Parse(
            ("<gamestate><scenes><scene idref='scenes_hall'>" + children + "</scene></scenes></gamestate>")
                .c_str());
        ASSERT_TRUE(m_gameState.ReplaceTree(*document.RootElement()));
        m_scene.SetId("scenes_hall");
        m_scene.BindState(&m_gameState);
        m_scene.AddSceneStateListener(&m_listener);
    }
    std::string SceneState() { return PrintedXml(m_gameState.GetSceneState("scenes_hall")); }

    LogCapture m_log;
    cl_GameState m_gameState;
    cl_SceneAsset m_scene;
    RecordingSceneListener m_listener;
};

TEST_F(SceneAssetTest, AnItemEntersOnceAndThenMoves)
{
    Bind("");
    m_scene.AddSceneObject("items_key", "positions_table");
    m_scene.AddSceneObject("items_key", "positions_shelf");
    EXPECT_EQ(SceneState(), "<scene idref=\"scenes_hall\">"
                            "<sceneobject itemref=\"items_key\" locationref=\"positions_shelf\" /></scene>");
    EXPECT_EQ(m_listener.calls, (Calls{"item entered items_key at positions_table",
                                       "item moved items_key from positions_table to positions_shelf"}));
    EXPECT_EQ(m_scene.FindObjectLocation("items_key"), "positions_shelf");
}

TEST_F(SceneAssetTest, LeavingTellsWithACopyAndAMissingItemTellsNothing)
{
    Bind("<sceneobject itemref='items_key' locationref='positions_table'/>"
         "<sceneobject itemref='items_key' locationref='positions_floor'/>");
    m_scene.RemoveSceneObject("items_stone");
    EXPECT_TRUE(m_listener.calls.empty());
    m_scene.RemoveSceneObject("items_key");
    EXPECT_EQ(m_listener.calls, (Calls{"item left items_key from positions_table"}));
    EXPECT_EQ(SceneState(), "<scene idref=\"scenes_hall\">"
                            "<sceneobject itemref=\"items_key\" locationref=\"positions_floor\" /></scene>");
}

TEST_F(SceneAssetTest, PuppetsAreTold)
{
    Bind("");
    m_scene.AddPuppet("characters_hero", "positions_door");
    m_scene.AddPuppet("characters_hero", "positions_window");
    m_scene.RemovePuppet("characters_hero");
    m_scene.RemovePuppet("characters_hero");
    EXPECT_EQ(m_listener.calls,
              (Calls{"character entered characters_hero at positions_door",
                     "character moved characters_hero from positions_door to positions_window",
                     "character left characters_hero from positions_window"}));
}

TEST_F(SceneAssetTest, PuppetsWithoutNotificationChangeOnlyTheState)
{
    Bind("");
    m_scene.AddPuppet("characters_hero", "positions_inactive_pc_characters_hero", false);
    m_scene.AddPuppet("characters_hero", "positions_bed", false);
    EXPECT_EQ(m_scene.FindObjectLocation("characters_hero"), "positions_bed");
    m_scene.RemovePuppet("characters_hero", false);
    EXPECT_EQ(m_scene.FindObjectLocation("characters_hero"), "");
    EXPECT_TRUE(m_listener.calls.empty());
}

TEST_F(SceneAssetTest, ObjectLocationsLookAtItemsBeforeCharacters)
{
    Bind("<puppet characterref='twin' locationref='positions_puppet'/>"
         "<sceneobject itemref='twin' locationref='positions_item'/>"
         "<puppet characterref='characters_hero' locationref='positions_door'/>");
    EXPECT_EQ(m_scene.FindObjectLocation("twin"), "positions_item");
    EXPECT_EQ(m_scene.FindObjectLocation("characters_hero"), "positions_door");
    EXPECT_EQ(m_scene.FindObjectLocation("nobody"), "");
}

TEST_F(SceneAssetTest, AtmoObjectsAndTheNavMeshAreKeptQuietly)
{
    Bind("");
    EXPECT_EQ(m_scene.GetNavMesh(), "");
    TiXmlElement* fog = m_scene.AddAtmoObject("items_fog");
    EXPECT_EQ(m_scene.AddAtmoObject("items_fog"), fog) << "an item keeps its one element";
    m_scene.AddAtmoObject("items_rain");
    m_scene.SetNavMesh("navmesh_day");
    m_scene.SetNavMesh("navmesh_night");
    EXPECT_EQ(m_scene.GetNavMesh(), "navmesh_night");
    EXPECT_EQ(SceneState(),
              "<scene idref=\"scenes_hall\"><atmoobject itemref=\"items_fog\" />"
              "<atmoobject itemref=\"items_rain\" /><navmesh navmeshref=\"navmesh_night\" /></scene>");
    m_scene.RemoveAtmoObjects();
    std::vector<const TiXmlElement*> atmoObjects{nullptr};
    m_scene.GetAtmoObjects(atmoObjects);
    EXPECT_TRUE(atmoObjects.empty());
    EXPECT_TRUE(m_listener.calls.empty());
}

TEST_F(SceneAssetTest, BindingRespawnsAndSavingSavesPlacements)
{
    Bind("");
    m_scene.BindState(&m_gameState);
    m_scene.SaveState(&m_gameState);
    EXPECT_EQ(m_listener.calls, (Calls{"despawn", "spawn", "save placements"}));
}

TEST_F(SceneAssetTest, WithoutAStateElementNothingChangesAndNobodyIsTold)
{
    Bind("");
    TiXmlDocument document;
    document.Parse("<gamestate/>");
    ASSERT_TRUE(m_gameState.ReplaceTree(*document.RootElement()));
    m_scene.BindState(&m_gameState);
    EXPECT_EQ(m_gameState.GetSceneState("scenes_hall"), nullptr) << "binding creates no scene state";
    m_listener.calls.clear();

    m_scene.AddSceneObject("items_key", "positions_table");
    m_scene.AddPuppet("characters_hero", "positions_door");
    m_scene.RemoveSceneObject("items_key");
    EXPECT_EQ(m_scene.AddAtmoObject("items_fog"), nullptr);
    m_scene.SetNavMesh("navmesh_day");
    std::vector<const TiXmlElement*> objects;
    m_scene.GetSceneObjects(objects);
    EXPECT_TRUE(objects.empty());
    EXPECT_EQ(m_scene.FindObjectLocation("items_key"), "");
    EXPECT_EQ(m_scene.GetNavMesh(), "");
    EXPECT_TRUE(m_listener.calls.empty());
    EXPECT_EQ(PrintedXml(m_gameState.GetRoot()), "<gamestate />");
}

TEST_F(SceneAssetTest, AListenerRemovedWhileOthersAreToldIsNotToldAnyMore)
{
    Bind("");
    RecordingSceneListener second;
    m_scene.AddSceneStateListener(&second);
    m_listener.onNotify = [this, &second] { m_scene.RemoveSceneStateListener(&second); };
    m_scene.AddSceneObject("items_key", "positions_table");
    EXPECT_EQ(m_listener.calls.size(), 1u);
    EXPECT_TRUE(second.calls.empty());

    // Every entry of a listener goes.
    m_listener.onNotify = nullptr;
    m_scene.AddSceneStateListener(&m_listener);
    m_scene.RemoveSceneStateListener(&m_listener);
    m_scene.AddSceneObject("items_key", "positions_shelf");
    EXPECT_EQ(m_listener.calls.size(), 1u);
}

TEST(ScenePool, ReadsTheParentScene)
{
    cl_ScenePool pool;
    EXPECT_EQ(pool.GetName(), "scenes");
    TiXmlDocument document;
    document.Parse("<asset id='scenes_cellar' parentScene='scenes_tower'/>");
    const std::unique_ptr<cl_Asset> cellar = pool.CreateAsset(document.RootElement());
    ASSERT_NE(dynamic_cast<cl_SceneAsset*>(cellar.get()), nullptr);
    EXPECT_EQ(dynamic_cast<cl_SceneAsset&>(*cellar).GetParentScene(), "scenes_tower");
    EXPECT_EQ(cellar->GetType(), "scene");
    const std::unique_ptr<cl_Asset> made = pool.CreateAsset(nullptr);
    EXPECT_EQ(dynamic_cast<cl_SceneAsset&>(*made).GetParentScene(), "");
}

TEST(SceneAssetDemo, TheTowerRoomHoldsTheKeyTheDoorTheHeroAndTheKeeper)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    auto& tower = dynamic_cast<cl_SceneAsset&>(world.Asset("scenes_tower"));
    RecordingSceneListener runtime;
    tower.AddSceneStateListener(&runtime);
    ASSERT_TRUE(world.LoadGameState(DemoNewGameState()));
    EXPECT_EQ(runtime.calls, (Calls{"despawn", "spawn"}));

    std::vector<const TiXmlElement*> objects;
    tower.GetSceneObjects(objects);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(Attribute(*objects[0], "itemref"), "items_key");
    EXPECT_EQ(Attribute(*objects[1], "itemref"), "items_door");
    tower.GetPuppets(objects);
    ASSERT_EQ(objects.size(), 2u);
    EXPECT_EQ(tower.FindObjectLocation("characters_hero"), "positions_start");
    EXPECT_EQ(tower.FindObjectLocation("characters_keeper"), "positions_keeper");
    tower.GetAtmoObjects(objects);
    ASSERT_EQ(objects.size(), 1u);
    EXPECT_EQ(Attribute(*objects[0], "itemref"), "items_lamp");
    EXPECT_EQ(tower.GetNavMesh(), "tower_walk.mesh");

    tower.RemoveSceneObject("items_key");
    world.SaveGameState();
    EXPECT_EQ(runtime.calls,
              (Calls{"despawn", "spawn", "item left items_key from positions_key", "save placements"}));
    tower.RemoveSceneStateListener(&runtime);
    EXPECT_EQ(world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
