#include "assets/cl_AssetLogic.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_TopicAsset.h"
#include "common/cl_Logger.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <string>

namespace
{
// The demo's first chapter as a new game, its door and hero given the parameters the commands name.
class PoolManagerCommands : public testing::Test
{
protected:
    void SetUp() override
    {
        m_world.LoadChapter(DemoChapterFolder());
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
        GiveParameters("items_door", "<logic><parameter name='key' assetid='items_key'/>"
                                     "<parameter name='text' assetid='texts_key_on_door'/>"
                                     "<parameter name='seq' assetid='sequences_take_key'/></logic>");
        GiveParameters("characters_hero", "<logic><parameter name='key' assetid='items_key'/>"
                                          "<parameter name='text' assetid='texts_hero'/>"
                                          "<parameter name='seq' assetid='sequences_take_key'/>"
                                          "<parameter name='scene' assetid='scenes_elsewhere'/>"
                                          "<parameter name='keeper' assetid='characters_keeper'/>"
                                          "<parameter name='me' assetid='characters_hero'/>"
                                          "<parameter name='tower' assetid='topics_tower'/>"
                                          "<parameter name='nobody' assetid='characters_nobody'/></logic>");
        m_world.log.Clear();
    }
    void GiveParameters(const std::string& id, const std::string& xml)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        m_world.Logic(id).LoadFromXml(*document.RootElement());
    }
    // What Lua gets back from sendcmd("poolmanager", <arguments>).
    static std::string Send(const std::string& arguments)
    {
        return ReturnedText("return sendcmd('poolmanager', " + arguments + ")");
    }
    cl_ItemAsset& Item(const std::string& id) { return dynamic_cast<cl_ItemAsset&>(m_world.Asset(id)); }
    cl_CharacterAsset& Hero() { return dynamic_cast<cl_CharacterAsset&>(m_world.Asset("characters_hero")); }
    std::string State(const std::string& id, const char* attribute)
    {
        const char* value = m_world.gameState.GetItemState(id)->Attribute(attribute);
        return value ? value : "(none)";
    }
    bool Accepts(const std::string& owner, const std::string& item)
    {
        return m_world.Logic(owner).HasInteractionItem(&m_world.Asset(item));
    }

    AssetWorld m_world;
};

