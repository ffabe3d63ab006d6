#include "graphics/cl_FaceControl.h"

#include "graphics/PuppetPose.h"
#include "graphics/cl_ControlledPuppet.h"
#include "platform/GameRand.h"
#include "support/HeroControlTest.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <memory>
#include <string>

namespace
{
const float FRAME = 0.05f;

// The hero's face: his eyelids and mouth, the emotion "glad" (a smile, half the blinking and the mouth)
// and "sleepy" (both lids half down).
const char* const HERO_FACE = R"(<facectrl>
    <eyes left="blink_l" right="blink_r" speed="1" frequency="1"/>
    <mouth narrow="mouth_narrow" vowel="mouth_vowel" wide="mouth_wide"/>
    <emotions>
        <emotion name="glad" autoeyes="0.5" automouth="0.5"><pose name="smile" weight="0.8"/></emotion>
        <emotion name="sleepy"><pose name="blink_l" weight="0.5"/><pose name="blink_r" weight="0.5"/></emotion>
    </emotions></facectrl>)";

class HeroFace : public HeroControlTest<cl_FaceControl>
{
protected:
    cl_FaceControl& Add(const std::string& xml = HERO_FACE)
    {
        m_face = &HeroControlTest::Add("face", xml);
        return *m_face;
    }
    PuppetPose& Pose(const char* name) const { return *m_hero->GetPose(name); }
    float Added(const char* name) const { return Pose(name).GetBaseInfluence(); }

    cl_FaceControl* m_face = nullptr;
};

TEST_F(HeroFace, TheEyelidsCloseAndOpenAlongTheBlinkAndThePauseFollows)
{
    Add();
    platform::GameSrand(4); // the first draw % 4 is 3: a pause of three blinks
    const struct
    {
        int frames; // in all, of 0.05 s: the blink's phase is frames x 0.05
        float left;
        float right;
    } cases[] = {
        {1, 0.5f, 0.335f}, {4, 1.0f, 1.0f}, {7, 0.5f, 0.665f}, {10, 0.0f, 0.0f}, {22, 0.0f, 0.0f},
    };
    int run = 0;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.frames);
        m_rig.Frames(c.frames - run, FRAME);
        run = c.frames;
        EXPECT_NEAR(Added("blink_l"), c.left, 1e-4f);
        EXPECT_NEAR(Added("blink_r"), c.right, 1e-4f);
    }
    m_rig.Frames(2, FRAME);
    EXPECT_GE(m_face->GetBlinkPhase(), -3.0f) << "past 1.1 the pause begins";
    EXPECT_LT(m_face->GetBlinkPhase(), -2.85f);
}

TEST_F(HeroFace, AFrequencyOfZeroOrLessBlinksWithoutAPause)
{
    for (const char* frequency : {"0", "-2"})
    {
        SCOPED_TRACE(frequency);
        Rebuild();
        Add(std::string(R"(<facectrl><eyes left="blink_l" right="blink_r" frequency=")") + frequency +
            "\"/></facectrl>");
        m_rig.Frames(23, FRAME);
        EXPECT_GE(m_face->GetBlinkPhase(), 0.0f);
        EXPECT_LT(m_face->GetBlinkPhase(), 0.1f);
        m_rig.Frames(4, FRAME);
        EXPECT_FLOAT_EQ(Added("blink_l"), 1.0f) << "the next blink follows at once";
    }
}

TEST_F(HeroFace, SpeedAndFrequencyKeepTheirValuesWhenAnEyesElementLacksThem)
{
    Add(R"(<facectrl><eyes left="blink_l" right="blink_r" speed="2" frequency="3"/></facectrl>)");
    m_face->FromXml(nullptr);
    TiXmlDocument document;
    document.Parse(R"(<facectrl><eyes left="blink_l" right="blink_r"/></facectrl>)");
    m_face->FromXml(document.RootElement());
    m_rig.Frames(2, FRAME);
    EXPECT_NEAR(m_face->GetBlinkPhase(), 0.2f, 1e-5f) << "speed 2";
}

