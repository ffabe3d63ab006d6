#include "statechart/StateChartInterpreter.h"

#include "common/StringHelpers.h"
#include "common/XmlParse.h"
#include "common/cl_Argument.h"
#include "statechart/IStateChartListener.h"
#include "support/LogCapture.h"
#include "support/RecordingDataBinding.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Ids = std::vector<std::string>;
using HistoryMap = StateChartInterpreter::HistoryMap;

const std::string CHARTS = QUILLMERE_TEST_DATA "statechart/charts/";
const std::string OWNER = "door";

StateChartInterpreter::EventData IntData(int value)
{
    auto data = std::make_shared<cl_Argument>();
    data->SetInt(value);
    return data;
}

// Runs a chart for OWNER. Entries and exits ("+id", "-id"; "@owner" added for other owners) and scripts
// ("run ...") go to one trace. A script "send <event>" sends the event to the running owner, and
// "send <event> to <owner>" to another owner.
class StateChartInterpreterTest : public testing::Test, public IStateChartListener
{
protected:
    void NotifyStateEntered(const std::string& stateId, std::string ownerId) override
    {
        trace.push_back("+" + stateId + (ownerId == OWNER ? "" : "@" + ownerId));
    }
    void NotifyStateExited(const std::string& stateId, std::string ownerId) override
    {
        trace.push_back("-" + stateId + (ownerId == OWNER ? "" : "@" + ownerId));
    }

    void Run(std::unique_ptr<StateChartTemplate> chart, IDataBinding* dataBinding = nullptr)
    {
        ASSERT_TRUE(chart);
        interpreter = std::make_unique<StateChartInterpreter>(dataBinding, std::move(chart));
        interpreter->AddListener(this);
        interpreter->AddOwner(OWNER);
        binding.trace = &trace;
        binding.onScript = [this](const std::string& script, const std::string& ownerId)
        {
            if (script.compare(0, 5, "send ") != 0)
                return;
            std::string target;
            std::string event = SplitAtFirst(script.substr(5), " to ", target);
            if (event.empty())
                std::swap(event, target);
            interpreter->SendEvent(event, nullptr, target.empty() ? ownerId : target);
        };
    }
    void RunFile(const std::string& name) { Run(StateChartTemplate::Load(CHARTS + name), &binding); }
    void RunText(const std::string& xml)
    {
        Run(StateChartTemplate::LoadFromText(xml, "inline.scxml"), &binding);
    }
    void Start()
    {
        interpreter->Start(OWNER);
        trace.clear();
        binding.exitsNotified.clear();
    }
    void Send(const std::string& event) { interpreter->SendEvent(event, nullptr, OWNER); }
    Ids Active() const { return interpreter->GetActiveStateIds(OWNER); }

    Ids trace;
    RecordingDataBinding binding;
    std::unique_ptr<StateChartInterpreter> interpreter;
};

TEST_F(StateChartInterpreterTest, EventNamesMatchPatternsCaseInsensitivelyWithWildcards)
{
    struct Case
    {
        const char* pattern;
        const char* event;
        bool fires;
    } cases[] = {
        {"character.Interact", "CHARACTER.interact", true},
        {"character.Interact", "character.Interac", false},
        {"character.*", "character.Interact", true},
        {"character.*", "character.", true},
        {"character.*", "characters", false},
        {"*", "anything", true},
        {"*", "", false},
        {"?", "x", true},
        {"?", "xy", false},
        {"?", "", false},
        {"", "any.Event", true},
        {"", "", true},
        {"*.done", "Quest.DONE", true},
        {"a*b*c", "aXXbYYc", true},
        {"a*b*c", "aXXbYY", false},
        {"*ab", "aab", true},
        {"*b", "abab", true},
        {"a*b", "abc", false},
        {"a?c", "abbc", false},
        {"a**", "a", true},
        {"scene.enter", "scene.enterx", false},
        {"scene.enterx", "scene.enter", false},
        {"scene.enter", "scene.*", false},
    };
    for (const Case& c : cases)
    {
        RunText(Format(R"(<scxml initialstate="s"><state id="s"><transition event="%s" target="t"/></state>)"
                       R"(<state id="t"/></scxml>)",
                       c.pattern));
        Start();
        Send(c.event);
        EXPECT_EQ(interpreter->IsInState("t", OWNER), c.fires)
            << "'" << c.pattern << "' vs '" << c.event << "'";
    }
}

