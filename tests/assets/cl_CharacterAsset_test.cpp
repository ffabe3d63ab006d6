#include "assets/cl_CharacterAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_TopicAsset.h"
#include "common/cl_Logger.h"
#include "support/AssetWorld.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Ids = std::vector<std::string>;

const char* const SPEECH_COLOUR_ERROR = "Speechcolor of character could not be parsed. Defaulting to Black";

Ids IdsOf(const std::vector<cl_TopicAsset*>& topics)
{
    Ids ids;
    for (const cl_TopicAsset* topic : topics)
        ids.push_back(topic->GetId());
    return ids;
}

TEST(CharacterPool, SpeechColourIsThreeNumbersOrBlack)
{
    const Ogre::ColourValue black = Ogre::ColourValue::Black;
    const struct
    {
        const char* attribute;
        Ogre::ColourValue colour;
        bool logsError;
    } cases[] = {
        {"speechcolor='255,128,0'", Ogre::ColourValue(1.0f, 128 / 255.0f, 0.0f, 1.0f), false},
        {"", Ogre::ColourValue::White, false},
        {"speechcolor='255,128'", black, true},
        {"speechcolor=',128,0'", black, true},
        {"speechcolor='255,,0'", black, true},
        {"speechcolor='255,128,'", black, true},
        {"speechcolor=''", black, true},
        {"speechcolor='red,128,0'", Ogre::ColourValue(0.0f, 128 / 255.0f, 0.0f, 1.0f),
         false}, // no number reads as 0
        {"speechcolor='51,102,153,204'", Ogre::ColourValue(0.2f, 0.4f, 0.6f, 1.0f),
         false}, // blue is "153,204" read as 153
    };
    cl_CharacterPool pool;
    EXPECT_EQ(pool.GetName(), "characters");
    for (const auto& c : cases)
    {
        LogCapture log;
        TiXmlDocument document;
        document.Parse((std::string("<asset id='characters_a' ") + c.attribute + "/>").c_str());
        const std::unique_ptr<cl_Asset> asset = pool.CreateAsset(document.RootElement());
        const auto* character = dynamic_cast<const cl_CharacterAsset*>(asset.get());
        ASSERT_NE(character, nullptr);
        const Ogre::ColourValue& colour = character->GetSpeechColour();
        EXPECT_NEAR(colour.r, c.colour.r, 1e-6) << c.attribute;
        EXPECT_NEAR(colour.g, c.colour.g, 1e-6) << c.attribute;
        EXPECT_NEAR(colour.b, c.colour.b, 1e-6) << c.attribute;
        EXPECT_EQ(colour.a, 1.0f) << c.attribute;
        EXPECT_EQ(log.Contains(SPEECH_COLOUR_ERROR, cl_Logger::LEVEL_ERROR), c.logsError) << c.attribute;
    }
}

TEST(CharacterAsset, IsAThingOfItsOwnType)
{
    const cl_CharacterAsset character;
    EXPECT_EQ(character.GetType(), "character");
    EXPECT_EQ(character.GetThingType(), "character");
    EXPECT_TRUE(character.IsThing());
}

// The keeper's list: exit, a, b (for the hero), c (for characters_other), d (inactive), sub (below a), an id
// no topic has, a topicref-less entry, e (active "TRUE") and unparented (no parentref). characters_mute has
// only an inactive topic, an exit topic and one for characters_other.
class CharacterAssetTest : public testing::Test
{
protected:
    CharacterAssetTest()
    {
        m_world.LoadChapter(QUILLMERE_TEST_DATA "assets/dialog/");
        EXPECT_TRUE(m_world.LoadGameState(ReadTextFile(QUILLMERE_TEST_DATA "assets/dialog/gamestate.xml")));
    }
    cl_CharacterAsset& Character(const std::string& id)
    {
        return dynamic_cast<cl_CharacterAsset&>(m_world.Asset(id));
    }
    cl_TopicAsset* Topic(const std::string& id) { return dynamic_cast<cl_TopicAsset*>(&m_world.Asset(id)); }

    AssetWorld m_world;
};

TEST_F(CharacterAssetTest, ActiveTopicsListNormalTopicsThenExitTopicsForThePlayer)
{
    const struct
    {
        const char* parent;
        const char* player;
        Ids topics;
    } cases[] = {
        {nullptr,
         "characters_hero",
         {"topics_a", "topics_b", "topics_e", "topics_unparented", "topics_exit"}},
        {nullptr,
         "characters_other",
         {"topics_a", "topics_c", "topics_e", "topics_unparented", "topics_exit"}},
        {"topics_a", "characters_hero", {"topics_sub"}},
        {"topics_sub", "characters_hero", {}},
    };
    const cl_CharacterAsset& keeper = Character("characters_keeper");
    EXPECT_EQ(keeper.GetTopics(), (Ids{"topics_exit", "topics_a", "topics_b", "topics_c", "topics_d",
                                       "topics_sub", "topics_missing", "topics_e", "topics_unparented"}));
    for (const auto& c : cases)
    {
        // The list is appended to.
        std::vector<cl_TopicAsset*> topics{Topic("topics_orphan")};
        keeper.GetActiveTopics(c.parent ? Topic(c.parent) : nullptr, c.player, topics);
        Ids expected{"topics_orphan"};
        expected.insert(expected.end(), c.topics.begin(), c.topics.end());
        EXPECT_EQ(IdsOf(topics), expected) << (c.parent ? c.parent : "top level") << " for " << c.player;
    }
    EXPECT_EQ(keeper.CountActiveSubTopics(nullptr, "characters_hero"), 4);
    EXPECT_EQ(keeper.CountActiveSubTopics(Topic("topics_a"), "characters_hero"), 1);
}

