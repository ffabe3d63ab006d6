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

#include <memory>
#include <string>

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

    m_characters.AddCharacter("characters_hero", "positions_nowhere");
    EXPECT_TRUE(m_world.log.Contains("Location 'positions_nowhere' could not be resolved! Nothing changed!",
                                     cl_Logger::LEVEL_WARNING));
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
    EXPECT_FALSE(toggle());
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
} // namespace
