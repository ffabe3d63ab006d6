#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "common/cl_Command.h"
#include "common/cl_Logger.h"
#include "statechart/StateChartTemplate.h"
#include "support/AssetWorld.h"
#include "support/FunctionReceiver.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Ids = std::vector<std::string>;

// Logics over the real Lua binding. Lua's trace(text) appends to m_trace; send(event) sends an event to
// the logic under test through the test receiver, as the pool manager's commands do.
class AssetLogicTest : public testing::Test
{
protected:
    AssetLogicTest()
    {
        m_world.script.ExecuteString("function trace(text) sendcmd('test', 'trace', text) end\n"
                                     "function send(event) sendcmd('test', 'send', event) end");
    }

    std::unique_ptr<cl_AssetLogic> MakeLogic(const std::string& chart, const std::string& id,
                                             const std::string& logicXml = "<logic/>")
    {
        auto logic = std::make_unique<cl_AssetLogic>(StateChartTemplate::LoadFromText(chart, id), id);
        TiXmlDocument document;
        document.Parse(logicXml.c_str());
        logic->LoadFromXml(*document.RootElement());
        return logic;
    }
    // A game-state tree; the logic binds its element.
    void Bind(cl_AssetLogic& logic, const std::string& gamestate = "<gamestate/>")
    {
        ASSERT_TRUE(m_world.LoadGameState(gamestate));
        logic.BindState(&m_world.gameState);
    }
    bool LuaTrue(const std::string& expression)
    {
        cl_ArgList results;
        m_world.script.ExecuteString("return " + expression, results);
        const cl_Argument* result = results.GetArg(0);
        return result && result->GetType() == cl_Argument::TYPE_BOOL && result->GetBool();
    }
    std::string LogicElement(const std::string& id)
    {
        TiXmlPrinter printer;
        printer.SetStreamPrinting();
        m_world.gameState.GetLogicState(id)->Accept(&printer);
        return printer.Str();
    }

    AssetWorld m_world;
    Ids m_trace;
    cl_AssetLogic* m_target = nullptr;
    FunctionReceiver m_receiver{m_world.script, "test",
                                [this](cl_Command& cmd)
                                {
                                    const std::string text = cmd.m_arguments.GetArg(0)->GetString();
                                    if (cmd.m_name == "trace")
                                        m_trace.push_back(text);
                                    else if (m_target)
                                        m_target->SendEvent(text, nullptr);
                                    return true;
                                }};
};

const char* const TWO_ROOMS = R"(<scxml initialstate="hall">
  <state id="hall">
    <transition event="enter" target="room"/>
    <transition event="script"><script>trace('content')</script></transition>
  </state>
  <state id="room">
    <transition event="leave" target="hall"/>
  </state>
</scxml>)";

TEST_F(AssetLogicTest, ParametersKeepTheLaterEntryAndTriggersNeedAName)
{
    const auto logic = MakeLogic(TWO_ROOMS, "items_key",
                                 R"(<logic>
  <parameter name="door" assetid="items_door_old"/>
  <parameter name="door" assetid="items_door"/>
  <parameter name="half"/>
  <trigger condition="true">trace('nameless')</trigger>
  <trigger name="first">trace('first')</trigger>
</logic>)");
    EXPECT_EQ(logic->GetParam("door"), "items_door");
    EXPECT_EQ(logic->GetParam("half"), "");
    EXPECT_EQ(logic->GetParam("unknown"), "");

    Bind(*logic);
    logic->Start();
    logic->CheckTriggers();
    EXPECT_EQ(m_trace, Ids{"first"}) << "a trigger without a condition always runs";
}

TEST_F(AssetLogicTest, TriggersRunAfterAnEventThatEnteredAStateInDocumentOrder)
{
    const auto logic = MakeLogic(TWO_ROOMS, "items_key", R"(<logic>
  <trigger name="one" condition="true">trace('one ' .. this)</trigger>
  <trigger name="never" condition="false">trace('never')</trigger>
  <trigger name="two" condition="_globals == nil or true">trace('two')</trigger>
</logic>)");
    Bind(*logic);
    logic->Start();
    logic->SendEvent("game.Started", nullptr);
    EXPECT_EQ(m_trace, (Ids{"one items_key", "two"})) << "the start entered the first state";

    const struct
    {
        const char* event;
        Ids trace;
    } steps[] = {
        {"unknown", {}},
        {"script", {"content"}},
        {"enter", {"one items_key", "two"}},
        {"enter", {}},
        {"leave", {"one items_key", "two"}},
    };
    for (const auto& step : steps)
    {
        m_trace.clear();
        logic->SendEvent(step.event, nullptr);
        EXPECT_EQ(m_trace, step.trace) << step.event;
    }
}

