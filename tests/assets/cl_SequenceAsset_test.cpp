#include "assets/cl_SequenceAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_TimelineActionTrigger.h"
#include "common/cl_SyncManager.h"
#include "platform/GameRand.h"
#include "statechart/StateChartTemplate.h"
#include "support/ArgumentText.h"
#include "support/AssetWorld.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
// Sequences over real Lua with an owner whose chart notes in the Lua string "heard" the events it gets.
class SequenceTest : public testing::Test
{
protected:
    SequenceTest()
    {
        m_owner.Start();
        EXPECT_TRUE(m_world.script.ExecuteString("heard = '' order = ''"));
    }

    std::unique_ptr<cl_SequenceAsset> Read(const std::string& xml)
    {
        std::unique_ptr<cl_SequenceAsset> sequence = ReadSequence(m_pool, xml);
        sequence->SetOwnerLogic(&m_owner);
        return sequence;
    }
    static std::string Lua(const std::string& expression) { return ReturnedText("return " + expression); }
    // A script action that appends its id to the Lua string "order".
    static std::string Script(const std::string& id)
    {
        return "<action id='" + id + "' type='ScriptAction'>order = order .. '" + id + " '</action>";
    }

    AssetWorld m_world;
    cl_SyncManager m_sync;
    cl_SequencePool m_pool;
    cl_AssetLogic m_owner{
        StateChartTemplate::LoadFromText(
            "<scxml initialstate='s'><state id='s'>"
            "<transition event='sequence.Done'><script>heard = heard .. 'Done '</script></transition>"
            "<transition event='sequence.Abort'><script>heard = heard .. 'Abort '</script>"
            "</transition></state></scxml>",
            "owner.scxml"),
        "owner"};
};

// A seed after which GameRand draws value first.
unsigned int SeedDrawing(int value)
{
    for (unsigned int seed = 0;; ++seed)
    {
        platform::GameSrand(seed);
        if (platform::GameRand() == value)
        {
            platform::GameSrand(seed);
            return seed;
        }
    }
}
} // namespace

TEST_F(SequenceTest, ActionsFinishingInsideTheirStartAreActivatedOneAfterAnotherNotWithinEachOther)
{
    cl_SequenceAsset sequence;
    std::vector<std::string> trace;
    std::vector<cl_SeqAction*> actions;
    for (const char* id : {"A", "B", "C"})
    {
        auto action = std::make_unique<DepthAction>(id, trace);
        actions.push_back(action.get());
        sequence.AddAction(std::move(action));
    }
    for (size_t index = 0; index + 1 < actions.size(); ++index)
    {
        auto trigger = std::make_unique<cl_TimelineActionTrigger>("", cl_TimelineActionTrigger::ON_DONE);
        trigger->AddInput(actions[index]);
        trigger->AddOutput(actions[index + 1]);
        sequence.AddTrigger(std::move(trigger));
    }
    sequence.Start();
    EXPECT_EQ(trace, (std::vector<std::string>{"A@1", "B@1", "C@1"}));
    EXPECT_FALSE(sequence.IsStopped()) << "the end is noticed at the next check";
    sequence.Update(0.0f);
    EXPECT_TRUE(sequence.IsStopped());
}

TEST_F(SequenceTest, APendingDelayedTriggerKeepsTheSequenceAliveAndTheOwnerHearsTheEndOnce)
{
    std::unique_ptr<cl_SequenceAsset> sequence =
        Read("<asset id='s'>" + Script("A") + Script("B") +
             "<tarqstructure><trigger type='Delayed' delay='3'><input actionid='A'/><output listenerid='B'/>"
             "</trigger></tarqstructure></asset>");
    sequence->Start();
    for (int frame = 0; frame < 2; ++frame)
    {
        sequence->Update(1.0f);
        EXPECT_FALSE(sequence->IsStopped()) << "frame " << frame;
    }
    EXPECT_EQ(Lua("order"), "string A ");
    sequence->Update(1.0f);
    EXPECT_EQ(Lua("order"), "string A B ");
    EXPECT_TRUE(sequence->IsStopped()) << "B finished within the frame that fired it";
    sequence->Update(1.0f);
    sequence->OnFinished();
    EXPECT_EQ(Lua("heard"), "string Done ");
}

TEST_F(SequenceTest, AnAbortStopsEveryActionRunningOrNotAndTellsTheOwnerOnce)
{
    StandInExecutor executor;
    cl_SequenceAsset sequence;
    sequence.SetOwnerLogic(&m_owner);
    std::vector<ExecutedAction*> actions;
    for (const char* id : {"talk", "listen", "later"})
    {
        auto action = std::make_unique<ExecutedAction>(id, "scene", executor);
        actions.push_back(action.get());
        sequence.AddAction(std::move(action));
    }
    sequence.Start();
    sequence.ActivateAction(actions[1]);
    ASSERT_EQ(executor.initiators.size(), 2u);

    sequence.Abort();
    for (const ExecutedAction* action : actions)
        EXPECT_FALSE(action->HasSyncToken()) << action->GetId() << " was stopped";
    EXPECT_TRUE(sequence.IsStopped());
    executor.End(0, ISyncedActionInitiator::RESULT_ABORTED);
    sequence.Update(0.1f);
    EXPECT_EQ(Lua("heard"), "string Abort ");
}