TEST_F(StateChartInterpreterTest, StartEntersAndLeavesTheInitialPseudoState)
{
    RunText(
        R"(<scxml initialstate="a"><state id="a"><onentry><script>enter a</script></onentry></state></scxml>)");
    interpreter->Start(OWNER);
    EXPECT_EQ(trace, (Ids{"+", "-", "+a", "run enter a"}));
    EXPECT_EQ(Active(), Ids{"a"});
}

TEST_F(StateChartInterpreterTest, StartWithoutInitialStateActivatesNothing)
{
    RunText(R"(<scxml><state id="a"><transition target="b"/></state><state id="b"/></scxml>)");
    interpreter->Start(OWNER);
    Send("go");
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(Active().empty());
}

TEST_F(StateChartInterpreterTest, EventlessTransitionWaitsWhenItsStateIsEnteredAsAnAncestor)
{
    RunText(R"(<scxml initialstate="inner"><state id="outer"><transition target="elsewhere"/>)"
            R"(<state id="inner"/></state><state id="elsewhere"/></scxml>)");
    Start();
    EXPECT_EQ(Active(), Ids{"inner"});
    Send("anything");
    EXPECT_EQ(Active(), Ids{"elsewhere"}) << "taken on the first event of any name";
}

TEST_F(StateChartInterpreterTest, EventSentInsideATransitionWaitsForTheCurrentOne)
{
    RunFile("queue.scxml");
    binding.onScript = [this](const std::string& script, const std::string&)
    {
        if (script != "send ping")
            return;
        Send("ping");
        trace.push_back(interpreter->IsInState("c", OWNER) ? "ping taken at once" : "ping waits");
    };
    Start();
    Send("go");
    EXPECT_EQ(trace, (Ids{"-a", "run send ping", "ping waits", "+b", "run entered b", "-b", "+c"}));
}

TEST_F(StateChartInterpreterTest, EventForAnotherOwnerIsProcessedAtOnce)
{
    RunText(R"(<scxml initialstate="a"><state id="a"><transition event="go" target="b">)"
            R"(<script>send go to window</script></transition></state><state id="b"/></scxml>)");
    interpreter->Start("window");
    Start();
    Send("go");
    EXPECT_EQ(trace,
              (Ids{"-a", "run send go to window", "-a@window", "run send go to window", "+b@window", "+b"}));
}

TEST_F(StateChartInterpreterTest, FirstParallelRegionInDocumentOrderWins)
{
    RunText(R"(<scxml initialstate="p"><parallel id="p">)"
            R"(<state id="r1"><initial id="i1"><transition target="r1a"/></initial>)"
            R"(<state id="r1a"><transition event="go" target="r1b"/></state><state id="r1b"/></state>)"
            R"(<state id="r2"><initial id="i2"><transition target="r2a"/></initial>)"
            R"(<state id="r2a"><transition event="go" target="r2b"/></state><state id="r2b"/></state>)"
            R"(</parallel></scxml>)");
    interpreter->Start(OWNER);
    EXPECT_EQ(trace, (Ids{"+", "-", "+p", "+r1", "+r2", "+r1a", "+r2a"}));
    EXPECT_EQ(Active(), (Ids{"r1a", "r2a"}));
    Send("go");
    EXPECT_EQ(Active(), (Ids{"r1b", "r2a"}));
}

TEST_F(StateChartInterpreterTest, SelfTransitionExitsThenEntersButATransitionToAChildDoesNeither)
{
    RunFile("self.scxml");
    Start();
    Send("again");
    EXPECT_EQ(trace, (Ids{"-room", "run exit room", "+room", "run enter room"}));
    EXPECT_EQ(binding.exitsNotified, Ids{"room"});

    trace.clear();
    Send("inside");
    EXPECT_EQ(trace, (Ids{"+corner", "run enter corner"})) << "no active child, so the room's own transition";
    trace.clear();
    Send("inside");
    EXPECT_EQ(trace, (Ids{"-corner", "run exit corner", "+corner", "run enter corner"}));
}

