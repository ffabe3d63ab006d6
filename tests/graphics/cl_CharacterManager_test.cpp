#include "graphics/cl_CharacterManager.h"

#include "assets/cl_ItemAsset.h"
#include "assets/cl_SceneAsset.h"
#include "common/cl_Command.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_MovementControl.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "support/AssetWorld.h"
#include "support/HeadlessOgre.h"
#include "support/SceneDefinition.h"
#include "support/TestFigure.h"
#include "support/TriangleMesh.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const HERO = R"(<character assetref="characters_hero"><puppet><submeshes>
    <submesh meshfile="figure_body.mesh" name="body"/></submeshes></puppet></character>)";
const char* const KEEPER = R"(<character assetref="characters_keeper"><puppet><submeshes>
    <submesh meshfile="figure_head.mesh" name="head"/></submeshes></puppet></character>)";

class CharacterManagerTest : public testing::Test
{
protected:
    CharacterManagerTest()
    {
        MakeTestFigure();
        m_world.LoadChapter(DemoChapterFolder());
        m_world.LoadGameState(DemoNewGameState());
        m_characters.Init(&Scene());
        m_game = Scene().getRootSceneNode()->createChildSceneNode("_game");
        m_game->createChildSceneNode("positions_start", Ogre::Vector3(10, 0, 5));
    }
    Ogre::SceneManager& Scene() const { return m_ogre.SceneManager(); }
    void Parse(const char* xml, const std::string& group)
    {
        TiXmlDocument document;
        document.Parse(xml);
        m_characters.ParseElement(document.RootElement(), group, false);
    }
    cl_ItemAsset& Asset(const std::string& id) { return dynamic_cast<cl_ItemAsset&>(m_world.Asset(id)); }
    void LoadScene() { m_scenes.SetLoadedScene(MakeScene("scenes_tower")); }

    HeadlessOgre m_ogre;
    AssetWorld m_world;
    cl_SceneManager m_scenes{m_world.script};
    cl_CharacterManager m_characters{m_world.script};
    Ogre::SceneNode* m_game;
};

TEST_F(CharacterManagerTest, BuiltCharactersHaveTheirControlsAndWalkOnTheNavmeshTheyAreGiven)
{
    Parse(R"(<character assetref="characters_hero"><controls><movectrl name="move"/><turnctrl name="turn"/>
        </controls></character>)",
          "CHAPTERDATA");
    Parse(KEEPER, "CHAPTERDATA");
    m_characters.LoadChapterCharacters();
    cl_Character* hero = m_characters.GetCharacter("characters_hero");
    cl_Character* keeper = m_characters.GetCharacter("characters_keeper");
    ASSERT_NE(hero, nullptr);
    ASSERT_NE(keeper, nullptr);
    EXPECT_EQ(hero->GetMovementControl(), hero->GetPuppet()->GetControl("move"));
    EXPECT_EQ(hero->GetActivity(), cl_Character::ACTIVITY_INACTIVE) << "read, in no scene yet";

    cl_Navmesh navmesh;
    m_characters.SetNavmesh(&navmesh);
    EXPECT_EQ(hero->GetNavmesh(), &navmesh);
    EXPECT_EQ(keeper->GetNavmesh(), &navmesh);
    m_characters.SetNavmesh(nullptr);
    EXPECT_EQ(hero->GetNavmesh(), nullptr);
}

