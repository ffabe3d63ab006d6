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

// The demo's first chapter, started as a new game; what its charts ask of the receiver "game" is noted as
// "<command> <arguments>".
class DemoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_world.LoadChapter(DemoChapterFolder());
        ASSERT_TRUE(m_world.LoadGameState(DemoNewGameState()));
    }
    bool InState(const std::string& id, const std::string& state)
    {
        return m_world.Logic(id).IsInState(state);
    }
    cl_PoolManager& Pools() { return m_world.poolManager; }

    AssetWorld m_world;
    Ids m_gameCommands;
    FunctionReceiver m_game{m_world.script, "game",
                            [this](cl_Command& cmd)
                            {
                                std::string noted = cmd.m_name;
                                for (int index = 0; index < cmd.m_arguments.GetSize(); ++index)
                                    noted += " " + cmd.m_arguments.GetArg(index)->GetString();
                                m_gameCommands.push_back(noted);
                                return false;
                            }};
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
    EXPECT_EQ(m_gameCommands, Ids{"SetCurrentHint characters_hero texts_tower_hint"})
        << "the tower gives the hero a hint as the game starts";

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
    Pools().SendToAssetDelayedOnce("items_key", "character.Interact", Text("first"), 1.0f);
    m_world.Frames(1, 0.5f);
    Pools().SendToAssetDelayedOnce("items_key", "character.Interact", Text("second"), 1.0f);
    EXPECT_EQ(m_world.PendingEvents(), 1u);
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "lying")) << "the first would have fired now";
    m_world.Frames(1, 0.5f);
    EXPECT_TRUE(InState("items_key", "carried"));
    EXPECT_EQ(m_world.PendingEvents(), 0u);

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
    EXPECT_EQ(
        Printed(root->FirstChildElement("delayedevent")),
        "<delayedevent receiver=\"characters_hero\" eventstring=\"character.Wake\" eventdatatype=\"int\" "
        "eventdata=\"7\" delay=\"1.500000\" />");
    EXPECT_EQ(
        Printed(m_world.gameState.GetLogicState("characters_hero")),
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
    EXPECT_EQ(WithoutGlobals(m_world.SaveGameState()), WithoutGlobals(saved))
        << "the same states, histories, events";

    m_world.Frames(3, 0.5f);
    EXPECT_TRUE(InState("characters_hero", "walking"));
    EXPECT_TRUE(InState("characters_hero", "cross")) << "woken as he fell asleep";
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 0u) << "the int data came back as an int";
}
// A chapter of its own in a temporary folder. Lua reaches the pool manager through the test receiver:
// trace(text), send(id, event[, data]), once(id, event, delay), remove(id, event).
class ChapterTest : public testing::Test
{
protected:
    ChapterTest()
    {
        m_world.script.ExecuteString(
            "function trace(text) sendcmd('test', 'trace', text) end\n"
            "function send(id, event, data) if data == nil then sendcmd('test', 'send', id, event)\n"
            "  else sendcmd('test', 'send', id, event, data) end end\n"
            "function once(id, event, delay) sendcmd('test', 'once', id, event, delay) end\n"
            "function remove(id, event) sendcmd('test', 'remove', id, event) end");
    }

    std::string Folder(const std::string& sub = "chapter") const { return m_folder.PathOf(sub) + "/"; }
    void Write(const std::string& relative, const std::string& text) const
    {
        m_folder.WriteFile(relative, text);
    }
    // An asset file chapter/<pool>/<id>.xml for an asset whose logic runs the chart text.
    void Charted(const std::string& pool, const std::string& id, const std::string& chart) const
    {
        Write("chapter/charts/" + id + ".scxml", chart);
        Write("chapter/" + pool + "/" + id + ".xml",
              "<asset id=\"" + id + "\"><logic statechart=\"charts/" + id + ".scxml\"/></asset>");
    }
    void Start(const std::string& gamestate = "<gamestate/>")
    {
        m_world.LoadChapter(Folder());
        ASSERT_TRUE(m_world.LoadGameState(gamestate));
        m_trace.clear();
    }
    cl_PoolManager& Pools() { return m_world.poolManager; }