TEST_F(PoolManagerCommands, QueriesAnswerWithTheirResults)
{
    const struct
    {
        const char* name;
        const char* arguments;
        const char* expected;
    } cases[] = {
        {"a parameter resolves to its asset id", "'GetParam', 'items_door', 'key'", "string items_key"},
        {"a name that is no parameter gives the empty id", "'GetParam', 'items_door', 'lock'", "string "},
        {"an asset without logic gives no parameter", "'GetParam', 'items_lamp', 'key'", ""},
        {"the state of a logic", "'AssetInState', 'items_door', 'locked'", "bool true"},
        {"a state the logic is not in", "'AssetInState', 'items_door', 'open'", "bool false"},
        {"an asset without logic is in no state: nil", "'AssetInState', 'items_lamp', 'locked'", ""},
        {"the type of a character", "'GetAssetType', 'characters_hero'", "string character"},
        {"the type of a topic", "'GetAssetType', 'topics_tower'", "string topic"},
        {"a missing asset has no type", "'GetAssetType', 'items_nothing'", ""},
        {"the scene of a character", "'GetCurrentSceneOfCharacter', 'characters_hero'",
         "string scenes_tower"},
        {"an item is no character", "'GetCurrentSceneOfCharacter', 'items_key'", "string none"},
        {"tagged assets become a table of id = id", "'GetTaggedAssets', 'portable'",
         "{string items_key: string items_key}"},
        {"given ids and tagged ones", "'GetTaggedAssets', 'portable', {'x'}",
         "{string items_key: string items_key, string x: string x}"},
        {"no tags and a list of one id", "'GetTaggedAssets', '', {'x'}", "{string x: string x}"},
        {"a given id that is tagged too is there once", "'GetTaggedAssets', 'portable', {a = 'items_key'}",
         "{string items_key: string items_key}"},
        {"the keeper's active top-level topics for the hero",
         "'GetActiveSubTopicCount', 'characters_hero', "
         "'keeper', ''",
         "int 1"},
        {"without a parent argument the top-level topics count too",
         "'GetActiveSubTopicCount', 'characters_hero', 'keeper'", "int 1"},
        {"an inactive sub-topic does not count",
         "'GetActiveSubTopicCount', 'characters_hero', 'keeper', 'tower'", "int 0"},
        {"a subject without logic counts -1", "'GetActiveSubTopicCount', 'items_lamp', 'keeper', ''",
         "int -1"},
        {"the missing asset counts -1", "'GetActiveSubTopicCount', 'items_none', 'keeper', ''", "int -1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Send(c.arguments), c.expected) << c.name;
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u);

    EXPECT_EQ(Send("'GetActiveSubTopicCount', 'characters_hero', 'nobody', ''"), "int -1");
    EXPECT_TRUE(
        m_world.log.Contains("character with id 'characters_nobody' not found", cl_Logger::LEVEL_ERROR));
}

TEST_F(PoolManagerCommands, CommandsChangeTheStateOfTheirSubject)
{
    const struct
    {
        const char* name;
        const char* arguments;
        std::function<std::string()> observe;
        const char* expected;
    } cases[] = {
        {"the name reference is the resolved text", "'SetCurrentCharacterName', 'characters_hero', 'text'",
         [&] { return State("characters_hero", "nameref"); }, "texts_hero"},
        {"the scene is the resolved scene", "'SetCurrentSceneOfCharacter', 'characters_hero', 'scene'",
         [&] { return Hero().GetCurrentScene(); }, "scenes_elsewhere"},
        {"the flags in decimal", "'SetInteractionFlags', 'items_door', 65536.7",
         [&] { return State("items_door", "interactionflags"); }, "65536"},
        {"the mode is the word itself, no parameter", "'SetInteractionMode', 'items_door', 'key'",
         [&] { return Item("items_door").GetInteractionMode(); }, "key"},
        {"the sequence of a mode", "'SetInteractionSequence', 'items_door', 'look', 'seq'",
         [&] { return Item("items_door").GetInteractionSequence("look"); }, "sequences_take_key"},
        {"the forbidden interaction", "'SetNotAllowedInteractionSequence', 'characters_hero', 'seq'",
         [&] { return Hero().GetForbiddenInteractSequence(); }, "sequences_take_key"},
        {"no topic, two arguments", "'SetNoTopicSequence', 'characters_hero', 'seq'",
         [&] { return Hero().GetInteractionSequence("notopic"); }, "sequences_take_key"},
        {"no topic for a player character", "'SetNoTopicSequence', 'characters_hero', 'seq', 'me'",
         [&] { return Hero().GetInteractionSequence("notopic_characters_hero"); }, "sequences_take_key"},
        {"the player argument is read with an extra fourth too",
         "'SetNoTopicSequence', 'characters_hero', 'text', 'me', 'x'",
         [&] { return Hero().GetInteractionSequence("notopic_characters_hero"); }, "texts_hero"},
        {"used by an item", "'SetUsedByInteractionSequence', 'characters_hero', 'key', 'seq'",
         [&] { return Hero().GetUsedBySequence(&m_world.Asset("items_key")); }, "sequences_take_key"},
        {"the mouse-over text without a held item",
         "'SetCurrentMouseOverText', 'items_door', 'text', 'none', ''",
         [&] { return Item("items_door").GetCurrentMouseOverTextId(nullptr); }, "texts_key_on_door"},
        {"a topic made inactive", "'SetTopicActive', 'topics_tower', false",
         [&]
         {
             return std::string(
                 dynamic_cast<cl_TopicAsset&>(m_world.Asset("topics_tower")).IsActive() ? "on" : "off");
         },
         "off"},
        {"an interaction item", "'AddItemToInteractionList', 'characters_hero', 'key'",
         [&] { return std::to_string(Accepts("characters_hero", "items_key")); }, "1"},
        {"an interaction item under a state the subject is in",
         "'AddItemToInteractionList', 'items_key', "
         "'owner', 'lying'",
         [&] { return std::to_string(Accepts("items_key", "characters_hero")); }, "1"},
    };
    for (const auto& c : cases)
    {
        m_world.log.Clear();
        EXPECT_EQ(Send(c.arguments), "") << c.name;
        EXPECT_EQ(c.observe(), c.expected) << c.name;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u) << c.name;
    }
}

