#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Command.h"
#include "common/cl_Logger.h"
#include "gui/ILoadingProgress.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/FunctionReceiver.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Ids = std::vector<std::string>;

cl_Argument Text(const std::string& text)
{
    cl_Argument argument;
    argument.SetString(text);
    return argument;
}

// The demo's first chapter, started as a new game.
class DemoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_world.LoadChapter(DemoChapterFolder());
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
    }
    bool InState(const std::string& id, const std::string& state) { return m_world.Logic(id).IsInState(state); }
    cl_PoolManager& Pools() { return m_world.poolManager; }

    AssetWorld m_world;
};

TEST_F(DemoTest, EveryDemoLogicStartsAndAnswersIsInState)
{
    const struct
    {
        const char* id;
        Ids states;
    } logics[] = {
        {"characters_hero", {"awake", "active", "standing", "calm"}},
        {"items_key", {"lying"}},
        {"items_door", {"door", "locked"}},
        {"scenes_tower", {"lit"}},
    };
    for (const auto& logic : logics)
    {
        ASSERT_TRUE(m_world.Logic(logic.id).HasStateChart()) << logic.id;
        for (const std::string& state : logic.states)
            EXPECT_TRUE(InState(logic.id, state)) << logic.id << " in " << state;
        EXPECT_FALSE(InState(logic.id, "nowhere")) << logic.id;
    }
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u);

    // Every pool read its share of the chapter.
    for (const char* id : {"items_lamp", "texts_key", "topics_tower", "topics_bye", "sequences_take_key"})
        EXPECT_NE(Pools().FindAsset(id), nullptr) << id;
    EXPECT_EQ(Pools().GetSequencePool()->FindAsset("sequences_take_key")->GetType(), "sequence");
    EXPECT_EQ(m_world.Logic("items_key").GetParam("owner"), "characters_hero");
}

TEST_F(DemoTest, TriggersRunAfterTheEventThatEnteredAState)
{
    Pools().SendToAsset(&m_world.Asset("items_key"), "character.Interact", Text("characters_hero"), 0.0f);
    EXPECT_TRUE(InState("items_key", "carried"));
    cl_Argument checks;
    ASSERT_TRUE(m_world.script.ExecuteString("checks = _globals.key_checks"));
    ASSERT_TRUE(m_world.script.GetGlobal("checks", checks));
    EXPECT_EQ(checks.GetInt(), 1);
}

TEST_F(DemoTest, TaggedAssetsComePoolByPoolInIdOrder)
{
    const struct
    {
        const char* tags;
        Ids ids;
    } cases[] = {
        {"tower", {"items_door", "items_key", "items_lamp", "scenes_tower"}},
        {"portable tower", {"items_key"}},
        {"player", {"characters_hero"}},
        {"", {}},
        {"tower  portable tower", {}}, // a double space makes one tag "portable tower" of the rest
    };
    for (const auto& c : cases)
    {
        Ids ids;
        Pools().GetTaggedAssets(c.tags, ids);
        EXPECT_EQ(ids, c.ids) << "'" << c.tags << "'";
    }
}

TEST_F(DemoTest, ADelayedEventFiresWhenItsDelayIsUsedUpInDefaultTime)
{
    Pools().SendToAsset(&m_world.Asset("items_key"), "character.Interact", Text("x"), 2.0f);
    for (int frame = 1; frame <= 3; ++frame)
    {
        m_world.Frames(1, 0.5f);
        EXPECT_TRUE(InState("items_key", "lying")) << "frame " << frame;
    }
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "carried")) << "2.0 - 4 x 0.5 is not above 0";
}

TEST_F(DemoTest, NothingFiresWhileDefaultTimeStands)
{
    // A save may hold an event that is due at once.
    m_world.SaveGameState();
    TiXmlElement* due = new TiXmlElement("delayedevent");
    due->SetAttribute("receiver", "items_key");
    due->SetAttribute("eventstring", "character.Interact");
    due->SetAttribute("delay", "not a number");
    m_world.gameState.GetRoot()->LinkEndChild(due);
    Pools().NotifyGameStateLoaded(&m_world.gameState);
    Pools().SendToAssetDelayed("items_door", "character.Examine", Text(""), 0.5f);

    m_world.gameTime.GetTimeGroup("default").timeFlow = 0.0f;
    m_world.Frames(10, 0.5f);
    EXPECT_TRUE(InState("items_key", "lying"));
    EXPECT_EQ(m_world.script.ExecuteString("assert(_globals.door_examined == nil)"), true);

    m_world.gameTime.GetTimeGroup("default").timeFlow = 1.0f;
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "carried"));
    EXPECT_TRUE(m_world.script.ExecuteString("assert(_globals.door_examined == 1)"));
}