    TemporaryFolder m_folder;
    AssetWorld m_world;
    Ids m_trace;
    FunctionReceiver m_receiver{
        m_world.script, "test",
        [this](cl_Command& cmd)
        {
            const cl_ArgList& args = cmd.m_arguments;
            auto text = [&args](int index) { return args.GetArg(index)->GetString(); };
            if (cmd.m_name == "trace")
                m_trace.push_back(text(0));
            else if (cmd.m_name == "send")
            {
                // The data lives on this stack only; the chart may still need it after the send returns.
                const cl_Argument data = args.GetSize() > 2 ? *args.GetArg(2) : cl_Argument();
                Pools().SendToAsset(Pools().FindAsset(text(0)), text(1), data, 0.0f);
            }
            else if (cmd.m_name == "once")
                Pools().SendToAssetDelayedOnce(text(0), text(1), cl_Argument(),
                                               static_cast<float>(args.GetArg(2)->GetDouble()));
            else if (cmd.m_name == "remove")
                Pools().RemoveDelayedEvents(text(0), text(1));
            return true;
        }};
};

TEST_F(ChapterTest, EventDataOfNestedSendsStaysValid)
{
    Charted("items", "items_a", R"(<scxml initialstate="idle">
  <state id="idle">
    <transition event="go" target="busy"><script>
      send('items_a', 'self', 'queued data')
      send('items_b', 'inner', 'inner data')
      trace('a after: ' .. eventdata)
    </script></transition>
  </state>
  <state id="busy">
    <transition event="self"><script>trace('a self: ' .. eventdata)</script></transition>
  </state>
</scxml>)");
    Charted("items", "items_b", R"(<scxml initialstate="idle">
  <state id="idle"><transition event="inner"><script>trace('b: ' .. eventdata)</script></transition></state>
</scxml>)");
    Start();
    {
        auto outer = std::make_unique<cl_Argument>(Text("outer data"));
        Pools().SendToAsset(Pools().FindAsset("items_a"), "go", *outer, 0.0f);
    }
    EXPECT_EQ(m_trace, (Ids{"b: inner data", "a after: outer data", "a self: queued data"}))
        << "the event sent to the busy chart waited with its own data";
}

TEST_F(ChapterTest, AHandlerThatQueuesItsOwnEventAgainKeepsOneRecordPending)
{
    Charted("items", "items_clock", R"(<scxml initialstate="ticking">
  <state id="ticking"><transition event="tick"><script>trace('tick') once('items_clock', 'tick', 1.0)</script></transition></state>
</scxml>)");
    Start();
    Pools().SendToAssetDelayedOnce("items_clock", "tick", cl_Argument(), 1.0f);
    Ids frames;
    for (int frame = 1; frame <= 20; ++frame)
    {
        m_trace.clear();
        m_world.Frames(1, 0.25f);
        if (!m_trace.empty())
            frames.push_back(std::to_string(frame));
        EXPECT_EQ(m_world.PendingEvents(), 1u) << "frame " << frame;
    }
    // The new record is visited in the walk that queued it, so it loses that frame's time at once.
    EXPECT_EQ(frames, (Ids{"4", "7", "10", "13", "16", "19"}));
}

TEST_F(ChapterTest, RecordsRemovedDuringTheWalkLeaveTheOthersCounted)
{
    Charted("items", "items_a", R"(<scxml initialstate="s">
  <state id="s">
    <transition event="go"><script>trace('go') remove('items_a', 'far')</script></transition>
    <transition event="later"><script>trace('later')</script></transition>
    <transition event="far"><script>trace('far')</script></transition>
  </state>
</scxml>)");
    Start();
    Pools().SendToAssetDelayed("items_a", "far", cl_Argument(), 5.0f);
    Pools().SendToAssetDelayed("items_a", "go", cl_Argument(), 0.5f);
    Pools().SendToAssetDelayed("items_a", "later", cl_Argument(), 0.5f);
    m_world.Frames(1, 0.5f);
    EXPECT_EQ(m_trace, (Ids{"go", "later"}));
    EXPECT_EQ(m_world.PendingEvents(), 0u);
}