TEST_F(PoolManagerCommands, ExtraArgumentsAreIgnoredOtherKindsReadAsDefaultsAndMissingOnesRefuse)
{
    const auto topicActive = [&]
    { return std::to_string(dynamic_cast<cl_TopicAsset&>(m_world.Asset("topics_tower")).IsActive()); };
    const struct
    {
        const char* name;
        const char* arguments;
        std::function<std::string()> observe;
        const char* expected; // null: unchanged
        const char* warning;  // null: none
    } cases[] = {
        {"a topic flag with a third argument", "'SetTopicActive', 'topics_tower', false, 'x'", topicActive,
         "0", nullptr},
        {"a double where an int is read truncates", "'SetInteractionFlags', 'items_door', -3.9",
         [&] { return State("items_door", "interactionflags"); }, "-3", nullptr},
        {"flags that are no number read as 0", "'SetInteractionFlags', 'items_door', 'x'",
         [&] { return State("items_door", "interactionflags"); }, "0",
         "Stored data-type is not an 'int' (nor a 'double')."},
        {"a mode that is no string reads as empty", "'SetInteractionMode', 'items_door', 5",
         [&] { return Item("items_door").GetInteractionMode(); }, "", "Stored data-type is not a 'string'."},
        {"a condition that is no string reads as none", "'AddItemToInteractionList', 'items_door', 'key', 3",
         [&] { return std::to_string(Accepts("items_door", "items_key")); }, "1",
         "Stored data-type is not a 'string'."},
        {"a topic flag given as text reads as false", "'SetTopicActive', 'topics_tower', 'true'", topicActive,
         "0", "Stored data-type is not a 'bool'."},
        {"a subject id that is no string names no asset", "'SetCurrentCharacterName', 7, 'text'",
         [&] { return State("characters_hero", "nameref"); }, nullptr, "Stored data-type is not a 'string'."},
        {"a missing item is refused", "'AddItemToInteractionList', 'characters_hero'",
         [&] { return std::to_string(Accepts("characters_hero", "items_key")); }, nullptr,
         "Receiver 'poolmanager' refused the command 'AddItemToInteractionList': the argument 'string item "
         "param' is missing."},
        {"a missing delay is refused", "'SendToAssetDelayed', 'items_door', 'x', ''",
         [&] { return std::to_string(m_world.PendingEvents()); }, nullptr,
         "Receiver 'poolmanager' refused the command 'SendToAssetDelayed': the argument 'number delay' is "
         "missing."},
    };
    for (const auto& c : cases)
    {
        const std::string before = c.observe();
        m_world.log.Clear();
        EXPECT_EQ(Send(c.arguments), "") << c.name;
        EXPECT_EQ(c.observe(), c.expected ? c.expected : before) << c.name;
        EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), c.warning ? 1u : 0u) << c.name;
        if (c.warning)
            EXPECT_TRUE(m_world.log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.name;
    }
    m_world.log.Clear();
    EXPECT_EQ(Send("'NoSuchCommand', 'items_door'"), "");
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 1u);
}