TEST_F(DemoTest, DelayedOnceReplacesThePendingEventAndRestartsItsDelay)
{
    auto pending = [this] {
        const std::string saved = m_world.SaveGameState();
        size_t count = 0;
        for (size_t at = saved.find("<delayedevent"); at != std::string::npos; at = saved.find("<delayedevent", at + 1))
            ++count;
        return count;
    };
    Pools().SendToAssetDelayedOnce("items_key", "character.Interact", Text("first"), 1.0f);
    m_world.Frames(1, 0.5f);
    Pools().SendToAssetDelayedOnce("items_key", "character.Interact", Text("second"), 1.0f);
    EXPECT_EQ(pending(), 1u);
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "lying")) << "the first would have fired now";
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "carried"));
    EXPECT_EQ(pending(), 0u);

    Pools().SendToAssetDelayed("items_key", "item.Used", Text(""), -1.0f);
    EXPECT_FALSE(InState("items_key", "carried")) << "a delay below 0 sends at once";
}

TEST_F(DemoTest, FindAssetLooksAtCharactersBeforeItems)
{
    auto twin = std::make_unique<cl_Asset>();
    twin->SetId("characters_hero");
    ASSERT_TRUE(Pools().GetItemPool()->AddAsset(std::move(twin)));
    EXPECT_EQ(Pools().FindAsset("characters_hero")->GetPool(), Pools().GetCharacterPool());
    EXPECT_EQ(Pools().FindItemOrCharacter("characters_hero")->GetPool(), Pools().GetCharacterPool());
    EXPECT_EQ(Pools().FindItemOrCharacter("items_key")->GetPool(), Pools().GetItemPool());
    EXPECT_EQ(Pools().FindItemOrCharacter("scenes_tower"), nullptr);
    EXPECT_EQ(Pools().FindAsset("nobody"), nullptr);
}

std::string Printed(const TiXmlElement* element)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    if (element)
        element->Accept(&printer);
    return printer.Str();
}

std::string WithoutGlobals(const std::string& gamestate)
{
    TiXmlDocument document;
    document.Parse(gamestate.c_str());
    TiXmlElement* root = document.RootElement();
    if (!root)
        return "(no tree)";
    if (TiXmlElement* globals = root->FirstChildElement("databinding"))
        root->RemoveChild(globals);
    return Printed(root);
}

// The hero asleep with a remembered walk in a cross mood, the key carried and three events pending.
TEST_F(DemoTest, ASaveAndALoadGiveTheSameStatesHistoriesAndPendingEvents)
{
    for (const char* event : {"character.Walk", "character.Annoy", "character.Sleep"})
        Pools().SendToAsset(&m_world.Asset("characters_hero"), event, Text(""), 0.0f);
    Pools().SendToAsset(&m_world.Asset("items_key"), "character.Interact", Text(""), 0.0f);
    cl_Argument number;
    number.SetInt(7);
    cl_Argument table;
    table.SetTable();
    table.GetTable()->GetValue("who")->SetString("hero & co");
    table.GetTable()->GetValue("list")->SetList();
    table.GetTable()->GetValue("list")->GetList()->GetArg(-1)->SetDouble(0.25);
    Pools().SendToAssetDelayed("characters_hero", "character.Wake", number, 1.5f);
    Pools().SendToAssetDelayed("items_door", "character.UseItem", Text("items_key"), 3.0f);
    Pools().SendToAssetDelayed("items_door", "character.Examine", table, 4.0f);
    const std::string saved = m_world.SaveGameState();
    TiXmlElement* root = m_world.gameState.GetRoot();
    EXPECT_EQ(Printed(root->FirstChildElement("delayedevent")),
              "<delayedevent receiver=\"characters_hero\" eventstring=\"character.Wake\" eventdatatype=\"int\" "
              "eventdata=\"7\" delay=\"1.500000\" />");
    EXPECT_EQ(Printed(m_world.gameState.GetLogicState("characters_hero")),
              "<logic idref=\"characters_hero\"><state stateid=\"asleep\" /><history stateid=\"awake_history\">"
              "<state stateid=\"walking\" /><state stateid=\"cross\" /></history></logic>");

    // A new game in between, then the save comes back.
    ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
    EXPECT_TRUE(InState("characters_hero", "standing"));
    ASSERT_TRUE(m_world.LoadGameState(saved));
    EXPECT_EQ(m_world.gameState.GetRoot()->FirstChildElement("delayedevent"), nullptr)
        << "a load takes the events out of the tree";
    EXPECT_TRUE(InState("characters_hero", "asleep"));
    EXPECT_TRUE(InState("items_key", "carried"));
    // The globals are the binding's to keep (and the key's trigger counts every check, loads included).
    EXPECT_EQ(WithoutGlobals(m_world.SaveGameState()), WithoutGlobals(saved)) << "the same states, histories, events";

    m_world.Frames(3, 0.5f);
    EXPECT_TRUE(InState("characters_hero", "walking"));
    EXPECT_TRUE(InState("characters_hero", "cross")) << "woken as he fell asleep";
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u) << "the int data came back as an int";
}
} // namespace
