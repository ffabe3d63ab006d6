#include "assets/cl_SeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_StubSeqAction.h"
#include "common/cl_Logger.h"
#include "support/ScriptSystemFixture.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
using SeqActionTest = ScriptSystemFixture;

// A stub action with the condition as its "condition" child.
std::unique_ptr<cl_StubSeqAction> ActionWithCondition(const std::string& condition)
{
    TiXmlElement element("action");
    element.SetAttribute("id", "a");
    TiXmlElement child("condition");
    child.LinkEndChild(new TiXmlText(condition));
    element.InsertEndChild(child);
    return std::make_unique<cl_StubSeqAction>(&element);
}
} // namespace

TEST_F(SeqActionTest, AConditionLetsTheActionBeActivatedOnlyWhenItsFirstResultIsTrue)
{
    Run("ready = true");
    const struct
    {
        const char* condition;
        bool activated;
        bool luaError;
    } cases[] = {
        {"", true, false},
        {"ready", true, false},
        {"return ready", true, false},
        {"ready == false", false, false},
        {"return 1", false, false},
        {"1", false, false},
        {"'true'", false, false},
        {"nil", false, true}, // the script system cannot hand nil over
        {"missing.field", false, true},
        {"return", false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.condition);
        m_capture.Clear();
        std::unique_ptr<cl_StubSeqAction> action = ActionWithCondition(c.condition);
        EXPECT_EQ(action->GetCondition(), c.condition);
        EXPECT_EQ(action->Activate(), c.activated);
        EXPECT_EQ(action->IsActivated(), c.activated);
        EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR) > 0, c.luaError);
    }
}

TEST_F(SeqActionTest, AnActionIsActivatedOncePerRunAndNotInAStoppedSequence)
{
    cl_SequencePool pool;
    std::unique_ptr<cl_SequenceAsset> sequence =
        ReadSequence(pool, "<asset id='s'><action id='wait' type='WaitAction' duration='9'/></asset>");
    cl_SeqAction& wait = *sequence->FindAction("wait");
    sequence->Start();
    EXPECT_TRUE(wait.IsActivated());
    EXPECT_FALSE(wait.Activate()) << "a second trigger firing at it does nothing";

    sequence->Abort();
    wait.Reset();
    EXPECT_FALSE(wait.Activate()) << "its sequence has stopped";
    sequence->Start();
    EXPECT_TRUE(wait.IsActivated()) << "a new run activates it again";
}