TEST_F(CharacterManagerTest, BuildsEachCharacterOnceFromItsKeptElement)
{
    Parse(HERO, "CHAPTERDATA");
    Parse(KEEPER, "SPEACHDATA");
    Parse("<character/>", "CHAPTERDATA");
    EXPECT_EQ(m_characters.GetCharacter("characters_hero"), nullptr) << "nothing is built while parsing";

    cl_Character* hero = m_characters.LoadCharacter("characters_hero");
    ASSERT_NE(hero, nullptr);
    EXPECT_EQ(m_characters.LoadCharacter("characters_hero"), hero);
    EXPECT_EQ(hero->GetName(), "characters_hero");
    const st_SubMesh body = hero->GetPuppet()->GetSubMesh("body");
    ASSERT_NE(body.entity, nullptr) << "its puppet read the element's puppet";
    EXPECT_EQ(body.entity->getQueryFlags(), 2u);
    EXPECT_FALSE(hero->GetPuppet()->IsActive()) << "in no scene yet";
    EXPECT_TRUE(m_world.log.Contains("Loading character 'characters_hero'...",
                                     cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_CHARACTER));

    m_world.log.Clear();
    EXPECT_EQ(m_characters.LoadCharacter("characters_nobody"), nullptr);
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u) << "no element, no message";

    m_characters.LoadChapterCharacters();
    ASSERT_NE(m_characters.GetCharacter("characters_keeper"), nullptr);
    m_characters.UnloadGroup("SPEACHDATA");
    EXPECT_EQ(m_characters.GetCharacter("characters_keeper"), nullptr);
    EXPECT_EQ(m_characters.LoadCharacter("characters_keeper"), nullptr) << "its element is forgotten";
    EXPECT_EQ(m_characters.GetCharacter("characters_hero"), hero);

    m_characters.UnloadCharacters();
    EXPECT_EQ(m_characters.GetCharacter("characters_hero"), nullptr);
    EXPECT_NE(m_characters.LoadCharacter("characters_hero"), nullptr) << "the elements stay";
}

TEST_F(CharacterManagerTest, WhatCannotBeBuiltIsLogged)
{
    cl_CharacterManager& characters = m_characters;
    Parse(R"(<item assetref="characters_hero"/>)", "CHAPTERDATA");
    EXPECT_EQ(characters.LoadCharacter("characters_hero"), nullptr);
    EXPECT_TRUE(m_world.log.Contains(
        "Couldn't load character from xml - character node including 'assetref' expected.",
        cl_Logger::LEVEL_ERROR));

    Parse(R"(<character assetref="characters_hero"><puppet><submeshes><submesh meshfile="gone.mesh"/>
             </submeshes></puppet></character>)",
          "CHAPTERDATA");
    cl_Character* hero = characters.LoadCharacter("characters_hero");
    ASSERT_NE(hero, nullptr) << "a character whose mesh is missing is built all the same";
    EXPECT_TRUE(hero->GetPuppet()->GetSubMeshNames().empty());
    EXPECT_TRUE(m_world.log.Contains("The mesh file 'gone.mesh' was not found.", cl_Logger::LEVEL_ERROR));

    characters.Init(nullptr);
    Parse(KEEPER, "CHAPTERDATA");
    EXPECT_EQ(characters.LoadCharacter("characters_keeper"), nullptr);
    EXPECT_TRUE(
        m_world.log.Contains("The character 'characters_keeper' cannot be built before the game's scene "
                             "manager exists.",
                             cl_Logger::LEVEL_ERROR));
}

TEST_F(CharacterManagerTest, AddCharacterPutsTheCharacterIntoTheLoadedSceneOnce)
{
    Parse(HERO, "CHAPTERDATA");
    m_characters.AddCharacter("characters_hero", "positions_start");
    cl_Character* hero = m_characters.GetCharacter("characters_hero");
    ASSERT_NE(hero, nullptr);
    EXPECT_FALSE(hero->GetPuppet()->IsActive()) << "no scene is loaded";

    LoadScene();
    Asset("characters_hero").SetCurrentScene("none");
    m_characters.AddCharacter("characters_hero", "positions_start");
    EXPECT_TRUE(hero->GetPuppet()->IsActive());
    EXPECT_EQ(hero->GetSceneNode()->getParent(), m_game);
    EXPECT_EQ(hero->GetSceneNode()->_getDerivedPosition(), Ogre::Vector3(10, 0, 5));
    EXPECT_EQ(Asset("characters_hero").GetCurrentScene(), "scenes_tower") << "the scene it was put into";

    hero->GetSceneNode()->setPosition(1, 2, 3);
    m_characters.AddCharacter("characters_hero", "positions_start");
    EXPECT_EQ(hero->GetSceneNode()->getPosition(), Ogre::Vector3(1, 2, 3)) << "an active character stays";

    m_characters.RemoveFromScene("characters_hero");
    EXPECT_FALSE(hero->GetPuppet()->IsActive());
    EXPECT_EQ(hero->GetSceneNode()->getParent(), nullptr);
    m_characters.RemoveFromScene("characters_nobody");

    // An unknown location in a loaded scene: the scene's own place for the character (it has none here).
    m_characters.AddCharacter("characters_hero", "positions_nowhere");
    EXPECT_TRUE(hero->GetPuppet()->IsActive());
}

