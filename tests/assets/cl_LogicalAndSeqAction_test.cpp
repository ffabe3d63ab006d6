#include "assets/cl_LogicalAndSeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "assets/cl_TimelineActionTrigger.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>

#include <memory>

TEST(LogicalAnd, IsActivatedByTheLastOfTheTriggersPointingAtIt)
{
    cl_SequenceAsset sequence;
    DrivenAction* inputs[3];
    for (DrivenAction*& input : inputs)
    {
        auto action = std::make_unique<DrivenAction>();
        input = action.get();
        sequence.AddAction(std::move(action));
    }
    auto join = std::make_unique<cl_LogicalAndSeqAction>(nullptr);
    cl_LogicalAndSeqAction& logicalAnd = *join;
    sequence.AddAction(std::move(join));
    for (DrivenAction* input : inputs)
    {
        auto trigger = std::make_unique<cl_TimelineActionTrigger>("", cl_TimelineActionTrigger::ON_DONE);
        trigger->AddInput(input);
        trigger->AddOutput(&logicalAnd);
        sequence.AddTrigger(std::move(trigger));
    }

    for (int run = 0; run < 2; ++run)
    {
        SCOPED_TRACE(run == 0 ? "first run" : "second run: the count starts again");
        sequence.Start();
        for (DrivenAction* input : inputs)
            sequence.ActivateAction(input);
        inputs[0]->End(true);
        inputs[2]->End(false);
        EXPECT_FALSE(logicalAnd.IsActivated()) << "two of three";
        inputs[1]->End(true);
        EXPECT_TRUE(logicalAnd.IsActivated());
        EXPECT_TRUE(logicalAnd.IsDone()) << "it finishes at once";
        sequence.Update(0.0f);
        EXPECT_TRUE(sequence.IsStopped());
    }
}

TEST(LogicalAnd, NoTriggerPointingAtItLeavesItAlone)
{
    cl_SequenceAsset sequence;
    sequence.AddAction(std::make_unique<DrivenAction>());
    auto join = std::make_unique<cl_LogicalAndSeqAction>(nullptr);
    cl_LogicalAndSeqAction& logicalAnd = *join;
    sequence.AddAction(std::move(join));
    sequence.Start();
    logicalAnd.OnTriggered(nullptr);
    EXPECT_FALSE(logicalAnd.IsActivated()) << "one firing is more than the none that point at it";
}
