#include "assets/cl_FocusSeqAction.h"

#include "assets/cl_SeqAction.h"
#include "assets/cl_TurnToSeqAction.h"
#include "common/cl_Logger.h"
#include "common/cl_SyncManager.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FaceControl.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
class CharacterControl : public testing::Test
{
protected:
    CharacterControl() { m_actions.Keeper().SetLocation("positions_door"); }

    ActionWorld m_actions;
    LogCapture& m_log = m_actions.world.assets.log;
};
} // namespace

TEST_F(CharacterControl, AFocusLooksAtTheFirstKindOfTargetTheNameResolvesTo)
{
    const struct
    {
        const char* name;
        const char* target;
        float x; // of the focus point
        bool focusing;
        const char* trace;
    } cases[] = {
        {"a scene object", "characters_keeper", 100.0f, true, "SSD"},
        {"a scene node", "op_characters_hero", 30.0f, true, "SSD"},
        {"nothing of that name", "nowhere", 0.0f, false, "SD"},
    };
    for (const auto& c : cases)
    {
        m_actions.Hero().StopFocus();
        m_log.Clear();
        ActionProbe focus(std::string("<action type='FocusAction' id='look' targetref='") + c.target + "'/>");
        focus.Start();
        EXPECT_EQ(focus.trace, c.trace) << c.name;
        EXPECT_EQ(m_actions.Hero().IsFocusing(), c.focusing) << c.name;
        if (c.focusing)
            EXPECT_FLOAT_EQ(m_actions.Hero().GetFocusPoint().x, c.x) << c.name;
        else
            EXPECT_TRUE(m_log.Contains("FocusAction 'look' failed to make '' focus 'nowhere'!",
                                       cl_Logger::LEVEL_ERROR))
                << c.name;
    }
}

TEST_F(CharacterControl, AnAbortedFocusLetsGoAndGivesItsTokenBackWhileAFinishedOneKeepsLooking)
{
    cl_SyncManager sync;
    for (const bool aborted : {true, false})
    {
        ActionProbe focus("<action type='FocusAction' targetref='characters_keeper' syncgroup='look'/>");
        auto& action = static_cast<cl_FocusSeqAction&>(focus.Action());
        action.JoinSyncGroup();
        ASSERT_TRUE(action.HasSyncToken());
        focus.Start();
        ASSERT_TRUE(focus.IsDone());
        action.Stop(aborted);
        EXPECT_EQ(m_actions.Hero().IsFocusing(), !aborted) << aborted;
        EXPECT_FALSE(action.HasSyncToken()) << aborted;
    }
}

TEST_F(CharacterControl, TurnsUnfocusAndFailuresFinishTheAction)
{
    const struct
    {
        const char* xml;
        const char* error; // empty: none
        const char* trace;
    } cases[] = {
        // The test bodies have no turn control: their turns fail.
        {"<action type='TurnToAction' id='t' targetref='characters_keeper'/>",
         "TurnToAction 't' failed because '' could not turn towards 'characters_keeper'!", "SD"},
        {"<action type='TurnToAction' id='t' targetref='camera'/>",
         "TurnToAction 't' failed because '' could not turn towards 'camera'!", "SD"},
        {"<action type='TurnToAction' id='t' charref='ghost' targetref='camera'/>",
         "TurnToAction 't' failed to make 'ghost' turn towards 'camera' because the character couldn't be "
         "resolved!",
         "SD"},
        {"<action type='TurnToAction' id='t' targetref='nowhere'/>",
         "TurnToAction 't' failed to make '' turn towards 'nowhere' because the target couldn't be resolved!",
         "SD"},
        {"<action type='UnFocusAction' id='u'/>", "", "SD"},
        {"<action type='UnFocusAction' id='u' charref='ghost'/>",
         "UnFocusAction 'u' failed to unfocus 'ghost'!", "SD"},
        {"<action type='EmotionAction' id='e' charref='characters_keeper' emotion='glad'/>",
         "EmotionAction 'e' failed to make 'characters_keeper' seem 'glad'!", "SD"},
    };
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe probe(c.xml);
        probe.Start();
        EXPECT_EQ(probe.trace, c.trace) << c.xml;
        if (*c.error)
            EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR))
                << c.xml << (m_log.Lines().empty() ? "" : m_log.Lines().back().text);
        else
            EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u) << c.xml;
    }
    EXPECT_FALSE(m_actions.Hero().IsFocusing()) << "the unfocus";
}

TEST_F(CharacterControl, ATurnTheCharacterCouldNotMakeIsLoggedAndFinishes)
{
    for (const int result : {ISyncedActionInitiator::RESULT_FAILED, ISyncedActionInitiator::RESULT_ABORTED})
    {
        m_log.Clear();
        ActionProbe turn(
            "<action type='TurnToAction' id='t' charref='characters_keeper' targetref='camera'/>");
        static_cast<ISyncedActionInitiator&>(static_cast<cl_TurnToSeqAction&>(turn.Action())).OnDone(result);
        EXPECT_EQ(turn.trace, "D") << result;
        EXPECT_EQ(m_log.Contains("TurnToAction 't' failed because 'characters_keeper' could not turn towards "
                                 "'camera'!",
                                 cl_Logger::LEVEL_ERROR),
                  result == ISyncedActionInitiator::RESULT_FAILED)
            << result;
    }
}

TEST_F(CharacterControl, ALastingEmotionHasNoEndAndNoFadeOut)
{
    auto made = std::make_unique<cl_FaceControl>();
    cl_FaceControl* face = made.get();
    ASSERT_TRUE(m_actions.Hero().GetPuppet()->AddControl("face", std::move(made)));
    TiXmlDocument document;
    document.Parse("<facectrl><emotions><emotion name='glad'/></emotions></facectrl>");
    ASSERT_TRUE(face->FromXml(document.RootElement()));
    m_actions.Hero().SetFaceControl(face);
    const struct
    {
        const char* xml;
        float duration;
        float fadeOut;
    } cases[] = {
        {"<action type='EmotionAction' emotion='glad' duration='3' fadein='0.2' fadeout='0.4' "
         "strength='0.7'/>",
         -1.0f, 0.0f},
        {"<action type='EmotionAction' emotion='glad' temp='true' duration='3' fadein='0.2' fadeout='0.4' "
         "strength='0.7'/>",
         3.0f, 0.4f},
    };
    for (const auto& c : cases)
    {
        ActionProbe emotion(c.xml);
        emotion.Start();
        EXPECT_EQ(emotion.trace, "SD");
        EXPECT_EQ(face->GetEmotion(), "glad");
        EXPECT_FLOAT_EQ(face->GetRemainingDuration(), c.duration) << c.xml;
        EXPECT_FLOAT_EQ(face->GetFadeOut(), c.fadeOut) << c.xml;
        EXPECT_FLOAT_EQ(face->GetFadeIn(), 0.2f);
        EXPECT_FLOAT_EQ(face->GetStrength(), 0.7f);
    }
}