TEST_F(CharacterAssetTest, ActiveTopicsCountOnlyNonExitTopLevelTopicsForTheCurrentCharacter)
{
    EXPECT_TRUE(Character("characters_keeper").HasActiveTopics());
    EXPECT_FALSE(Character("characters_mute").HasActiveTopics()) << "inactive, exit or for another character";
    EXPECT_FALSE(Character("characters_other").HasActiveTopics()) << "no topics";

    m_world.gameState.SetCurrentCharacterId("characters_other");
    EXPECT_TRUE(Character("characters_mute").HasActiveTopics());
}

TEST_F(CharacterAssetTest, TalkingWithoutActiveTopicsPlaysTheNoTopicSequence)
{
    const struct
    {
        const char* name;
        const char* forHero;
        const char* forAll;
        const char* talk;
    } cases[] = {
        {"the player's own no-topic sequence first", "sequences_hero", "sequences_all", "sequences_hero"},
        {"else the general one", nullptr, "sequences_all", "sequences_all"},
        {"the player's set to none", "none", "sequences_all", "sequences_all"},
        {"neither: the talk sequence", nullptr, nullptr, "sequences_talk"},
        {"an empty general one: the talk sequence", "none", "", "sequences_talk"},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(m_world.LoadGameState(ReadTextFile(QUILLMERE_TEST_DATA "assets/dialog/gamestate.xml")));
        cl_CharacterAsset& mute = Character("characters_mute");
        if (c.forHero)
            mute.SetNoTopicSequence(c.forHero, "characters_hero");
        if (c.forAll)
            mute.SetNoTopicSequence(c.forAll, "");
        EXPECT_EQ(mute.GetInteractionSequence("talk"), c.talk) << c.name;
    }
    // Other modes follow the item rule.
    EXPECT_EQ(Character("characters_mute").GetInteractionSequence("examine"), "none");
}

TEST_F(CharacterAssetTest, TalkingWithActiveTopicsPlaysTheTalkSequence)
{
    cl_CharacterAsset& keeper = Character("characters_keeper");
    EXPECT_EQ(keeper.GetNoTopicSequence(), "sequences_notopic_hero");
    EXPECT_EQ(keeper.GetInteractionSequence("talk"), "sequences_talk");

    for (const char* id : {"topics_a", "topics_b", "topics_e"})
        Topic(id)->SetActive(false);
    EXPECT_EQ(keeper.GetInteractionSequence("talk"), "sequences_notopic_hero")
        << "the unparented topic does not count as top level here";
}

TEST_F(CharacterAssetTest, TheForbiddenInteractSequenceIsAnInteractionOfItsOwn)
{
    cl_CharacterAsset& keeper = Character("characters_keeper");
    EXPECT_EQ(keeper.GetForbiddenInteractSequence(), "none");
    keeper.SetForbiddenInteractSequence("sequences_no");
    EXPECT_EQ(keeper.GetForbiddenInteractSequence(), "sequences_no");
    EXPECT_EQ(keeper.GetInteractionSequence("forbiddeninteract"), "sequences_no");
}

TEST(CharacterAssetDemo, TheKeeperTalksOfTheTowerThenHasNothingToSay)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    ASSERT_TRUE(world.LoadGameState(DemoNewGameState()));
    auto& keeper = dynamic_cast<cl_CharacterAsset&>(world.Asset("characters_keeper"));
    auto& tower = dynamic_cast<cl_TopicAsset&>(world.Asset("topics_tower"));
    auto& towerKey = dynamic_cast<cl_TopicAsset&>(world.Asset("topics_tower_key"));
    const std::string hero = "characters_hero";

    EXPECT_EQ(keeper.GetSpeechColour(), Ogre::ColourValue(1.0f, 128 / 255.0f, 0.0f));
    EXPECT_EQ(dynamic_cast<cl_CharacterAsset&>(world.Asset(hero)).GetSpeechColour(),
              Ogre::ColourValue(60 / 255.0f, 140 / 255.0f, 1.0f));
    std::vector<cl_TopicAsset*> topics;
    keeper.GetActiveTopics(nullptr, hero, topics);
    EXPECT_EQ(IdsOf(topics), (Ids{"topics_tower", "topics_bye"}));
    EXPECT_EQ(tower.GetTitleRef(), "texts_topic_tower");
    EXPECT_EQ(keeper.GetInteractionSequence("talk"), "sequences_keeper_talk");

    towerKey.SetActive(true);
    EXPECT_TRUE(world.Logic("characters_keeper").IsInState("talkative"));
    topics.clear();
    keeper.GetActiveTopics(&tower, hero, topics);
    EXPECT_EQ(IdsOf(topics), (Ids{"topics_tower_key", "topics_tower_back"}));

    tower.SetActive(false);
    EXPECT_TRUE(world.Logic("characters_keeper").IsInState("quiet"));
    EXPECT_FALSE(keeper.HasActiveTopics()) << "only the exit topic is left at the top";
    EXPECT_EQ(keeper.GetInteractionSequence("talk"), "sequences_keeper_notopic");
    EXPECT_EQ(world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
