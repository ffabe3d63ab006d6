#include "statechart/cl_StateChartSystem.h"

#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "statechart/IStateChartListener.h"
#include "statechart/StateChartInterpreter.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "support/FunctionReceiver.h"
#include "support/ScriptSystemFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Ids = std::vector<std::string>;
using EventData = StateChartInterpreter::EventData;

const std::string CHARTS = QUILLMERE_TEST_DATA "statechart/luacharts/";
const std::string DEMO_CHARTS = QUILLMERE_DEMO_DIR "pimb/chapter1/charts/";
const std::string DOOR = "door";

cl_Argument Text(const std::string& text)
{
    cl_Argument argument;
    argument.SetString(text);
    return argument;
}

EventData TextData(const std::string& text)
{
    return std::make_shared<const cl_Argument>(Text(text));
}

TEST(StateChartSystem, OwnsOneBindingWhileItLives)
{
    EXPECT_EQ(cl_StateChartSystem::GetInstance(), nullptr);
    {
        const cl_StateChartSystem system;
        EXPECT_EQ(cl_StateChartSystem::GetInstance(), &system);
        ASSERT_NE(system.GetDataBinding(), nullptr);
        EXPECT_EQ(system.GetDataBinding(), cl_StateChartSystem::GetInstance()->GetDataBinding());
    }
    EXPECT_EQ(cl_StateChartSystem::GetInstance(), nullptr);
}

// Charts run as the asset logic runs them: with the state-chart system's binding over the real Lua script
// system, each owner's global holding its id. Entries and exits ("+id", "-id"; "@owner" added for owners
// other than "door") and the charts' trace(text) calls go to one trace; send(event[, owner[, data]]) in
// Lua sends an event to an owner (the running one by default) through the test receiver "chart".
class StateChartScenario : public ScriptSystemFixture, public IStateChartListener
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run("_globals = {} this = 'nobody' eventdata = 'none'\n"
            "function trace(text) sendcmd('chart', 'trace', text) end\n"
            "function send(event, owner, data)\n"
            "  if data == nil then sendcmd('chart', 'send', event, owner or this)\n"
            "  else sendcmd('chart', 'send', event, owner or this, data) end\n"
            "end");
    }

    void NotifyStateEntered(const std::string& stateId, std::string ownerId) override
    {
        m_trace.push_back("+" + stateId + (ownerId == DOOR ? "" : "@" + ownerId));
    }
    void NotifyStateExited(const std::string& stateId, std::string ownerId) override
    {
        m_trace.push_back("-" + stateId + (ownerId == DOOR ? "" : "@" + ownerId));
    }

    // Loads the chart for the owner, which gets its global; a chart that does not load runs as an empty one.
    StateChartInterpreter& Load(const std::string& path, const std::string& ownerId = DOOR)
    {
        std::unique_ptr<StateChartInterpreter>& interpreter = m_interpreters[ownerId];
        interpreter = std::make_unique<StateChartInterpreter>(m_charts.GetDataBinding(),
                                                              StateChartTemplate::Load(path));
        interpreter->AddListener(this);
        interpreter->AddOwner(ownerId);
        m_system.SetGlobal(ownerId, Text(ownerId));
        return *interpreter;
    }
    // Loads and starts the chart; the trace starts empty afterwards.
    void Start(const std::string& path, const std::string& ownerId = DOOR)
    {
        Load(path, ownerId).Start(ownerId);
        ExpectBalanced();
        m_trace.clear();
    }
    void Send(const std::string& event, EventData data = nullptr, const std::string& ownerId = DOOR)
    {
        m_interpreters.at(ownerId)->SendEvent(event, std::move(data), ownerId);
        ExpectBalanced();
    }
    Ids Active(const std::string& ownerId = DOOR) const
    {
        return m_interpreters.at(ownerId)->GetActiveStateIds(ownerId);
    }

    cl_StateChartSystem m_charts;
    std::map<std::string, std::unique_ptr<StateChartInterpreter>> m_interpreters;
    Ids m_trace;

private:
    bool Command(cl_Command& cmd)
    {
        if (cmd.m_name == "trace")
            m_trace.push_back(cmd.m_arguments.GetArg(0)->GetString());
        else if (cmd.m_name == "send")
        {
            const std::string ownerId = cmd.m_arguments.GetArg(1)->GetString();
            EventData data;
            if (const cl_Argument* argument = cmd.m_arguments.GetArg(2))
                data = std::make_shared<const cl_Argument>(*argument);
            m_interpreters.at(ownerId)->SendEvent(cmd.m_arguments.GetArg(0)->GetString(), data, ownerId);
        }
        return true;
    }

    const FunctionReceiver m_receiver{m_system, "chart", [this](cl_Command& cmd) { return Command(cmd); }};
};