TEST_F(CharacterManagerTest, ToggleNavMeshShowsTheNavmeshTheSceneGaveTheCharactersAndTakesItAwayAgain)
{
    const auto toggle = [this]
    {
        cl_Command cmd("ToggleNavMesh");
        return m_world.script.SendCmd("charactermanager", cmd);
    };
    m_world.log.Clear();
    EXPECT_TRUE(toggle()) << "understood, though there is nothing to show";
    LoadScene();
    toggle();
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 2u) << "no scene, then a scene without navmesh";
    EXPECT_TRUE(m_world.log.Contains("ToggleNavMesh: the characters walk on no navigation mesh to show.",
                                     cl_Logger::LEVEL_WARNING));

    CreateTriangleMesh("walk", {Ogre::Vector3(0, 0, 0), Ogre::Vector3(0, 0, 50), Ogre::Vector3(50, 0, 0)},
                       {0, 1, 2});
    cl_Scene& scene = *m_scenes.GetLoadedScene();
    scene.AddEnvironment("walk", Ogre::Vector3::ZERO, Ogre::Vector3::UNIT_SCALE, Ogre::Quaternion::IDENTITY);
    scene.SetNavmesh("walk");
    toggle();
    EXPECT_TRUE(Scene().hasSceneNode("navDebugView_SceneNode"));
    EXPECT_EQ(Scene().getSceneNode("navDebugView_SceneNode")->getParent(), m_game);
    toggle();
    EXPECT_FALSE(Scene().hasSceneNode("navDebugView_SceneNode"));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 2u);
}
TEST_F(CharacterManagerTest, BorrowersUseTheirLendersPuppetAndGoFirst)
{
    Parse(HERO, "CHAPTERDATA");
    Parse(R"(<character assetref="characters_twin"><puppet external="characters_hero"/></character>)",
          "CHAPTERDATA");
    Parse(R"(<character assetref="characters_orphan"><puppet external="characters_ghost"/></character>)",
          "CHAPTERDATA");
    Parse(R"(<character assetref="characters_a"><puppet external="characters_b"/></character>)",
          "CHAPTERDATA");
    Parse(R"(<character assetref="characters_b"><puppet external="characters_a"/></character>)",
          "CHAPTERDATA");

    EXPECT_EQ(m_characters.LoadCharacter("characters_orphan"), nullptr);
    EXPECT_TRUE(m_world.log.Contains("Couldn't retrieve external puppet.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_characters.GetCharacter("characters_orphan"), nullptr);

    EXPECT_EQ(m_characters.LoadCharacter("characters_a"), nullptr) << "a cycle is refused";
    EXPECT_TRUE(
        m_world.log.Contains("The external puppet 'characters_a' of 'characters_b' would be its own; it "
                             "is refused.",
                             cl_Logger::LEVEL_ERROR));

    cl_Character* twin = m_characters.LoadCharacter("characters_twin");
    ASSERT_NE(twin, nullptr);
    cl_Character* hero = m_characters.GetCharacter("characters_hero");
    ASSERT_NE(hero, nullptr) << "the lender is built first";
    EXPECT_EQ(twin->GetPuppet(), hero->GetPuppet());
    // The twin's destructor touches the shared puppet: it must go first (the sanitizer watches).
    m_characters.UnloadCharacter("characters_hero");
    EXPECT_EQ(m_characters.GetCharacter("characters_twin"), nullptr);
    m_characters.LoadCharacter("characters_twin");
    m_characters.UnloadCharacters();
}

TEST_F(CharacterManagerTest, SpeakersAndCharactersLiveInTheSavedGame)
{
    Parse(HERO, "CHAPTERDATA");
    Parse(KEEPER, "CHAPTERDATA");
    m_characters.LoadChapterCharacters();
    cl_Character* hero = m_characters.GetCharacter("characters_hero");
    cl_Character* keeper = m_characters.GetCharacter("characters_keeper");
    ASSERT_TRUE(m_world.script.ExecuteString("sendcmd('charactermanager', 'MapSpeaker', 'narrator', "
                                             "'characters_keeper')"));
    EXPECT_EQ(m_characters.GetCharacterForSpeaker("narrator"), keeper);
    EXPECT_EQ(m_characters.GetCharacterForSpeaker("characters_hero"), hero);
    m_characters.MapSpeaker("characters_hero", "characters_keeper");
    hero->SetExamineDistance(120.0f);
    hero->SetCustomObjectPosition("positions_start");
    m_characters.NotifyGameStateSaving(&m_world.gameState);
    const std::string saved = m_world.SaveGameState();
    EXPECT_NE(saved.find(R"(<entry speaker="characters_hero" char="characters_keeper" />)"),
              std::string::npos)
        << saved;
    EXPECT_NE(saved.find(R"(exDist="120.000000")"), std::string::npos) << saved;

    m_characters.MapSpeaker("characters_hero", "characters_hero");
    EXPECT_EQ(m_characters.GetCharacterForSpeaker("characters_hero"), hero) << "mapped back to itself";
    m_characters.NotifyGameStateSaving(&m_world.gameState);
    const std::string again = m_world.SaveGameState();
    EXPECT_EQ(again.find(R"(speaker="characters_hero")"), std::string::npos) << "the map is written afresh";

    hero->SetExamineDistance(-1.0f);
    hero->SetCustomObjectPosition("");
    ASSERT_TRUE(m_world.LoadGameState(saved));
    EXPECT_EQ(m_characters.GetCharacterForSpeaker("characters_hero"), keeper);
    EXPECT_EQ(m_characters.GetCharacterForSpeaker("narrator"), keeper);
    EXPECT_EQ(hero->GetExamineDistance(), 120.0f);
    EXPECT_EQ(hero->GetLocationName(), "positions_start");
}

TEST_F(CharacterManagerTest, UnloadingTheCurrentCharactersGroupLeavesNoCurrentCharacter)
{
    Parse(HERO, "SCENEDATA");
    m_characters.LoadChapterCharacters();
    std::vector<cl_Character*> active;
    EXPECT_EQ(m_characters.CollectActiveCharacters(active), 0u);
    LoadScene();
    m_characters.AddCharacter("characters_hero", "positions_start");
    EXPECT_EQ(m_characters.CollectActiveCharacters(active), 1u);
    m_characters.UnloadGroup("SCENEDATA");
    EXPECT_EQ(m_characters.GetCharacter("characters_hero"), nullptr);
    EXPECT_EQ(m_characters.CollectActiveCharacters(active), 0u);
}

TEST_F(CharacterManagerTest, EveryCommandFromLua)
{
    Parse(R"(<character assetref="characters_hero"><puppet><submeshes>
        <submesh meshfile="figure_body.mesh" name="body"/></submeshes></puppet></character>)",
          "CHAPTERDATA");
    m_characters.LoadChapterCharacters();
    cl_Character& hero = *m_characters.GetCharacter("characters_hero");
    const struct
    {
        const char* call;  // the arguments of sendcmd after the receiver
        const char* error; // empty: none
        std::function<bool()> holds;
    } cases[] = {
        {"'AddCharacter', 'characters_hero'", "", [&] { return !hero.GetPuppet()->IsActive(); }},
        {"'RemoveCharacter', 'characters_hero'", "", [&] { return !hero.GetPuppet()->IsActive(); }},
        {"'ToggleNavMesh', 'characters_nobody'", "Character width id 'characters_nobody' couldn't be found.",
         [] { return true; }},
        {"'HideSubMesh', 'characters_hero', 'body'", "",
         [&] { return !hero.GetPuppet()->GetSubMesh("body").node->getParentSceneNode(); }},
        {"'ShowSubMesh', 'characters_hero', 'body'", "",
         [&] { return hero.GetPuppet()->GetSubMesh("body").node->getParentSceneNode(); }},
        {"'HideSubMesh', 1, 'body'",
         "The first parameter in a 'HideSubMesh' command needs to be a character id.", [] { return true; }},
        {"'ShowSubMesh', 'characters_hero'",
         "The second parameter in a 'ShowSubMesh' command needs to be a submesh name.", [] { return true; }},
        {"'HideSubMesh', 'characters_hero', 'tail'",
         "Changing visibility of submesh 'tail' of character 'characters_hero' failed.", [] { return true; }},
        {"'HideSlave', 'characters_hero', 'staff'",
         "Changing visibility of slave 'staff' of character 'characters_hero' failed.", [] { return true; }},
        {"'ShowSlave', 'characters_hero'",
         "The second parameter in a 'ShowSlave' command needs to be a slave name.", [] { return true; }},
        {"'ChangeCertainSlaveMaterial', 'characters_nobody', 'staff', 0, 'm'", "", [] { return true; }},
        {"'SetSubMeshAssetRef', 'characters_hero', 'body', 'items_key'", "",
         [&] { return hero.GetPuppet()->GetSubMesh("body").assetRef == "items_key"; }},
        {"'SetSubMeshAssetRef', 'characters_hero', 'body'",
         "The second parameter in a 'SetSubMeshAssetRef' command needs to be the assetRef.",
         [] { return true; }},
        {"'SetSubMeshAssetRef', 'characters_hero', 'tail', 'x'",
         "Changing assetref of submesh 'tail' of character 'characters_hero' failed.", [] { return true; }},
        {"'ShowBlobShadow', 'characters_hero'", "Showing BlobShadow of character 'characters_hero' failed.",
         [] { return true; }},
        {"'HideBlobShadow'", "The first parameter in a 'HideBlobShadow' command needs to be a character id.",
         [] { return true; }},
        {"'SetFocusTarget', 'characters_hero', 'head', 'hat', 'x'",
         "Puppet characters_hero doesn't have the Bone 'head'!",
         [&] { return hero.GetFocusBone() == "head" && hero.GetFocusSlave().empty(); }},
        {"'SetFocusTarget', 'characters_nobody', 'head'", "Could not set focus target - character not found!",
         [] { return true; }},
        {"'SetSpeachPosition', 'characters_nobody', 'p'",
         "Could not set speach position - character not found!", [] { return true; }},
        {"'SetCustomOP', 'characters_hero', 'positions_start'", "",
         [&] { return hero.GetLocationName() == "positions_start"; }},
        {"'SetCustomOP', 'characters_nobody', 'p'",
         "Could not set custom off position - character not found!", [] { return true; }},
        {"'SetExamineDistance', 'characters_hero', 90", "",
         [&] { return hero.GetExamineDistance() == 90.0f; }},
        {"'SetExamineDistance', 'characters_nobody', 90",
         "Could not set examine distance - character not found!", [] { return true; }},
        {"'Scale', 'characters_hero', 2, 4", "",
         [&] { return hero.IsScaleFading() && hero.GetScaleFadeTarget() == 2.0f; }},
        {"'Scale', 'characters_hero'", "Scaling character failed. Insufficient arguments.",
         [] { return true; }},
        {"'Scale', 'characters_nobody', 2", "Scaling character 'characters_nobody' failed.",
         [] { return true; }},
        {"'MapSpeaker', 'narrator', 'characters_hero'", "",
         [&] { return m_characters.GetCharacterForSpeaker("narrator") == &hero; }},
        {"'StopCharacterAnimation', 'characters_hero'", "", [] { return true; }},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.call);
        m_world.log.Clear();
        EXPECT_TRUE(m_world.script.ExecuteString(std::string("sendcmd('charactermanager', ") + c.call + ")"));
        if (*c.error)
            EXPECT_TRUE(m_world.log.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u)
                << (m_world.log.Lines().empty() ? "" : m_world.log.Lines().back().text);
        EXPECT_TRUE(c.holds());
    }
}
} // namespace