TEST_F(PoolManagerCommands, CrossreferencedCommandsChangeBothSides)
{
    Send("'AddItemToInteractionListCrossreferenced', 'characters_hero', 'key'");
    EXPECT_TRUE(Accepts("characters_hero", "items_key"));
    EXPECT_TRUE(Accepts("items_key", "characters_hero"));

    Send("'SetUsedByInteractionSequenceCrossreferenced', 'characters_hero', 'key', 'seq', 'calm'");
    EXPECT_EQ(Hero().GetUsedBySequence(&m_world.Asset("items_key")), "sequences_take_key");
    // B's sequence is A's parameter too: the key's own parameters are not consulted.
    Send("'SetCurrentMouseOverTextCrossreferenced', 'characters_hero', 'text', 'key', ''");
    EXPECT_EQ(Hero().GetCurrentMouseOverTextId(&m_world.Asset("items_key")), "texts_hero");
    EXPECT_EQ(Item("items_key").GetCurrentMouseOverTextId(&m_world.Asset("characters_hero")), "texts_hero");

    Send("'RemoveItemFromInteractionListCrossreferenced', 'characters_hero', 'key'");
    EXPECT_FALSE(Accepts("characters_hero", "items_key"));
    EXPECT_FALSE(Accepts("items_key", "characters_hero"));

    // A partner that names nothing changes neither side.
    Send("'AddItemToInteractionListCrossreferenced', 'characters_hero', 'nobody'");
    EXPECT_FALSE(Accepts("characters_hero", "items_key"));
}

TEST_F(PoolManagerCommands, RemovingWithTwoArgumentsTakesTheEntryWithoutCondition)
{
    Send("'AddItemToInteractionList', 'characters_hero', 'key', 'nowhere'");
    Send("'AddItemToInteractionList', 'characters_hero', 'key'");
    ASSERT_TRUE(Accepts("characters_hero", "items_key"));
    Send("'RemoveItemFromInteractionList', 'characters_hero', 'key'");
    EXPECT_FALSE(Accepts("characters_hero", "items_key"));
    // An extra fourth argument is ignored: the condition is read, and only that entry goes.
    Send("'AddItemToInteractionList', 'characters_hero', 'key'");
    Send("'RemoveItemFromInteractionList', 'characters_hero', 'key', 'nowhere', 'x'");
    EXPECT_TRUE(Accepts("characters_hero", "items_key"));

    Send("'AddItemToInteractionList', 'characters_hero', 'key', 'calm'");
    EXPECT_TRUE(Accepts("characters_hero", "items_key"));
    Send("'ClearInteractionList', 'characters_hero'");
    EXPECT_FALSE(Accepts("characters_hero", "items_key"));
}

TEST_F(PoolManagerCommands, DelayedEventsWaitOrGoAtOnce)
{
    Send("'SendToAssetDelayedOnce', 'items_door', 'knock', '', 3");
    m_world.Frames(1, 1.0f);
    Send("'SendToAssetDelayedOnce', 'items_door', 'knock', '', 3");
    EXPECT_EQ(m_world.PendingEvents(), 1u);
    Send("'SendToAssetDelayed', 'items_door', 'knock', '', 2.5");
    EXPECT_EQ(m_world.PendingEvents(), 2u);

    // A delay that is no number reads as 0: sent at once, with a warning.
    m_world.log.Clear();
    Send("'SendToAssetDelayed', 'items_door', 'knock', '', 'soon'");
    EXPECT_EQ(m_world.PendingEvents(), 2u);
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 1u);
}

TEST_F(PoolManagerCommands, AssetsAreReadFromTheirFileAndUpdated)
{
    const std::string text = Send("'GetAsset', 'items_key'");
    EXPECT_NE(text.find("<asset id=\"items_key\""), std::string::npos) << text;
    EXPECT_EQ(text.find("hash"), std::string::npos) << text;
    // The asset's pool brings its element up to date first, as a sequence's pool does with what it keeps.
    cl_Asset& sequence = m_world.Asset("sequences_take_key");
    EXPECT_EQ(Send("'GetAsset', 'sequences_take_key'"),
              "string " + sequence.GetPool()->GetAssetText(&sequence));

    EXPECT_EQ(Send("'GetAsset', 'items_none'"), "");
    EXPECT_TRUE(m_world.log.Contains("Asset 'items_none' not found.", cl_Logger::LEVEL_ERROR));
    m_world.log.Clear();
    Send("'SetAsset', 'items_none', '<asset/>'");
    EXPECT_TRUE(m_world.log.Contains("Asset 'items_none' not found.", cl_Logger::LEVEL_ERROR));
}
} // namespace