TEST_F(AssetLogicTest, ATriggerThatKeepsEnteringStatesIsCut)
{
    const auto logic = MakeLogic(TWO_ROOMS, "items_key", R"(<logic>
  <trigger name="pingpong" condition="true">trace('check') send('enter') send('leave')</trigger>
</logic>)");
    m_target = logic.get();
    Bind(*logic);
    logic->Start();
    logic->CheckTriggers();

    EXPECT_TRUE(
        m_world.log.Contains("The triggers of 'items_key' keep entering states", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_trace.size(), static_cast<size_t>(cl_AssetLogic::MAX_TRIGGER_DEPTH));

    m_trace.clear();
    m_target = nullptr;
    logic->SendEvent("enter", nullptr);
    EXPECT_EQ(m_trace, Ids{"check"}) << "the next cascade runs again";
}

TEST_F(AssetLogicTest, StartDefinesTheIdGlobalAndSaysWhenItReplacesAnotherValue)
{
    m_world.script.ExecuteString(
        "items_same = 'items_same' print_copy = print items_number = 5 items_other = 'items_x'");
    const struct
    {
        const char* id;
        bool warned;
    } cases[] = {
        {"items_new", false},   {"items_same", false}, {"print_copy", true},
        {"items_number", true}, {"items_other", true}, {"items_new", false},
    };
    for (const auto& c : cases)
    {
        m_world.log.Clear();
        const auto logic = MakeLogic(TWO_ROOMS, c.id);
        logic->Start();
        EXPECT_TRUE(LuaTrue(std::string(c.id) + " == '" + c.id + "'")) << c.id;
        EXPECT_EQ(m_world.log.Contains("The Lua global '" + std::string(c.id) + "' held another value",
                                       cl_Logger::LEVEL_WARNING),
                  c.warned)
            << c.id;
        EXPECT_TRUE(logic->IsInState("hall")) << "unbound, the chart starts at its initial state";
    }

    cl_AssetLogic chartless(nullptr, "items_chartless");
    chartless.Start();
    EXPECT_TRUE(LuaTrue("items_chartless == nil")) << "a logic without a chart defines no global";
    EXPECT_FALSE(chartless.IsInState("hall"));
}

TEST_F(AssetLogicTest, SavedStatesAndHistoriesRestoreAndAStopForgetsThem)
{
    const char* const chart = R"(<scxml initialstate="hall">
  <state id="hall"><transition event="visit" target="house_history"/></state>
  <state id="house">
    <initial id="house_start"><transition target="kitchen"/></initial>
    <history id="house_history" type="deep"><transition target="kitchen"/></history>
    <state id="kitchen"><transition event="next" target="cellar"/></state>
    <state id="cellar"><onentry><script>trace('enter cellar')</script></onentry></state>
    <transition event="out" target="hall"/>
  </state>
</scxml>)";
    const auto logic = MakeLogic(chart, "scenes_house");
    Bind(*logic);
    logic->Start();
    for (const char* event : {"visit", "next", "out"})
        logic->SendEvent(event, nullptr);
    logic->SaveState();
    const std::string saved = LogicElement("scenes_house");
    EXPECT_EQ(saved, "<logic idref=\"scenes_house\"><state stateid=\"hall\" />"
                     "<history stateid=\"house_history\"><state stateid=\"cellar\" /></history></logic>");

    logic->Stop();
    EXPECT_FALSE(logic->IsInState("hall"));
    m_trace.clear();
    logic->Start();
    EXPECT_TRUE(logic->IsInState("hall"));
    logic->SendEvent("visit", nullptr);
    EXPECT_TRUE(logic->IsInState("cellar")) << "the history came back from the element";

    // A stored element without states starts the chart from its initial state.
    Bind(*logic, "<gamestate><logics><logic idref=\"scenes_house\"><history stateid=\"house_history\">"
                 "<state stateid=\"cellar\"/></history></logic></logics></gamestate>");
    logic->Start();
    EXPECT_TRUE(logic->IsInState("hall"));
}

TEST_F(AssetLogicTest, InteractionItemsFollowTheirConditions)
{
    const auto logic = MakeLogic(TWO_ROOMS, "items_door");
    cl_Asset key;
    key.SetId("items_key");
    cl_Asset coin;
    coin.SetId("items_coin");

    logic->AddInteractionItem("items_key", "");
    EXPECT_FALSE(logic->HasInteractionItem(&key)) << "unbound, nothing is kept";

    Bind(*logic);
    logic->Start();
    logic->AddInteractionItem("items_key", "room");
    logic->AddInteractionItem("items_key", "room");
    logic->AddInteractionItem("", "room");
    EXPECT_FALSE(logic->HasInteractionItem(&key)) << "only while in the room";
    logic->SendEvent("enter", nullptr);
    EXPECT_TRUE(logic->HasInteractionItem(&key));
    logic->SendEvent("leave", nullptr);

    logic->AddInteractionItem("items_key", "");
    logic->AddInteractionItem("items_key", "");
    logic->AddInteractionItem("items_coin", "hall");
    EXPECT_EQ(
        LogicElement("items_door"),
        "<logic idref=\"items_door\"><interactionitem item=\"items_key\" condition=\"room\" />"
        "<interactionitem item=\"items_key\" /><interactionitem item=\"items_coin\" condition=\"hall\" />"
        "</logic>");
    EXPECT_TRUE(logic->HasInteractionItem(&key)) << "through the entry without condition";
    EXPECT_TRUE(logic->HasInteractionItem(&coin));
    EXPECT_FALSE(logic->HasInteractionItem(nullptr));

    logic->RemoveInteractionItem("items_key", "room");
    logic->RemoveInteractionItem("items_coin", "");
    EXPECT_EQ(LogicElement("items_door"),
              "<logic idref=\"items_door\"><interactionitem item=\"items_key\" />"
              "<interactionitem item=\"items_coin\" condition=\"hall\" /></logic>")
        << "a removal matches the condition exactly";

    logic->SaveState();
    logic->ClearInteractionItems();
    EXPECT_EQ(LogicElement("items_door"), "<logic idref=\"items_door\"><state stateid=\"hall\" /></logic>");
}
} // namespace
