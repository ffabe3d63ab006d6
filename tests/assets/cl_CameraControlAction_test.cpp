#include "assets/cl_CameraControlAction.h"

#include "common/cl_Logger.h"
#include "graphics/cl_Character.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class Staging : public testing::Test
{
protected:
    const cl_Shot& Shot() const { return m_actions.world.camera.GetCurrentShot(); }

    ActionWorld m_actions;
    LogCapture& m_log = m_actions.world.assets.log;
};
} // namespace

TEST_F(Staging, TheCameraMovesAlongItsCurvesAndEndsOnTheTargetShot)
{
    // From "room" (x 0, zoom 1, rotation 0) to "door" (x 100, zoom 3, rotation 90) in 2 s.
    const struct
    {
        const char* tweens;
        float x;
        float zoom;
        float rotation;
    } cases[] = {
        {"", 50.0f, 2.0f, 45.0f},
        {" focustween='easeInQuad' zoomtween='easeOutQuad' rotationtween='bounceless'", 25.0f, 2.5f, 45.0f},
    };
    for (const auto& c : cases)
    {
        ActionProbe move(
            std::string("<action type='CameraControlAction' shot1='room' shot2='door' duration='2'") +
            c.tweens + "/>");
        move.Start();
        EXPECT_FLOAT_EQ(Shot().position.x, 0.0f) << c.tweens;
        move.Frames(10, 0.1f);
        EXPECT_NEAR(Shot().position.x, c.x, 0.01f) << c.tweens;
        EXPECT_NEAR(Shot().zoom, c.zoom, 0.001f) << c.tweens;
        EXPECT_NEAR(Shot().rotation, c.rotation, 0.01f) << c.tweens;
        EXPECT_EQ(move.trace, "S");
        move.Frames(10, 0.1f);
        EXPECT_EQ(move.trace, "SD");
        EXPECT_EQ(m_actions.world.camera.GetStaticShotName(), "door");
        EXPECT_FLOAT_EQ(Shot().position.x, 100.0f);
    }
}

TEST_F(Staging, AMovingTargetShotIsFollowed)
{
    ActionProbe move("<action type='CameraControlAction' shot1='room' shot2='door' duration='2'/>");
    move.Start();
    move.Frames(5, 0.1f);
    m_actions.world.camera.AddShot("door", Ogre::Vector3(200, 0, 0), 3.0f, 90.0f, "default");
    move.Frames(1, 0.1f);
    EXPECT_NEAR(Shot().position.x, 60.0f, 0.01f) << "0.3 of the way to the shot where it is now";
}

TEST_F(Staging, ACameraMoveWithoutDurationOrShotsEndsInItsStart)
{
    const struct
    {
        const char* attributes;
        const char* shot; // the static shot afterwards
    } cases[] = {
        {"shot1='room' shot2='door'", "door"},
        {"shot1='room' shot2='door' duration='-1'", "door"},
        {"shot2='door' duration='2'", "room"},
        {"shot1='room' duration='2'", "room"},
    };
    for (const auto& c : cases)
    {
        m_actions.world.camera.ActivateShot("room");
        ActionProbe move(std::string("<action type='CameraControlAction' ") + c.attributes + "/>");
        move.Start();
        EXPECT_EQ(move.trace, "SD") << c.attributes;
        EXPECT_EQ(m_actions.world.camera.GetStaticShotName(), c.shot) << c.attributes;
    }
}

TEST_F(Staging, OnlyASkippableCameraMoveJumpsOnASkip)
{
    const struct
    {
        const char* skip;
        const char* trace;
        float x;
    } cases[] = {
        {"true", "SA", 100.0f},
        {"false", "S", 25.0f},
    };
    for (const auto& c : cases)
    {
        ActionProbe move(
            std::string("<action type='CameraControlAction' shot1='room' shot2='door' duration='2' "
                        "skip='") +
            c.skip + "'/>");
        move.Start();
        move.Frames(5, 0.1f);
        move.Action().Skip();
        EXPECT_EQ(move.trace, c.trace) << c.skip;
        EXPECT_NEAR(Shot().position.x, c.x, 0.01f) << c.skip;
    }
}

TEST_F(Staging, CurtainFadesEndWithTheCurtainAndASkipLeavesItsEndState)
{
    cl_Curtain& curtain = *m_actions.world.scenes.GetCurtain();
    const struct
    {
        const char* type;
        bool black;
        const char* skipped;
    } cases[] = {
        {"FadeToBlackAction", true, "A"},
        {"FadeFromBlackAction", false, "D"},
    };
    for (const auto& c : cases)
    {
        ActionProbe fade(std::string("<action type='") + c.type + "' duration='0'/>");
        fade.Start();
        EXPECT_EQ(fade.trace, "SD") << c.type;
        EXPECT_EQ(curtain.IsBlack(), c.black) << c.type;

        curtain.EndFade(!c.black);
        ActionProbe skipped(std::string("<action type='") + c.type + "' duration='1'/>");
        skipped.Action().Skip();
        EXPECT_EQ(skipped.trace, c.skipped) << c.type;
        EXPECT_EQ(curtain.IsBlack(), c.black) << c.type;
    }
}

TEST_F(Staging, SubtitlePlacesEyeSweepsAndVisualStates)
{
    cl_Character& hero = m_actions.Hero();
    ActionProbe absolute(
        "<action type='SpeachPositionAction' offsettype='absolute' offsetX='0.25' offsetY='0.75'/>");
    absolute.Start();
    EXPECT_EQ(hero.GetSpeechPositionMode(), 2);
    EXPECT_FLOAT_EQ(hero.GetSpeechOffsetY(), 0.75f);
    ActionProbe unknown("<action type='SpeachPositionAction' offsettype='Relative' offsetX='0.5'/>");
    unknown.Start();
    EXPECT_EQ(hero.GetSpeechPositionMode(), 2) << "an unknown type keeps the mode";
    EXPECT_FLOAT_EQ(hero.GetSpeechOffsetX(), 0.5f);
    EXPECT_TRUE(m_log.Contains("SpeachPositionAction '' keeps the speech position mode of 'avatar': unknown "
                               "offsettype 'Relative'.",
                               cl_Logger::LEVEL_WARNING));
    ActionProbe relative(
        "<action type='SpeachPositionAction' charref='characters_keeper' offsettype='relative'/>");
    relative.Start();
    EXPECT_EQ(m_actions.Keeper().GetSpeechPositionMode(), 1);

    ActionProbe sweep("<action type='EyeSweepAction' eyesweepangle='12'/>");
    sweep.Start();
    EXPECT_FLOAT_EQ(hero.GetEyeSweepAngle(), 12.0f);

    m_log.Clear();
    ActionProbe state("<action type='VisualStateAction' id='v' assetid='ghost' visualstate='open'/>");
    state.Start();
    EXPECT_EQ(state.trace, "SD");
    EXPECT_TRUE(
        m_log.Contains("SetVisualStateAction 'v' could not find an asset, character or item called 'ghost'!",
                       cl_Logger::LEVEL_ERROR));
}
