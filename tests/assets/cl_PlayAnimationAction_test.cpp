#include "assets/cl_PlayAnimationAction.h"

#include "assets/ISyncedActionInitiator.h"
#include "common/cl_Logger.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneObject.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// An item whose animations the test begins and ends: it keeps the initiator and counts its stops.
class AnimatedItem : public cl_SceneObject
{
public:
    AnimatedItem(Ogre::SceneManager& sceneManager, const std::string& name)
        : cl_SceneObject(sceneManager, name)
    {
    }

    void PlayAnimation(const std::string& animation, const std::string&, const Ogre::Vector3&,
                       const Ogre::Quaternion&, ISyncedActionInitiator* told) override
    {
        StartAnimation(animation, told);
    }
    void StartAnimation(const std::string& animation, ISyncedActionInitiator* told) override
    {
        playing = animation;
        initiator = told;
    }
    void StopAnimation() override { ++stops; }
    void AbortAll() override {}

    std::string playing;
    ISyncedActionInitiator* initiator = nullptr;
    int stops = 0;
};

class ScreenActions : public testing::Test
{
protected:
    ScreenActions()
    {
        auto bell = std::make_unique<AnimatedItem>(m_actions.world.SceneManager(), "items_bell");
        m_bell = bell.get();
        m_actions.world.items.AddSceneItem(std::move(bell));
    }

    float PatchAlpha() const { return m_actions.world.Scene().GetPatch("items_key")->GetAlpha(); }

    ActionWorld m_actions;
    LogCapture& m_log = m_actions.world.assets.log;
    AnimatedItem* m_bell = nullptr;
};
} // namespace

TEST_F(ScreenActions, AnOnScreenTextOfAHundredBytesStaysSevenAndAHalfSeconds)
{
    ActionProbe text("<action type='OnScreenTextAction' textref='sign'/>");
    text.Start();
    text.Frames(74, 0.1f);
    EXPECT_EQ(text.trace, "S");
    text.Frames(2, 0.1f);
    EXPECT_EQ(text.trace, "SD");

    m_log.Clear();
    ActionProbe missing("<action type='OnScreenTextAction' textref='unknown'/>");
    missing.Start();
    EXPECT_EQ(missing.trace, "SD");
    EXPECT_TRUE(m_log.Contains("OnScreenTextAction does nothing because the Text couldn't be resolved!",
                               cl_Logger::LEVEL_WARNING));
}

TEST_F(ScreenActions, APatchFadesLinearlyFromItsStartToItsEndAlpha)
{
    ActionProbe fade("<action type='FadePatchAction' patchname='items_key' startalpha='1' endalpha='0' "
                     "fadetime='2'/>");
    fade.Start();
    EXPECT_FLOAT_EQ(PatchAlpha(), 1.0f);
    fade.Frames(10, 0.1f);
    EXPECT_NEAR(PatchAlpha(), 0.5f, 0.001f);
    EXPECT_EQ(fade.trace, "S");
    fade.Action().Skip();
    EXPECT_EQ(fade.trace, "S") << "a skipped fade runs on";
    fade.Frames(10, 0.1f);
    EXPECT_FLOAT_EQ(PatchAlpha(), 0.0f);
    EXPECT_EQ(fade.trace, "SD");

    ActionProbe atOnce("<action type='FadePatchAction' patchname='items_key' startalpha='0' endalpha='0.75' "
                       "fadetime='0'/>");
    atOnce.Start();
    atOnce.Frames(1, 0.01f);
    EXPECT_FLOAT_EQ(PatchAlpha(), 0.75f);
    EXPECT_EQ(atOnce.trace, "SD");
}

TEST_F(ScreenActions, AFadeWithoutTargetIsLoggedAndFinishes)
{
    const struct
    {
        const char* xml;
        const char* error;
    } cases[] = {
        {"<action type='FadePatchAction' patchname='ghost'/>",
         "unable to fade patch with name ghost. Patch was not found!"},
        {"<action type='FadeObjectAction' object='ghost'/>",
         "unable to fade object with name ghost. Object was not found!"},
    };
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe fade(c.xml);
        fade.Start();
        EXPECT_EQ(fade.trace, "SD") << c.xml;
        EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR)) << c.xml;
    }
}