TEST_F(SequenceTest, ASkipSkipsWhatRunsNowNotTheRest)
{
    std::unique_ptr<cl_SequenceAsset> sequence =
        Read("<asset id='s'><action id='look' type='StubAction'/><action id='hold' type='WaitAction' "
             "duration='5'/>" +
             Script("A") + "</asset>");
    auto driven = std::make_unique<DrivenAction>("driven");
    DrivenAction& running = *driven;
    sequence->AddAction(std::move(driven));
    auto trigger = std::make_unique<cl_TimelineActionTrigger>("", cl_TimelineActionTrigger::ON_ABORTED);
    trigger->AddInput(&running);
    trigger->AddOutput(sequence->FindAction("A"));
    sequence->AddTrigger(std::move(trigger));
    sequence->SetStartId("driven");

    sequence->Start();
    sequence->Skip();
    EXPECT_EQ(Lua("order"), "string A ") << "the skip's report activated the next action";
    EXPECT_TRUE(running.IsDone());
    EXPECT_FALSE(sequence->FindAction("hold")->IsActivated());
    EXPECT_TRUE(sequence->IsStopped());
}

TEST_F(SequenceTest, ASequenceWithoutActionsEndsAtTheFirstCheckAndMayRunAgain)
{
    std::unique_ptr<cl_SequenceAsset> sequence = Read("<asset id='empty'/>");
    for (int run = 0; run < 2; ++run)
    {
        sequence->Start();
        EXPECT_FALSE(sequence->IsStopped());
        sequence->Update(0.0f);
        EXPECT_TRUE(sequence->IsStopped());
    }
    EXPECT_EQ(Lua("heard"), "string Done Done ");
}

TEST_F(SequenceTest, AGoToJumpsToTheMarkerItNamesOrToARandomOne)
{
    const struct
    {
        const char* name;
        const char* target;
        int drawn;
        const char* jumped;
    } cases[] = {
        {"a marker by name", "door", 32767, "string to door"},
        {"a name no marker has", "nowhere", 0, "string nil"},
        {"the lowest of three", "random_3", 0, "string to 0"},
        {"the middle of three", "random_3", 16384, "string to 1"},
        {"the top draw names the count itself, no marker", "random_3", 32767, "string nil"},
        {"no count is two", "random", 0, "string to 0"},
        {"no count, the top draw", "random", 32767, "string to 2"},
        {"an empty count is two", "random_", 16384, "string to 1"},
        {"the character after random is the separator", "random3", 32767, "string to 2"},
        {"a count that is no number is none", "random_x", 32767, "string to 0"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(m_world.script.ExecuteString("jumped = nil"));
        std::string xml =
            "<asset id='s'><action id='go' type='GoToAction' targetmarker='" + std::string(c.target) + "'/>";
        std::string structure = "<tarqstructure start='go'>";
        for (const char* marker : {"0", "1", "2", "door"})
        {
            const std::string name = marker;
            xml += "<action id='m" + name + "' type='MarkerAction' marker='" + name + "'/><action id='s" +
                   name + "' type='ScriptAction'>jumped = 'to " + name + "'</action>";
            structure += "<trigger type='OnDone'><input actionid='m" + name + "'/><output listenerid='s" +
                         name + "'/></trigger>";
        }
        std::unique_ptr<cl_SequenceAsset> sequence = Read(xml + structure + "</tarqstructure></asset>");
        SeedDrawing(c.drawn);
        sequence->Start();
        EXPECT_EQ(Lua("tostring(jumped)"), c.jumped);
        EXPECT_TRUE(sequence->FindAction("go")->IsDone()) << "a go-to finishes whether it jumped or not";
        sequence->Update(0.0f);
        EXPECT_TRUE(sequence->IsStopped());
    }
}

TEST_F(SequenceTest, AWaitLastsItsDurationAndThenUntilItsConditionHolds)
{
    // Events: "start", "u<s>" an update of s seconds, "ready" sets the Lua global, "skip" skips the
    // sequence. The trace marks with "+" the event after which the wait is done.
    const struct
    {
        const char* duration;
        const char* condition;
        const char* events;
        const char* trace;
    } cases[] = {
        {"0", "", "start", "start+"},
        {nullptr, "", "start", "start+"},
        {"1.0", "", "start u0.5 u0.25 u0.25", "start u0.5 u0.25 u0.25+"},
        {"0.5", "ready == true", "start u1 ready u0", "start u1 ready u0+"},
        {"0", "ready", "start skip u5 ready u0", "start skip u5 ready u0+"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.duration ? c.duration : "no duration") + " " + c.condition);
        ASSERT_TRUE(m_world.script.ExecuteString("ready = false"));
        const std::string duration = c.duration ? std::string(" duration='") + c.duration + "'" : "";
        std::unique_ptr<cl_SequenceAsset> sequence = Read("<asset id='s'><action id='w' type='WaitAction'" +
                                                          duration + ">" + c.condition + "</action></asset>");
        const cl_SeqAction& wait = *sequence->FindAction("w");
        std::istringstream events(c.events);
        std::string trace;
        bool wasDone = false;
        for (std::string event; events >> event;)
        {
            if (event == "start")
                sequence->Start();
            else if (event == "ready")
                ASSERT_TRUE(m_world.script.ExecuteString("ready = true"));
            else if (event == "skip")
                sequence->Skip();
            else
                sequence->Update(std::strtof(event.c_str() + 1, nullptr));
            trace += (trace.empty() ? "" : " ") + event + (wait.IsDone() && !wasDone ? "+" : "");
            wasDone = wait.IsDone();
        }
        EXPECT_EQ(trace, c.trace);
    }
}