TEST_F(HeroFace, EyelidsHeldByAnEmotionAreNotBlinked)
{
    Add();
    m_rig.Frames(1, FRAME);
    m_face->ActivateEmotionTemporary("sleepy", -1.0f, 1.0f, 0.0f, 0.0f);
    m_rig.Frames(3, FRAME);
    EXPECT_FLOAT_EQ(Pose("blink_l").GetWeight(), 0.5f);
    EXPECT_FLOAT_EQ(Added("blink_l"), 0.0f);
    EXPECT_FLOAT_EQ(Added("blink_r"), 0.0f);
    m_face->ActivateEmotionTemporary("glad", -1.0f, 1.0f, 0.0f, 0.0f);
    m_rig.Frames(1, FRAME);
    EXPECT_FLOAT_EQ(Pose("blink_l").GetWeight(), 0.0f) << "the old emotion drops at once";
    EXPECT_GT(Added("blink_l"), 0.0f);
}

TEST_F(HeroFace, WhileSpeakingTheMouthsThreePosesAddUpToLevelTimesOpenness)
{
    Add();
    m_face->SetSpeechLevel(0.6f);
    m_face->SetSpeaking(true);
    for (int frame = 0; frame < 40; ++frame)
    {
        m_rig.Frames(1, FRAME);
        const float sum = Added("mouth_narrow") + Added("mouth_wide") + Added("mouth_vowel");
        EXPECT_NEAR(sum, 0.6f * m_face->GetMouthOpenness(), 1e-5f) << frame;
    }
    EXPECT_FLOAT_EQ(m_face->GetMouthOpenness(), 1.0f) << "open after a second of speech";
    m_face->ActivateEmotionTemporary("glad", -1.0f, 1.0f, 0.0f, 0.0f);
    m_rig.Frames(1, FRAME);
    EXPECT_NEAR(Added("mouth_narrow") + Added("mouth_wide") + Added("mouth_vowel"), 0.3f, 1e-5f)
        << "automouth";
    m_face->SetSpeaking(false);
    m_rig.Frames(21, FRAME);
    EXPECT_FLOAT_EQ(m_face->GetMouthOpenness(), 0.0f);
    EXPECT_FLOAT_EQ(Added("mouth_vowel"), 0.0f);
}

TEST_F(HeroFace, ATemporaryEmotionFadesOutAfterItsTimeAndOnlyALastingOneIsSaved)
{
    Add();
    m_rig.Frames(1, FRAME);
    const struct
    {
        float duration;
        bool saved;
    } cases[] = {{2.0f, false}, {-1.0f, true}, {0.0f, true}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.duration);
        ASSERT_TRUE(m_face->ActivateEmotionTemporary("glad", c.duration, 0.5f, 0.2f, 0.5f));
        m_rig.Frames(4, FRAME);
        EXPECT_NEAR(Pose("smile").GetWeight(), 0.4f, 0.01f) << "0.8 at strength 0.5, faded in over 0.2 s";
        TiXmlElement state("control");
        m_face->SaveState(state);
        EXPECT_EQ(state.Attribute("emotion") != nullptr, c.saved);
        if (c.saved)
            EXPECT_STREQ(state.Attribute("strength"), "0.500000");
        m_rig.Frames(50, FRAME);
        EXPECT_NEAR(Pose("smile").GetWeight(), c.saved ? 0.4f : 0.0f, 0.01f) << "2.7 s on";
    }
}

TEST_F(HeroFace, ASavedEmotionWaitsForADisabledFaceAndFadesInOnceItIsEnabled)
{
    Add();
    m_face->SetEnabled(false);
    TiXmlElement state("control");
    state.SetAttribute("enabled", "false");
    state.SetAttribute("emotion", "glad");
    state.SetAttribute("strength", "1");
    m_face->LoadState(state);
    m_rig.Frames(10, FRAME);
    EXPECT_FLOAT_EQ(Pose("smile").GetWeight(), 0.0f);
    EXPECT_EQ(m_face->GetEmotion(), "");
    m_face->SetEnabled(true);
    m_rig.Frames(5, FRAME);
    EXPECT_NEAR(Pose("smile").GetWeight(), 0.4f, 0.01f) << "half way through the fade";
    m_rig.Frames(10, FRAME);
    EXPECT_FLOAT_EQ(Pose("smile").GetWeight(), 0.8f);
}