TEST_F(StateChartScenario, EventNamesMatchPatternsCaseInsensitivelyWithWildcards)
{
    Start(CHARTS + "matching.scxml");
    struct Case
    {
        const char* event;
        const char* traced;
    } cases[] = {
        {"CHARACTER.interact", "character.Interact CHARACTER.interact"},
        {"character.Look", "character.* character.Look"},
        {"Character.", "character.* Character."},
        {"characters", nullptr},
        {"scene.Enter", "scene.???er scene.Enter"},
        {"scene.Entered", nullptr},
        {"Quest.DONE", "*.done Quest.DONE"},
    };
    for (const Case& c : cases)
    {
        m_trace.clear();
        Send(c.event, TextData(c.event));
        EXPECT_EQ(m_trace, c.traced ? Ids{c.traced} : Ids{}) << c.event;
    }
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(StateChartScenario, EventSentFromLuaInsideATransitionWaitsForTheCurrentOne)
{
    Start(CHARTS + "queue.scxml");
    Send("go");
    EXPECT_EQ(m_trace, (Ids{"-a", "ping sent", "+b", "entered b", "-b", "+c"}));
}

TEST_F(StateChartScenario, FirstParallelRegionWinsAndFinalsSendDone)
{
    Start(CHARTS + "quest.scxml");
    EXPECT_EQ(Active(), (Ids{"q1", "o1"}));
    Send("ping");
    EXPECT_EQ(m_trace, Ids{"quest took ping"});

    m_trace.clear();
    Send("close");
    EXPECT_EQ(m_trace, (Ids{"-o1", "+odone", "other.Done"})) << "the parallel is not complete yet";

    m_trace.clear();
    Run("eventdata = 'left from before'");
    Send("finish", TextData("finish data"));
    EXPECT_EQ(m_trace, (Ids{"-q1", "+qdone", "quest.Done, eventdata left from before", "-qdone", "-odone",
                            "-quest", "-other", "-all", "-game", "all.Done", "+end", "the end", "-end"}))
        << "a .Done event has no data of its own";
    EXPECT_TRUE(Active().empty()) << "a top-level final state ends the chart";
}

TEST_F(StateChartScenario, SelfTransitionRunsExitThenEntry)
{
    Start(CHARTS + "room.scxml");
    Send("again");
    EXPECT_EQ(m_trace, (Ids{"-room", "exit room", "+room", "enter room"}));
    m_trace.clear();
    Send("inside");
    EXPECT_EQ(m_trace, (Ids{"+corner", "enter corner"})) << "a transition to its own child leaves the room";
}

TEST_F(StateChartScenario, ShallowHistoryReturnsToTheChildAndDeepHistoryToTheLeaf)
{
    struct Case
    {
        const char* enter;
        Ids traceOfReturn;
    } cases[] = {
        {"shallow", {"-hall", "+shallowwing", "enter shallowwing", "+sh", "-sh", "+sa", "+sa1", "enter sa1"}},
        {"deep", {"-hall", "+deepwing", "enter deepwing", "+dh", "-dh", "+da", "+da2", "enter da2"}},
    };
    for (const Case& c : cases)
    {
        Start(CHARTS + "history.scxml");
        for (const char* event : {c.enter, "next", "leave"})
            Send(event);
        m_trace.clear();
        Send(c.enter);
        EXPECT_EQ(m_trace, c.traceOfReturn) << c.enter;
    }
}

TEST_F(StateChartScenario, RestoreRunsNoEntryContentButEvaluatesConditions)
{
    Load(CHARTS + "history.scxml", "window").Restore({"sa2"}, "window", {});
    EXPECT_EQ(m_trace, (Ids{"+shallowwing@window", "+sa@window", "+sa2@window"}));

    m_trace.clear();
    Run("_globals.skip = true");
    Load(CHARTS + "history.scxml", "tower").Restore({"da2"}, "tower", {});
    EXPECT_EQ(m_trace,
              (Ids{"+deepwing@tower", "+da@tower", "+da2@tower", "-da2@tower", "+da1@tower", "enter da1"}))
        << "the eventless transition of da2 holds, and the state it enters runs its content";
    ExpectBalanced();
}

TEST_F(StateChartScenario, ConditionsThatCannotBeEvaluatedLetTheirTransitionFire)
{
    Start(CHARTS + "conditions.scxml");
    struct Case
    {
        const char* event;
        const char* data;
        bool fires;
        bool reported;
    } cases[] = {
        {"undefined", nullptr, false, false}, {"number", nullptr, true, true},
        {"syntax", nullptr, true, true},      {"numberthenbool", nullptr, false, false},
        {"eventdata", "key", true, false},    {"this", nullptr, true, false},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        Run("taken = 0");
        Send(c.event, c.data ? TextData(c.data) : nullptr);
        EXPECT_EQ(Value("taken"), c.fires ? "1" : "0") << c.event;
        EXPECT_EQ(m_capture.Contains("A condition could not be evaluated", cl_Logger::LEVEL_ERROR),
                  c.reported)
            << c.event;
        if (!c.reported)
        {
            EXPECT_TRUE(m_capture.Lines().empty()) << c.event;
        }
    }

    m_charts.GetDataBinding()->SetDisabled(true);
    Run("taken = 0");
    for (const char* event : {"number", "this"})
        Send(event);
    EXPECT_EQ(Value("taken"), "0") << "a disabled binding answers false";
}

TEST_F(StateChartScenario, ThisAndEventdataAreRestoredAfterNestedRuns)
{
    Start(CHARTS + "nested.scxml", "window");
    Start(CHARTS + "nested.scxml");
    Send("go", TextData("ring"));
    EXPECT_EQ(m_trace,
              (Ids{"door before: door, ring", "window sees: window, from door", "door after: door, ring"}));
    EXPECT_EQ(Value("this .. ', ' .. eventdata"), "nobody, none");
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(StateChartScenario, BadChartsAreLoggedWithTheirNameAndRunWithoutHarm)
{
    struct Case
    {
        const char* file;
        const char* logged;
        bool settles;
        Ids traceOfGo;
    } cases[] = {
        {"bad_xml.scxml", ": Error reading end tag. (row 5, column 3)", true, {}},
        {"bad_utf8.scxml", ": Error parsing Element. (row 2, column 47)", true, {}},
        {"bad_target.scxml",
         ": a transition of state 'a' names the unknown state 'nowhere'",
         true,
         {"went nowhere"}},
        {"bad_duplicate.scxml", ": the state id 'b' is used more than once", true, {"-a", "+b", "second b"}},
        {"bad_cycle.scxml", ": transitions for owner door nest more than 100 deep", false, {}},
        {"bad_reenter.scxml", ": owner door keeps sending itself events", false, {}},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        Start(CHARTS + c.file);
        EXPECT_TRUE(m_capture.Contains("State chart " + CHARTS + c.file + c.logged)) << c.file;
        Send("go");
        if (c.settles)
        {
            EXPECT_EQ(m_trace, c.traceOfGo) << c.file;
        }
    }
}

TEST_F(StateChartScenario, DemoChartsPlayTheTowerDoorAndItsKey)
{
    Start(DEMO_CHARTS + "door.scxml", "items_door");
    Start(DEMO_CHARTS + "key.scxml", "items_key");
    auto door = [this](const std::string& event, const char* data = nullptr)
    { Send(event, data ? TextData(data) : nullptr, "items_door"); };

    door("character.Interact");
    door("character.UseItem", "items_stone");
    EXPECT_EQ(Active("items_door"), Ids{"locked"}) << "only the key unlocks the door";
    door("character.UseItem", "items_key");
    EXPECT_EQ(Active("items_door"), Ids{"closed"}) << "through the eventless transition of unlocking";
    std::string asked;
    const auto note = [&asked](cl_Command& cmd)
    {
        asked += cmd.m_name + " ";
        for (int i = 0; i < cmd.m_arguments.GetSize(); ++i)
            asked += cmd.m_arguments.GetArg(i)->GetString() + " ";
        return true;
    };
    const FunctionReceiver items(m_system, "itemmanager", note);
    door("character.Interact");
    EXPECT_EQ(Value("_globals.door"), "open");
    EXPECT_EQ(asked, "PlayItemAnimation items_door skeletal/open ") << "the door swings open";

    m_trace.clear();
    asked.clear();
    const FunctionReceiver game(m_system, "game", note);
    const FunctionReceiver pools(m_system, "poolmanager", note);
    door("character.Examine");
    EXPECT_EQ(Active("items_door"), Ids{"open"}) << "the history returns to the open door";
    EXPECT_EQ(Value("_globals.door_examined"), "1");
    EXPECT_EQ(asked, "AddChoice items_door door.Wait wait AddChoice items_door door.Knock knock QueryChoice "
                     "items_door ");
    door("door.Knock");
    EXPECT_EQ(Value("_globals.door_answer"), "knock");
    EXPECT_EQ(Active("items_door"), Ids{"open"}) << "the answer leaves the door as it was";

    door("character.Enter");
    EXPECT_TRUE(Active("items_door").empty()) << "door.Done leads to the final state that ends the chart";
    EXPECT_EQ(Value("_globals.door"), "gone");

    asked.clear();
    Send("character.Interact", nullptr, "items_key");
    EXPECT_EQ(asked, "SetInteractionMode items_key use AddCharacterToParty characters_keeper ")
        << "the key carried is used from the inventory, and the keeper joins the party";
    Send("item.Used", nullptr, "items_key");
    EXPECT_TRUE(Active("items_key").empty());
    EXPECT_EQ(Value("_globals.key_taken and _globals.key_used"), "true");
    EXPECT_TRUE(m_capture.Lines().empty());
}
} // namespace