TEST_F(StateChartInterpreterTest, FinalStatesSendDoneForTheirParentAndACompletedParallel)
{
    RunFile("quest.scxml");
    Start();
    EXPECT_EQ(Active(), (Ids{"q1", "o1"}));

    Send("close");
    EXPECT_EQ(trace, (Ids{"-o1", "+odone", "run saw other.Done"})) << "quest is not complete: no all.Done";
    EXPECT_EQ(Active(), (Ids{"q1", "odone"}));

    trace.clear();
    Send("finish");
    EXPECT_EQ(trace, (Ids{"-q1", "+qdone", "run saw quest.Done", "-qdone", "-odone", "-quest", "-other",
                          "-all", "-game", "+end", "-end"}));
    EXPECT_TRUE(Active().empty()) << "a top-level final state ends the chart";
    for (const char* id : {"end", "game", "all", "qdone"})
        EXPECT_FALSE(interpreter->IsInState(id, OWNER)) << id;
    Send("finish");
    EXPECT_EQ(trace.size(), 11u) << "events after the end are dropped";
}

TEST_F(StateChartInterpreterTest, ShallowHistoryRestoresTheChildAndDeepHistoryTheLeaf)
{
    struct Case
    {
        const char* enter;
        Ids activeAfterReturn;
        HistoryMap stored;
    } cases[] = {
        {"shallow", {"sa1"}, {{"sh", {"sa"}}}},
        {"deep", {"da2"}, {{"dh", {"da2"}}}},
    };
    for (const Case& c : cases)
    {
        RunFile("history.scxml");
        Start();
        Send(c.enter);
        EXPECT_EQ(Active().size(), 1u) << c.enter << ": the history's own transition on the first visit";
        Send("next");
        Send("leave");
        EXPECT_EQ(Active(), Ids{"hall"});
        EXPECT_EQ(interpreter->GetHistory(OWNER), c.stored) << c.enter;
        Send(c.enter);
        EXPECT_EQ(Active(), c.activeAfterReturn) << c.enter;
    }
}

TEST_F(StateChartInterpreterTest, RestoreEntersSavedStatesWithoutTheirEntryContent)
{
    RunFile("restore.scxml");
    interpreter->Restore({"", "nowhere", "b1"}, OWNER, {});
    EXPECT_EQ(trace, (Ids{"+b", "+b1"}))
        << "ancestors first, no entry content, empty and unknown ids skipped";
    trace.clear();
    Send("go");
    EXPECT_EQ(trace, (Ids{"-b1", "+b2", "run enter b2"})) << "content runs again after the restore";

    trace.clear();
    interpreter->Stop(OWNER);
    EXPECT_EQ(trace, (Ids{"-b2", "-b", "run exit b"}));
    EXPECT_TRUE(Active().empty());
}

TEST_F(StateChartInterpreterTest, RestoringTheEmptyIdDoesNotStartTheChart)
{
    RunFile("restore.scxml");
    interpreter->Restore({""}, OWNER, {{"", {""}}});
    EXPECT_TRUE(trace.empty());
    EXPECT_TRUE(Active().empty());
    EXPECT_TRUE(interpreter->GetHistory(OWNER).empty());
}

TEST_F(StateChartInterpreterTest, SavedConfigurationAndHistoryRoundTrip)
{
    RunFile("history.scxml");
    Start();
    for (const char* event : {"deep", "next", "leave", "shallow", "next"})
        Send(event);
    const Ids ids = Active();
    const HistoryMap history = interpreter->GetHistory(OWNER);
    EXPECT_EQ(ids, Ids{"sa2"});

    RunFile("history.scxml");
    interpreter->Restore(ids, OWNER, history);
    EXPECT_EQ(Active(), ids);
    EXPECT_EQ(interpreter->GetHistory(OWNER), history);
    Send("leave");
    Send("deep");
    EXPECT_EQ(Active(), Ids{"da2"});
}

TEST_F(StateChartInterpreterTest, ConditionsComeFromTheBindingAndAFailedOneLetsTheTransitionFire)
{
    RunFile("conditions.scxml");
    binding.answers = {{"door.closed", false}};
    Start();
    interpreter->SendEvent("go", IntData(7), OWNER);
    EXPECT_EQ(Active(), Ids{"broken"}) << "a condition the binding cannot evaluate counts as true";
    ASSERT_EQ(binding.conditions.size(), 2u);
    EXPECT_EQ(binding.conditions[0].text, "door.closed");
    EXPECT_EQ(binding.conditions[1].text, "broken(");
    EXPECT_EQ(binding.conditions[1].ownerId, OWNER);
    EXPECT_EQ(binding.conditions[1].eventData, "int 7");
    ASSERT_EQ(binding.scripts.size(), 1u);
    EXPECT_EQ(binding.scripts[0].eventData, "int 7") << "content gets the event data";
}