TEST_F(ChapterTest, ALoadStopsBindsRestoresAndStartsEveryPoolInTurn)
{
    const std::string chart = R"(<scxml initialstate="start">
  <state id="start">
    <onentry><script>trace('restore ' .. this .. ' sees ' .. tostring(_globals.mark))</script></onentry>
    <onexit><script>trace('stop ' .. this)</script></onexit>
    <transition event="game.Started"><script>trace('started ' .. this)</script></transition>
  </state>
</scxml>)";
    Charted("scenes", "scenes_b", chart);
    Charted("items", "items_a", chart);
    const std::string gamestate = R"(<gamestate><databinding><_globals I="S" V="T">
  <mark I="S" V="S">saved</mark></_globals></databinding></gamestate>)";
    const Ids expected = {"restore items_a sees saved", "restore scenes_b sees saved", "started items_a",
                          "started scenes_b"};
    Start(gamestate);
    m_world.script.ExecuteString("_globals.mark = 'live'");
    ASSERT_TRUE(m_world.LoadGameState(gamestate));
    EXPECT_EQ(m_trace, expected) << "the stop runs no content; globals come back before the charts start";
}

class RecordingProgress final : public ILoadingProgress
{
public:
    void OnDataLoadStarted(int count) override { calls.push_back("begin " + std::to_string(count)); }
    void OnDataLoaded() override { calls.push_back("step"); }
    void OnDataLoadEnded() override { calls.push_back("end"); }
    Ids calls;
};

TEST_F(ChapterTest, AChapterSwitchReplacesTheAssetsChapterFirstThenCommon)
{
    Charted("items", "items_a", R"(<scxml initialstate="s"><state id="s">
  <onexit><script>trace('exit')</script></onexit></state></scxml>)");
    Write("chapter/items/shared.xml", "<asset id=\"items_shared\" name=\"chapter\"/>");
    Write("common/items.xml", "<assetpool><asset id=\"items_shared\" name=\"common\"/>"
                              "<asset id=\"items_common\"/></assetpool>");
    Write("other/texts.xml", "<assetpool><asset id=\"texts_other\"/></assetpool>");
    RecordingProgress progress;
    m_world.LoadChapter(Folder(), Folder("common"), &progress);
    ASSERT_TRUE(m_world.LoadGameState("<gamestate/>"));

    Ids expected = {"begin 10"};
    expected.insert(expected.end(), 10, "step");
    expected.push_back("end");
    EXPECT_EQ(progress.calls, expected);
    EXPECT_EQ(Pools().FindAsset("items_shared")->GetName(), "chapter");
    EXPECT_NE(Pools().FindAsset("items_common"), nullptr);
    EXPECT_TRUE(
        m_world.log.Contains("Duplicate asset id 'items_shared' in " + Folder("common") + "items.xml"));

    m_trace.clear();
    m_world.LoadChapter(Folder("other"), Folder("common"));
    EXPECT_EQ(Pools().FindAsset("items_a"), nullptr);
    EXPECT_NE(Pools().FindAsset("texts_other"), nullptr);
    EXPECT_EQ(Pools().FindAsset("items_shared")->GetName(), "common");
    EXPECT_EQ(m_trace, Ids{}) << "deleted charts run no exit content";
}

TEST_F(ChapterTest, AClearedTreeIsLetGoOf)
{
    Charted("items", "items_a", R"(<scxml initialstate="s"><state id="s"/></scxml>)");
    Start();
    cl_AssetLogic& logic = m_world.Logic("items_a");
    cl_Asset key;
    key.SetId("items_key");
    logic.AddInteractionItem("items_key", "");
    ASSERT_TRUE(logic.HasInteractionItem(&key));

    m_world.gameState.Clear();
    logic.AddInteractionItem("items_key", "");
    logic.SaveState();
    EXPECT_FALSE(logic.HasInteractionItem(&key));
    EXPECT_TRUE(logic.IsInState("s")) << "the chart runs on";
}
} // namespace
