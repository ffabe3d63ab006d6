#include "assets/cl_BaseActionTrigger.h"

#include "assets/cl_SuccessActionTrigger.h"
#include "assets/cl_TimelineActionTrigger.h"
#include "common/cl_Logger.h"
#include "support/LogCapture.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

namespace
{
std::unique_ptr<cl_BaseActionTrigger> MakeTrigger(const std::string& kind)
{
    using Timeline = cl_TimelineActionTrigger;
    if (kind == "OnStart")
        return std::make_unique<Timeline>("t", Timeline::ON_START);
    if (kind == "OnDone")
        return std::make_unique<Timeline>("t", Timeline::ON_DONE | Timeline::ON_ABORTED);
    if (kind == "Delayed 2")
        return std::make_unique<Timeline>("t", Timeline::DELAYED, 2.0f);
    return std::make_unique<cl_SuccessActionTrigger>("t", kind == "OnSuccess");
}
} // namespace

TEST(ActionTriggers, FireAndRetractOnTheirInputsReports)
{
    // Events: the input starts, is done, fails, is skipped; "u<s>" an update of s seconds; "reset". The
    // trace repeats them, "+" marking each OnTriggered and "-" each OnUntriggered of the output.
    const struct
    {
        const char* name;
        const char* trigger;
        const char* events;
        const char* trace;
        const char* warning;
    } cases[] = {
        {"on start: at the start, once", "OnStart", "start done start", "start+ done start", ""},
        {"on start: a skip without start counts as one", "OnStart", "skip", "skip+", "'OnAborted' before"},
        {"on done: not at the start", "OnDone", "start done", "start done+", ""},
        {"on done: a failure is an end", "OnDone", "start fail", "start fail+", ""},
        {"on done: a skip is an end too", "OnDone", "start skip", "start skip+", ""},
        {"on done: an end without start", "OnDone", "done", "done+", "'OnDone' before it has been notified"},
        {"on done: once per run", "OnDone", "start done done reset start done",
         "start done+ done reset start done+", ""},
        {"delayed: when the time since the start reaches the delay", "Delayed 2", "u5 start u1 u0.5 u0.5 u1",
         "u5 start u1 u0.5 u0.5+ u1", ""},
        {"delayed: never without a start", "Delayed 2", "u3 done", "u3 done", "'OnDone' before"},
        {"on success: success and a skip fire", "OnSuccess", "start fail done skip", "start fail done+ skip",
         ""},
        {"on success: a later failure takes it back", "OnSuccess", "start skip fail done",
         "start skip+ fail- done+", ""},
        {"on failed: a later success takes it back", "OnFailed", "start fail done fail",
         "start fail+ done- fail+", ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LogCapture log;
        DrivenAction input;
        RecordingOutput output;
        std::unique_ptr<cl_BaseActionTrigger> trigger = MakeTrigger(c.trigger);
        trigger->AddInput(&input);
        trigger->AddOutput(&output);

        std::istringstream events(c.events);
        std::string trace;
        for (std::string event; events >> event;)
        {
            output.trace.clear();
            if (event == "start")
                input.Begin();
            else if (event == "done" || event == "fail")
                input.End(event == "done");
            else if (event == "skip")
                input.Skip();
            else if (event == "reset")
                trigger->Reset();
            else
                trigger->Update(std::strtof(event.c_str() + 1, nullptr));
            trace += (trace.empty() ? "" : " ") + event + output.trace;
        }
        EXPECT_EQ(trace, c.trace);
        if (*c.warning)
            EXPECT_TRUE(log.Contains(c.warning, cl_Logger::LEVEL_WARNING));
        else
            EXPECT_EQ(log.Count(cl_Logger::LEVEL_WARNING), 0u);
    }
}

TEST(ActionTriggers, ADelayedTriggerIsPendingFromItsInputsStartUntilItFires)
{
    DrivenAction input;
    cl_TimelineActionTrigger delayed("wait", cl_TimelineActionTrigger::DELAYED, 0.5f);
    delayed.AddInput(&input);
    EXPECT_FALSE(delayed.IsPending());
    input.Begin();
    EXPECT_TRUE(delayed.IsPending());
    delayed.Update(0.5f);
    EXPECT_FALSE(delayed.IsPending());
    delayed.Reset();
    EXPECT_FALSE(delayed.IsPending());
}