TEST_F(StateChartInterpreterTest, EmptyConditionsAndAMissingBindingCountAsTrue)
{
    RunFile("conditions.scxml");
    Start();
    Send("free");
    EXPECT_EQ(Active(), Ids{"free"});
    EXPECT_TRUE(binding.conditions.empty()) << "an empty condition never reaches the binding";

    binding.scripts.clear();
    Run(StateChartTemplate::Load(CHARTS + "conditions.scxml"), nullptr);
    Start();
    Send("go");
    EXPECT_EQ(Active(), Ids{"closed"});
    EXPECT_TRUE(binding.scripts.empty());
}

TEST_F(StateChartInterpreterTest, QueuedEventKeepsItsDataAfterTheSenderDropsIt)
{
    RunText(R"(<scxml initialstate="a"><state id="a"><transition event="go" target="b">)"
            R"(<script>send later</script></transition></state>)"
            R"(<state id="b"><transition event="later"><script>later</script></transition></state></scxml>)");
    binding.onScript = [&](const std::string& script, const std::string&)
    {
        if (script == "send later")
            interpreter->SendEvent("later", IntData(3), OWNER);
    };
    Start();
    Send("go");
    ASSERT_EQ(binding.scripts.size(), 2u);
    EXPECT_EQ(binding.scripts[1].eventData, "int 3") << "read after the sender's handle is gone";
}

TEST_F(StateChartInterpreterTest, TransitionsWithoutKnownTargetsOnlyRunTheirContent)
{
    for (const char* target : {"", " target=\"nowhere\""})
    {
        LogCapture log;
        RunText(Format(R"(<scxml initialstate="a"><state id="a"><transition event="go"%s>)"
                       R"(<script>content</script></transition></state></scxml>)",
                       target));
        Start();
        Send("go");
        EXPECT_EQ(trace, Ids{"run content"}) << target;
        EXPECT_EQ(Active(), Ids{"a"}) << target;
    }
}

TEST_F(StateChartInterpreterTest, EventlessCycleIsCutWithAnErrorNamingTheChart)
{
    LogCapture log;
    RunText(R"(<scxml initialstate="a"><state id="a"><transition target="b"/></state>)"
            R"(<state id="b"><transition target="a"/></state></scxml>)");
    interpreter->Start(OWNER);
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(log.Contains("State chart inline.scxml: transitions for owner door nest more than 100 deep"));
    EXPECT_EQ(Active().size(), 1u);
}

TEST_F(StateChartInterpreterTest, EventlessTransitionsThatBranchAreCutAfterABudgetOfTransitions)
{
    // Each level re-enters x twice: without a budget the depth cap alone would allow 2^100 transitions.
    LogCapture log;
    RunText(R"(<scxml initialstate="x"><state id="x"><transition target="x x"/></state></scxml>)");
    interpreter->Start(OWNER);
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(log.Contains("State chart inline.scxml: "));
    EXPECT_LE(trace.size(), 2u * StateChartInterpreter::MAX_TRANSITIONS_PER_STEP + 2u);
    EXPECT_EQ(Active(), Ids{"x"});

    log.Clear();
    Send("again");
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u) << "every step gets its own budget";
}

TEST_F(StateChartInterpreterTest, ScriptThatKeepsReenteringStatesIsCutWithAnErrorNamingTheChart)
{
    LogCapture log;
    RunText(
        R"(<scxml initialstate="a">)"
        R"(<state id="a"><onentry><script>send go</script></onentry><transition event="go" target="b"/></state>)"
        R"(<state id="b"><onentry><script>send go</script></onentry><transition event="go" target="a"/></state>)"
        R"(</scxml>)");
    interpreter->Start(OWNER);
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u);
    EXPECT_TRUE(log.Contains("State chart inline.scxml: owner door keeps sending itself events"));
    EXPECT_EQ(Active().size(), 1u);

    log.Clear();
    Send("go");
    EXPECT_EQ(log.Count(cl_Logger::LEVEL_ERROR), 1u) << "each outermost send is cut again";
}