TEST_F(HeroFace, PosesTheFaceLacksSwitchBlinkingOrTheMouthOffAndAreReported)
{
    const struct
    {
        const char* name;
        const char* xml;
        const char* error; // empty: none
        bool blinks;
        bool speaks;
    } cases[] = {
        {"emotions only", R"(<facectrl><emotions><emotion name="glad"/></emotions></facectrl>)", "", false,
         false},
        {"an eye missing", R"(<facectrl><eyes left="blink_l" right="wink"/></facectrl>)",
         "The specified eye poses are unavailable!", false, false},
        {"a mouth pose missing",
         R"(<facectrl><mouth narrow="mouth_narrow" vowel="mouth_vowel" wide="grin"/></facectrl>)", "", false,
         false},
        {"no mouth pose at all", R"(<facectrl><mouth narrow="a" vowel="b" wide="c"/></facectrl>)",
         "The required mouth poses are unavailable!", false, false},
        {"all there", HERO_FACE, "", true, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Rebuild();
        m_log.Clear();
        Add(c.xml);
        m_face->SetSpeechLevel(1.0f);
        m_face->SetSpeaking(true);
        m_rig.Frames(4, FRAME);
        EXPECT_EQ(Added("blink_l") > 0.0f, c.blinks);
        EXPECT_EQ(Added("mouth_vowel") + Added("mouth_wide") > 0.0f, c.speaks);
        if (*c.error)
            EXPECT_TRUE(m_log.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    }
}

TEST_F(HeroFace, EachPoseTheFaceLacksIsNamed)
{
    Add(R"(<facectrl><eyes left="blink_l" right="wink"/>
        <mouth narrow="mouth_narrow" vowel="oo" wide="mouth_wide"/></facectrl>)");
    EXPECT_TRUE(m_log.Contains("The face control 'face' of 'characters_hero' finds no pose 'wink'.",
                               cl_Logger::LEVEL_WARNING));
    EXPECT_TRUE(m_log.Contains("finds no pose 'oo'.", cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 2u);
}

TEST_F(HeroFace, TheReaderSkipsNamelessEmotionsAndPosesAndASecondEmotionOfANameReplacesTheFirst)
{
    Add(R"(<facectrl><emotions>
        <emotion autoeyes="0"><pose name="smile" weight="1"/></emotion>
        <emotion name="glad" automouth="0.2"><pose name="smile" weight="1"/></emotion>
        <emotion name="glad" autoeyes="0.3"><pose weight="1"/><pose name="smile" weight="0.7"/></emotion>
        </emotions></facectrl>)");
    ASSERT_EQ(m_face->GetEmotions().size(), 1u);
    const st_Emotion& glad = m_face->GetEmotions().at("glad");
    EXPECT_FLOAT_EQ(glad.autoEyes, 0.3f);
    EXPECT_FLOAT_EQ(glad.autoMouth, 1.0f);
    ASSERT_EQ(glad.poses.size(), 1u);
    EXPECT_FLOAT_EQ(glad.poses[0].weight, 0.7f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 2u);

    EXPECT_FALSE(m_face->ActivateEmotionTemporary("cross", -1.0f, 1.0f, 0.0f, 0.0f));
    EXPECT_TRUE(m_log.Contains("Emotion with the name 'cross' does not exist!", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(m_face->FromXml(nullptr));
    EXPECT_TRUE(m_face->GetEmotions().empty());
}

TEST_F(HeroFace, AnEmotionShownStaysIntactWhenTheFaceReadsItsEmotionsAnew)
{
    Add();
    m_rig.Frames(1, FRAME);
    m_face->ActivateEmotionTemporary("glad", 0.5f, 1.0f, 0.0f, 0.0f);
    m_face->FromXml(nullptr);
    m_rig.Frames(12, FRAME);
    EXPECT_FLOAT_EQ(Pose("smile").GetWeight(), 0.0f) << "it still ends as it was told";
    EXPECT_EQ(m_face->GetEmotion(), "");
}
} // namespace
