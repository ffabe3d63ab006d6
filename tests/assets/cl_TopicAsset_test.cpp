#include "assets/cl_TopicAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "common/cl_Logger.h"
#include "support/AssetWorld.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace
{
std::string DialogFolder()
{
    return QUILLMERE_TEST_DATA "assets/dialog/";
}

// The keeper lists topics_d (and others) and listens to their activation; characters_other has the same
// chart but no topics; topics_orphan is listed by nobody and notes every event its own logic gets.
class TopicAssetTest : public testing::Test
{
protected:
    TopicAssetTest()
    {
        m_world.LoadChapter(DialogFolder());
        EXPECT_TRUE(m_world.LoadGameState(ReadTextFile(DialogFolder() + "gamestate.xml")));
    }
    cl_TopicAsset& Topic(const std::string& id) { return dynamic_cast<cl_TopicAsset&>(m_world.Asset(id)); }
    bool InState(const std::string& id, const std::string& state)
    {
        return m_world.Logic(id).IsInState(state);
    }

    AssetWorld m_world;
};

TEST(TopicAsset, ActiveIsTrueInAnyCase)
{
    const struct
    {
        const char* attribute;
        bool active;
    } cases[] = {
        {"active='true'", true},   {"active='TRUE'", true},
        {"active='True'", true},   {"active='false'", false},
        {"active=''", false},      {"active='yes'", false},
        {"active=' true'", false}, {"", false},
    };
    LogCapture log;
    cl_GameState gameState;
    for (const auto& c : cases)
    {
        TiXmlDocument document;
        document.Parse((std::string("<gamestate><topics><topic idref='topics_a' ") + c.attribute +
                        "/></topics></gamestate>")
                           .c_str());
        ASSERT_TRUE(gameState.ReplaceTree(*document.RootElement()));
        cl_TopicAsset topic;
        topic.SetId("topics_a");
        topic.BindState(&gameState);
        EXPECT_EQ(topic.IsActive(), c.active) << c.attribute;
    }
    EXPECT_TRUE(log.Lines().empty());
}

TEST_F(TopicAssetTest, ActivationEventsReachTheOwningCharacterOnly)
{
    cl_TopicAsset& topic = Topic("topics_d");
    ASSERT_EQ(topic.GetOwningCharacter(), &m_world.Asset("characters_keeper"));

    topic.SetActive(true);
    EXPECT_TRUE(topic.IsActive());
    EXPECT_TRUE(InState("characters_keeper", "told_d")) << "the event carries the topic id";
    EXPECT_TRUE(InState("characters_other", "quiet"));

    topic.SetActive(false);
    EXPECT_EQ(m_world.gameState.GetTopicState("topics_d")->Attribute("active"), std::string("false"));
    EXPECT_TRUE(InState("characters_keeper", "quiet"));
    EXPECT_TRUE(InState("characters_other", "quiet"));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(TopicAssetTest, ATopicNoCharacterListsChangesOnlyItsState)
{
    cl_TopicAsset& orphan = Topic("topics_orphan");
    EXPECT_EQ(orphan.GetOwningCharacter(), nullptr);
    orphan.SetActive(true);
    EXPECT_TRUE(orphan.IsActive());
    for (const char* character : {"characters_keeper", "characters_other"})
        EXPECT_TRUE(InState(character, "quiet")) << character;
    EXPECT_TRUE(InState("topics_orphan", "waiting")) << "its own logic gets no activation event";

    orphan.NotifyChoosen();
    EXPECT_TRUE(InState("topics_orphan", "chosen"));
}

TEST_F(TopicAssetTest, ATopicWhoseCharacterIsGoneSendsNothing)
{
    m_world.poolManager.GetCharacterPool()->DeleteAssets();
    cl_TopicAsset& topic = Topic("topics_d");
    EXPECT_EQ(topic.GetOwningCharacter(), nullptr);
    topic.SetActive(true);
    EXPECT_TRUE(topic.IsActive());
}

TEST_F(TopicAssetTest, StateAccessorsWorkOnTheBoundStateOnly)
{
    cl_TopicAsset& topic = Topic("topics_a");
    topic.SetTitleRef("texts_title");
    topic.SetSequenceRef("sequences_a");
    EXPECT_EQ(topic.GetTitleRef(), "texts_title");
    EXPECT_EQ(topic.GetSequenceRef(), "sequences_a");

    topic.BindState(nullptr);
    topic.SetActive(false);
    EXPECT_EQ(topic.GetTitleRef(), "");
    EXPECT_FALSE(topic.IsActive());
    EXPECT_TRUE(InState("characters_keeper", "quiet")) << "an unbound topic sends nothing";
    EXPECT_EQ(m_world.gameState.GetTopicState("topics_a")->Attribute("active"), std::string("true"));
}

TEST_F(TopicAssetTest, BindingCreatesAMissingTopicStateWithAnError)
{
    ASSERT_TRUE(m_world.LoadGameState("<gamestate/>"));
    EXPECT_TRUE(m_world.log.Contains("No State found for topic 'topics_a'", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(Topic("topics_a").IsActive());
}
} // namespace
