#include "assets/cl_ConditionSeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_Logger.h"
#include "support/AssetWorld.h"
#include "support/SequenceStandIns.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
// The demo's new game, where the door's logic is started and "key_taken" is not set.
class ConditionTest : public testing::Test
{
protected:
    ConditionTest()
    {
        m_world.LoadChapter(DemoChapterFolder());
        EXPECT_TRUE(m_world.LoadGameState(DemoNewGameState()));
    }

    // "success" or "failure": how the condition action of that type and expression finishes in a
    // sequence owned by owner (may be null). Two actions stand behind it, one on each outcome.
    std::string Outcome(const std::string& type, const std::string& expression, cl_AssetLogic* owner)
    {
        std::unique_ptr<cl_SequenceAsset> sequence = ReadSequence(
            m_pool, "<asset id='s'><action id='c' type='" + type + "' condition=\"" + expression +
                        "\"/><action id='yes' type='WaitAction' duration='9'/>"
                        "<action id='no' type='WaitAction' duration='9'/><tarqstructure>"
                        "<trigger type='OnSuccess'><input actionid='c'/><output listenerid='yes'/></trigger>"
                        "<trigger type='OnFailed'><input actionid='c'/><output listenerid='no'/></trigger>"
                        "</tarqstructure></asset>");
        sequence->SetOwnerLogic(owner);
        sequence->Start();
        const bool yes = sequence->FindAction("yes")->IsActivated();
        const bool no = sequence->FindAction("no")->IsActivated();
        return yes && !no ? "success" : no && !yes ? "failure" : "neither";
    }

    AssetWorld m_world;
    cl_SequencePool m_pool;
};
} // namespace

TEST_F(ConditionTest, FinishesWithTheAnswerOfItsExpression)
{
    ASSERT_TRUE(m_world.script.ExecuteString("_globals.key_taken = nil"));
    cl_AssetLogic* door = &m_world.Logic("items_door");
    const struct
    {
        const char* name;
        const char* type;
        const char* expression;
        bool withOwner;
        const char* outcome;
        const char* error;
    } cases[] = {
        {"Lua: true", "TarqConditionAction", "1 == 1", false, "success", ""},
        {"Lua: false", "TarqConditionAction", "_globals.key_taken == true", false, "failure", ""},
        {"Lua: a string, then the boolean", "TarqConditionAction", "'no', true", false, "success", ""},
        {"Lua: no boolean", "TarqConditionAction", "1", false, "failure",
         "A condition could not be evaluated: 1. Assuming a 'failed'!"},
        {"Lua: an error", "TarqConditionAction", "nothing.here", false, "failure",
         "A condition could not be evaluated: nothing.here."},
        {"chart: the owner is 'this'", "ConditionAction", "this == 'items_door'", true, "success", ""},
        {"chart: false", "ConditionAction", "this == 'items_key'", true, "failure", ""},
        {"chart: without owner", "ConditionAction", "true", false, "failure",
         "Condition Actions may not be called without an active Caller. Orvan PlayButton not supported! "
         "Assuming a 'failed'!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.log.Clear();
        EXPECT_EQ(Outcome(c.type, c.expression, c.withOwner ? door : nullptr), c.outcome);
        if (*c.error)
            EXPECT_TRUE(m_world.log.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
    }
}

TEST_F(ConditionTest, BothWordsReadAsTheConditionTypeAndWriteBackAsTheyWere)
{
    for (const char* word : {"ConditionAction", "TarqConditionAction"})
    {
        SCOPED_TRACE(word);
        TiXmlElement element("action");
        element.SetAttribute("type", word);
        element.SetAttribute("condition", "x > 1");
        const cl_ConditionSeqAction action(&element);
        EXPECT_EQ(action.GetTypeName(), "ConditionAction");
        TiXmlElement written("action");
        action.WriteXml(written);
        EXPECT_STREQ(written.Attribute("type"), word);
        EXPECT_STREQ(written.Attribute("condition"), "x > 1");
    }
}
