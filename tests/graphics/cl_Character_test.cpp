#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_CharacterManager.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
class RecordingInitiator final : public ISyncedActionInitiator
{
public:
    void OnDone(int result) override { results.push_back(result); }
    void OnStarted() override { ++started; }
    void TimeOut(float) override {}

    std::vector<int> results;
    int started = 0;
};

TEST(Character, AWalkEndsAtItsTargetAndTellsItsInitiator)
{
    HeadlessOgre ogre;
    Ogre::SceneNode* parent = ogre.SceneManager().getRootSceneNode()->createChildSceneNode();
    parent->setPosition(10, 0, 0);
    cl_Character hero(ogre.SceneManager(), "characters_hero");
    hero.SetLocation(st_ObjectPlacement{parent});
    RecordingInitiator initiator;

    hero.MoveAlongPath(Ogre::Vector3(1, 2, 3), &initiator);
    EXPECT_EQ(hero.GetSceneNode()->_getDerivedPosition(), Ogre::Vector3(1, 2, 3)) << "a world position";
    EXPECT_EQ(initiator.results, std::vector<int>{ISyncedActionInitiator::RESULT_FINISHED});
    EXPECT_EQ(initiator.started, 1) << "told of the start before the end";

    cl_Character ghost(ogre.SceneManager(), nullptr, "characters_ghost");
    ghost.MoveAlongPath(Ogre::Vector3::ZERO, &initiator);
    ghost.MoveAlongPath(Ogre::Vector3::ZERO, nullptr);
    EXPECT_EQ(initiator.results.size(), 2u) << "a character without body arrives as well";
    ghost.StoreTransform();
    EXPECT_FALSE(ghost.HasStoredTransform());
}

TEST(Character, AChangedBusyCountMeansTheCharacterWasJustBusy)
{
    HeadlessOgre ogre;
    cl_Character hero(ogre.SceneManager(), "characters_hero");
    hero.SetIdleTime(3.0f);
    hero.SetBusyCount(0);
    EXPECT_EQ(hero.GetIdleTime(), 3.0f) << "the same count is no change";
    hero.SetBusyCount(1);
    EXPECT_EQ(hero.GetIdleTime(), 0.0f);
}

TEST(CharacterManager, KeepsTheFirstCharacterOfAnIdUntilTheCharactersAreUnloaded)
{
    HeadlessOgre ogre;
    LogCapture log;
    cl_LuaScriptSystem script;
    cl_CharacterManager characters(script);
    cl_Character* first =
        characters.AddCharacter(std::make_unique<cl_Character>(ogre.SceneManager(), "characters_hero"));
    EXPECT_EQ(characters.AddCharacter(std::make_unique<cl_Character>(ogre.SceneManager(), "characters_hero")),
              first);
    EXPECT_TRUE(log.Contains("The character 'characters_hero' exists already."));
    EXPECT_EQ(characters.GetCharacter("characters_hero"), first);
    EXPECT_EQ(characters.GetCharacter("characters_keeper"), nullptr);

    characters.UnloadCharacters();
    EXPECT_EQ(characters.GetCharacter("characters_hero"), nullptr);
}
} // namespace