TEST_F(StateChartInterpreterTest, OwnerRemovedWhileItsEventRunsEndsTheProcessing)
{
    RunText(R"(<scxml initialstate="a"><state id="a"><transition event="go" target="b">)"
            R"(<script>send later</script></transition></state>)"
            R"(<state id="b"><onentry><script>remove</script></onentry>)"
            R"(<transition event="later" target="a"/></state></scxml>)");
    binding.onScript = [this](const std::string& script, const std::string& ownerId)
    {
        if (script == "send later")
            interpreter->SendEvent("later", nullptr, ownerId);
        else if (script == "remove")
            interpreter->RemoveOwner(ownerId);
    };
    Start();
    Send("go");
    EXPECT_EQ(trace, (Ids{"-a", "run send later", "+b", "run remove"}))
        << "the queued event went with the owner";
}

TEST_F(StateChartInterpreterTest, OwnersKeepSeparateConfigurations)
{
    RunFile("restore.scxml");
    Start();
    interpreter->Restore({"b1"}, "window", {});
    EXPECT_EQ(Active(), Ids{"a"});
    EXPECT_EQ(interpreter->GetActiveStateIds("window"), Ids{"b1"});
    EXPECT_FALSE(interpreter->IsInState("b1", OWNER));
    EXPECT_TRUE(interpreter->IsInState("b1", "window"));
    EXPECT_TRUE(interpreter->GetActiveStateIds("never registered").empty());

    interpreter->RemoveOwner(OWNER);
    EXPECT_TRUE(Active().empty());
    EXPECT_TRUE(interpreter->IsInState("b1", "window"));
}

TEST_F(StateChartInterpreterTest, AChartAsDeepAsTheXmlLimitAllowsEntersAndLeavesItsDeepestState)
{
    const int levels = MAX_XML_DEPTH - 2; // below scxml, with a transition inside
    std::string xml = "<scxml initialstate=\"s" + std::to_string(levels) + "\">";
    for (int i = 1; i <= levels; ++i)
        xml += "<state id=\"s" + std::to_string(i) + "\">";
    xml += "<transition event=\"leave\" target=\"out\"/>";
    for (int i = 1; i <= levels; ++i)
        xml += "</state>";
    RunText(xml + "<state id=\"out\"/></scxml>");
    Start();
    EXPECT_TRUE(interpreter->IsInState("s" + std::to_string(levels), OWNER));
    Send("leave");
    EXPECT_EQ(Active(), Ids{"out"});
    EXPECT_EQ(trace.size(), static_cast<size_t>(levels + 1));
}

TEST(StateChartInterpreterSharing, InterpretersOfOneTemplateKeepTheirOwnConfigurations)
{
    const std::shared_ptr<const StateChartTemplate> chart = StateChartTemplate::LoadFromText(
        R"(<scxml initialstate="a">
  <state id="a"><transition event="go" target="b"/></state>
  <state id="b">
    <initial id="b_start"><transition target="b1"/></initial>
    <history id="b_history"><transition target="b1"/></history>
    <state id="b1"><transition event="next" target="b2"/></state>
    <state id="b2"/>
    <transition event="back" target="a"/>
  </state>
</scxml>)",
        "shared.scxml");
    ASSERT_TRUE(chart);
    auto first = std::make_unique<StateChartInterpreter>(nullptr, chart);
    StateChartInterpreter second(nullptr, chart);
    for (StateChartInterpreter* interpreter : {first.get(), &second})
    {
        interpreter->AddOwner(OWNER);
        interpreter->Start(OWNER);
    }

    for (const char* event : {"go", "next", "back", "go"})
        second.SendEvent(event, nullptr, OWNER);
    EXPECT_EQ(second.GetActiveStateIds(OWNER), Ids{"b1"});
    EXPECT_EQ(second.GetHistory(OWNER), (HistoryMap{{"b_history", {"b2"}}}));
    EXPECT_EQ(first->GetActiveStateIds(OWNER), Ids{"a"}) << "the same owner in another interpreter";
    EXPECT_TRUE(first->GetHistory(OWNER).empty());

    first->Restore({"b2"}, OWNER, {});
    EXPECT_EQ(second.GetActiveStateIds(OWNER), Ids{"b1"});

    first.reset();
    second.SendEvent("next", nullptr, OWNER);
    EXPECT_EQ(second.GetActiveStateIds(OWNER), Ids{"b2"}) << "the template outlives the first interpreter";
}
} // namespace