TEST_F(ScreenActions, ASkipBeforeTheAnimationBeganStopsItAsItBegins)
{
    const struct
    {
        const char* skip;
        const char* traceAtStart;
        int stops;
    } cases[] = {
        {"true", "SA", 1},
        {"false", "S", 0},
    };
    for (const auto& c : cases)
    {
        m_log.Clear();
        m_bell->stops = 0;
        ActionProbe ring(std::string("<action type='PlayItemAnimationAction' item='items_bell' "
                                     "animationname='ring' skip='") +
                         c.skip + "'/>");
        ring.Start();
        EXPECT_EQ(m_bell->playing, "ring");
        ASSERT_EQ(m_bell->initiator, &static_cast<cl_PlayAnimationAction&>(ring.Action()));
        ring.Action().Skip();
        EXPECT_EQ(ring.trace, "") << c.skip;
        m_bell->initiator->OnStarted();
        EXPECT_EQ(ring.trace, c.traceAtStart) << c.skip;
        EXPECT_EQ(m_bell->stops, c.stops) << c.skip;
        EXPECT_TRUE(m_log.Contains("Animation ring started", cl_Logger::LEVEL_INFO));
        m_bell->initiator->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
        EXPECT_TRUE(ring.IsDone());
    }
}

TEST_F(ScreenActions, TheEndOfAnAnimationIsLoggedByItsResultUnlessSkippedAndFinishes)
{
    const struct
    {
        int result;
        bool skipped;
        const char* error; // empty: none
    } cases[] = {
        {ISyncedActionInitiator::RESULT_FINISHED, false, ""},
        {ISyncedActionInitiator::RESULT_ABORTED, false, "Canceled 'items_bell' playing 'ring'!"},
        {ISyncedActionInitiator::RESULT_FAILED, false,
         "PlayAnimationAction 'a' failed to make 'items_bell' play 'ring'!"},
        {ISyncedActionInitiator::RESULT_ABORTED_BY_ABORT_ALL, false, ""},
        {ISyncedActionInitiator::RESULT_ABORTED, true, ""},
        {ISyncedActionInitiator::RESULT_FAILED, true, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.result) + (c.skipped ? " skipped" : ""));
        m_log.Clear();
        ActionProbe ring(
            "<action type='PlayItemAnimationAction' id='a' item='items_bell' animationname='ring'/>");
        ring.Start();
        ASSERT_NE(m_bell->initiator, nullptr);
        m_bell->initiator->OnStarted();
        if (c.skipped)
            ring.Action().Skip(); // not skippable: it plays on, but its end is no failure any more
        m_bell->initiator->OnDone(c.result);
        EXPECT_EQ(ring.trace, "SD");
        if (*c.error)
            EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    }
}

TEST_F(ScreenActions, AnAnimationThatCannotPlayIsLoggedAndFinishes)
{
    const struct
    {
        const char* xml;
        const char* error;
    } cases[] = {
        {"<action type='PlayItemAnimationAction' id='a' item='ghost' animationname='ring'/>",
         "PlayAnimationAction 'a' failed to make 'ghost' play 'ring'!"},
        {"<action type='PlayItemAnimationAction' id='a' item='items_bell'/>",
         "PlayAnimationAction 'a' failed to make 'items_bell' play ''!"},
        // The test body cannot animate: the character reports the animation failed.
        {"<action type='PlayCharacterAnimationAction' id='a' character='characters_keeper' "
         "animationname='nod'/>",
         "PlayAnimationAction 'a' failed to make 'characters_keeper' play 'nod'!"},
    };
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe play(c.xml);
        play.Start();
        EXPECT_TRUE(play.IsDone()) << c.xml;
        EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR)) << c.xml;
    }
}
