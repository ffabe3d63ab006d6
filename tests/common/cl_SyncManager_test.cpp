#include "common/cl_SyncManager.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

void PrintTo(const SyncToken& token, std::ostream* out)
{
    *out << "(" << token.groupId << ", " << token.index << ")";
}

namespace
{
const char* const kReadyError = "SyncGroup is ready! Can't add new tokens to a ready group.";

class SyncManagerTest : public testing::Test
{
protected:
    LogCapture m_log;
    cl_SyncManager m_sync;
};

TEST_F(SyncManagerTest, IsTheLivingSingleton)
{
    EXPECT_EQ(cl_SyncManager::GetInstance(), &m_sync);
}

// The whole walk: tokens per name, a ready group refusing, and a dissolved name starting a new group
// whose id was never used before.
TEST_F(SyncManagerTest, TokensGroupsAndIdsAcrossAGroupsLife)
{
    SyncToken walk0 = m_sync.GetNewToken("walk");
    SyncToken walk1 = m_sync.GetNewToken("walk");
    const SyncToken run0 = m_sync.GetNewToken("run");
    EXPECT_EQ(walk0, (SyncToken{0, 0}));
    EXPECT_EQ(walk1, (SyncToken{0, 1}));
    EXPECT_EQ(run0, (SyncToken{1, 0}));

    m_sync.SetTokenReady(walk0);
    EXPECT_FALSE(m_sync.IsGroupReady(walk0)) << "one walker still going";
    m_sync.SetTokenReady(walk1);
    EXPECT_TRUE(m_sync.IsGroupReady(walk0));
    EXPECT_TRUE(m_sync.IsGroupReady(walk1));
    EXPECT_FALSE(m_sync.IsGroupReady(run0)) << "other groups are not affected";

    EXPECT_TRUE(m_log.Lines().empty());
    EXPECT_EQ(m_sync.GetNewToken("walk"), SyncToken{}) << "a ready group refuses";
    ASSERT_EQ(m_log.Lines().size(), 1u);
    EXPECT_TRUE(m_log.Contains(kReadyError, 1));
    EXPECT_TRUE(m_log.Contains("<cl_SyncGroup::GetNewToken>", 1));
    EXPECT_TRUE(m_sync.IsGroupReady(walk0)) << "the refusal changed nothing";

    const SyncToken staleCopy = walk0;
    m_sync.ReleaseToken(walk0);
    EXPECT_EQ(walk0, SyncToken{});
    EXPECT_TRUE(m_sync.HasToken(walk1)) << "the group lives while a token is left";
    m_sync.ReleaseToken(walk1);
    EXPECT_EQ(walk1, SyncToken{});
    EXPECT_FALSE(m_sync.IsGroupReady(staleCopy)) << "the group was dissolved";

    const SyncToken again = m_sync.GetNewToken("walk");
    EXPECT_EQ(again, (SyncToken{2, 0})) << "ids are never reused";
    EXPECT_FALSE(m_sync.HasToken(staleCopy)) << "an old token never matches the new group";
    m_sync.SetTokenReady(staleCopy);
    EXPECT_FALSE(m_sync.IsGroupReady(again));
    EXPECT_TRUE(m_sync.HasToken(run0));
}

TEST_F(SyncManagerTest, GroupWhoseOnlyTokenIsReleasedUndoneIsDissolvedAtOnce)
{
    SyncToken token = m_sync.GetNewToken("walk");
    const SyncToken copy = token;
    m_sync.ReleaseToken(token);
    EXPECT_FALSE(m_sync.HasToken(copy));
    EXPECT_FALSE(m_sync.IsGroupReady(copy));
    EXPECT_EQ(m_sync.GetNewToken("walk"), (SyncToken{1, 0}));
}

TEST_F(SyncManagerTest, ReleasedTokenNoLongerCountsForItsGroup)
{
    const SyncToken waiting = m_sync.GetNewToken("walk");
    SyncToken leaving = m_sync.GetNewToken("walk");
    const SyncToken leftCopy = leaving;
    m_sync.ReleaseToken(leaving);

    m_sync.SetTokenReady(leftCopy);
    EXPECT_FALSE(m_sync.HasToken(leftCopy));
    EXPECT_FALSE(m_sync.IsGroupReady(waiting)) << "marking a released token must not mark another";

    m_sync.SetTokenReady(waiting);
    EXPECT_TRUE(m_sync.IsGroupReady(waiting)) << "only the tokens still held decide";
}

TEST_F(SyncManagerTest, EmptyNameGivesNoTokenAndUsesNoId)
{
    EXPECT_EQ(m_sync.GetNewToken(""), SyncToken{});
    EXPECT_TRUE(m_log.Lines().empty());
    EXPECT_EQ(m_sync.GetNewToken("walk"), (SyncToken{0, 0}));
}

TEST_F(SyncManagerTest, NoTokenChangesNothingAndAnswersFalse)
{
    // A ready group, so that a half-valid token that reached it would answer true.
    const SyncToken walk = m_sync.GetNewToken("walk");
    m_sync.SetTokenReady(walk);
    const SyncToken noTokens[] = {{-1, -1}, {-1, 0}, {0, -1}, {-5, 0}};
    for (const SyncToken& none : noTokens)
    {
        SCOPED_TRACE(testing::PrintToString(none));
        EXPECT_FALSE(m_sync.HasToken(none));
        EXPECT_FALSE(m_sync.IsGroupReady(none));
        m_sync.SetTokenReady(none);
        SyncToken released = none;
        m_sync.ReleaseToken(released);
        EXPECT_EQ(released, SyncToken{});
    }
    EXPECT_TRUE(m_sync.HasToken(walk));
    EXPECT_TRUE(m_sync.IsGroupReady(walk));

    // A token of a group that never existed, and one the group never handed out.
    const SyncToken unknown[] = {{7, 0}, {0, 3}};
    for (const SyncToken& token : unknown)
    {
        SCOPED_TRACE(testing::PrintToString(token));
        m_sync.SetTokenReady(token);
        EXPECT_FALSE(m_sync.HasToken(token)) << "marking must not hand out a token";
        SyncToken released = token;
        m_sync.ReleaseToken(released);
        EXPECT_EQ(released, SyncToken{});
    }
    EXPECT_TRUE(m_sync.HasToken(walk));
    EXPECT_TRUE(m_sync.IsGroupReady(walk));
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST(SyncGroup, ReadyOnlyWithTokensAllDone)
{
    struct Case
    {
        const char* what;
        int tokens;
        std::vector<int> done;
        bool ready;
    } cases[] = {
        {"no token yet", 0, {}, false},   {"one token running", 1, {}, false},
        {"one token done", 1, {0}, true}, {"one of two done", 2, {1}, false},
        {"both done", 2, {0, 1}, true},   {"two of three done", 3, {0, 2}, false},
    };
    for (const Case& c : cases)
    {
        cl_SyncGroup group(4);
        for (int i = 0; i < c.tokens; ++i)
            EXPECT_EQ(group.GetNewToken(), (SyncToken{4, i})) << c.what;
        for (int index : c.done)
            group.SetTokenReady(index);
        EXPECT_EQ(group.IsReady(), c.ready) << c.what;
    }
}
} // namespace
