#include "assets/cl_NonInstantSeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "assets/cl_TimelineActionTrigger.h"
#include "common/cl_Logger.h"
#include "common/cl_SyncManager.h"
#include "support/LogCapture.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
// A sequence of lasting actions whose work a stand-in executor carries out, with a sync manager.
class LastingActions : public testing::Test
{
protected:
    ExecutedAction& Add(cl_SequenceAsset& sequence, const std::string& id, const std::string& group)
    {
        auto action = std::make_unique<ExecutedAction>(id, group, m_executor);
        ExecutedAction& added = *action;
        sequence.AddAction(std::move(action));
        return added;
    }
    // The second action starts as soon as the first one's work has begun.
    static void StartTogether(cl_SequenceAsset& sequence, cl_SeqAction& first, cl_SeqAction& second)
    {
        auto trigger = std::make_unique<cl_TimelineActionTrigger>("", cl_TimelineActionTrigger::ON_START);
        trigger->AddInput(&first);
        trigger->AddOutput(&second);
        sequence.AddTrigger(std::move(trigger));
    }

    LogCapture m_log;
    cl_SyncManager m_sync;
    StandInExecutor m_executor;
};
} // namespace

TEST_F(LastingActions, ActionsOfOneSyncGroupShareItUntilTheirSequenceStops)
{
    cl_SequenceAsset sequence;
    ExecutedAction& first = Add(sequence, "first", "walk");
    ExecutedAction& second = Add(sequence, "second", "walk");
    StartTogether(sequence, first, second);

    sequence.Start();
    EXPECT_EQ(first.GetSyncToken().groupId, second.GetSyncToken().groupId);
    EXPECT_NE(first.GetSyncToken().index, second.GetSyncToken().index);
    EXPECT_TRUE(first.HasSyncToken() && second.HasSyncToken());
    ASSERT_EQ(m_executor.initiators.size(), 1u) << "the second starts with the first one's work";
    m_executor.Begin(0);
    ASSERT_EQ(m_executor.initiators.size(), 2u);

    m_executor.End(0, ISyncedActionInitiator::RESULT_FINISHED);
    sequence.Update(0.1f);
    EXPECT_FALSE(sequence.IsStopped()) << "the second one's work goes on";
    EXPECT_TRUE(first.HasSyncToken()) << "the token stays until the sequence stops";
    m_executor.Begin(1);
    m_executor.End(1, ISyncedActionInitiator::RESULT_FAILED);
    sequence.Update(0.1f);
    EXPECT_TRUE(sequence.IsStopped());
    const SyncToken released;
    EXPECT_EQ(first.GetSyncToken(), released);
    EXPECT_EQ(second.GetSyncToken(), released);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(LastingActions, AnAbortReleasesTheTokensAndAJoinerOfAReadyGroupRunsWithoutOne)
{
    cl_SequenceAsset first;
    ExecutedAction& walk = Add(first, "walk", "meet");
    first.Start();
    const SyncToken token = walk.GetSyncToken();
    m_sync.SetTokenReady(token);

    cl_SequenceAsset late;
    ExecutedAction& joiner = Add(late, "late", "meet");
    late.Start();
    EXPECT_TRUE(
        m_log.Contains("SyncGroup is ready! Can't add new tokens to a ready group.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(joiner.GetSyncToken(), SyncToken{});
    EXPECT_FALSE(joiner.HasSyncToken());
    EXPECT_TRUE(joiner.IsActivated()) << "it runs all the same";

    first.Abort();
    EXPECT_EQ(walk.GetSyncToken(), SyncToken{});
    EXPECT_FALSE(m_sync.HasToken(token)) << "the group is gone with its last token";
}

TEST_F(LastingActions, ATimeOutIsAWarningAndEndsTheActionAsItsWorkEnding)
{
    const struct
    {
        float seconds;
        const char* warning;
    } cases[] = {
        {2.5f, "The 'ExecutedAction' Action with the Id 'walk' suffered a TimeOut after 2.500000 seconds."},
        {0.0f, "The 'ExecutedAction' Action with the Id 'walk' suffered a TimeOut."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.warning);
        m_log.Clear();
        cl_SequenceAsset sequence;
        ExecutedAction& walk = Add(sequence, "walk", "");
        sequence.Start();
        walk.TimeOut(c.seconds);
        EXPECT_TRUE(walk.IsDone());
        EXPECT_TRUE(m_log.Contains(c.warning, cl_Logger::LEVEL_WARNING));
        EXPECT_EQ(walk.GetName(), "walk");
    }
}

TEST_F(LastingActions, TheSyncGroupIsWrittenBackOnlyWhenThereIsOne)
{
    for (const char* group : {"walk", ""})
    {
        SCOPED_TRACE(group);
        const ExecutedAction action("a", group, m_executor);
        TiXmlElement element("action");
        action.WriteXml(element);
        EXPECT_EQ(element.Attribute("syncgroup") != nullptr, *group != '\0');
    }
}
