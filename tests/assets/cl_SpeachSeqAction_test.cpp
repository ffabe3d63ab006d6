#include "assets/cl_SpeachSeqAction.h"

#include "assets/cl_SpokentextPool.h"
#include "common/cl_Logger.h"
#include "graphics/cl_Character.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class SpeechLines : public testing::Test
{
protected:
    ActionWorld m_actions;
    LogCapture& m_log = m_actions.world.assets.log;
};
} // namespace

TEST(SpeechReadingTime, IsCountedInBytesWithATwoSecondFloor)
{
    const struct
    {
        std::string text;
        float seconds;
    } cases[] = {
        {"", 2.0f},
        {std::string(10, 'a'), 2.0f},
        {std::string(40, 'a'), 3.0f},
        {"\xC3\xA4\xC3\xB6", 2.0f},
        {std::string(100, 'a'), 7.5f},
    };
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(cl_SpeachSeqAction::ReadingTime(c.text), c.seconds) << c.text.size();
}

TEST_F(SpeechLines, ALineWithoutVoiceStaysItsReadingTimeWhileTheSpeakerSpeaks)
{
    const struct
    {
        const char* text;
        int framesBefore; // of 0.1 s, still speaking after them
    } cases[] = {
        {"keeper_line", 19}, // 10 bytes: 2.0 s
        {"hero_long", 29},   // 40 bytes: 3.0 s
    };
    for (const auto& c : cases)
    {
        ActionProbe line(std::string("<action type='SpeachAction' textref='") + c.text + "'/>");
        line.Start();
        const cl_Character& speaker =
            std::string(c.text) == "hero_long" ? m_actions.Hero() : m_actions.Keeper();
        EXPECT_TRUE(speaker.IsSpeaking()) << c.text;
        EXPECT_FLOAT_EQ(speaker.GetSpeechLevel(), 1.0f) << "the mouth moves without voice";
        line.Frames(c.framesBefore, 0.1f);
        EXPECT_EQ(line.trace, "S") << c.text;
        line.Frames(2, 0.1f);
        EXPECT_EQ(line.trace, "SD") << c.text;
        EXPECT_FALSE(speaker.IsSpeaking()) << c.text;
    }
}

TEST_F(SpeechLines, ABusySpeakerIsWaitedForWithOneWarning)
{
    ActionProbe first("<action type='SpeachAction' textref='keeper_line'/>");
    ActionProbe second("<action type='SpeachAction' id='again' textref='keeper_line'/>");
    m_log.Clear();
    first.Start();
    second.Start();
    second.Frames(5, 0.1f);
    EXPECT_EQ(second.trace, "") << "waits";
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 1u);
    EXPECT_TRUE(
        m_log.Contains("The SpeachAction with the Id 'again' found 'characters_keeper' allready talking. "
                       "Waiting...",
                       cl_Logger::LEVEL_WARNING));
    // Stopping the waiting line leaves the speaker, who still says the first one, alone.
    second.Action().Stop(true);
    EXPECT_TRUE(m_actions.Keeper().IsSpeaking());

    ActionProbe third("<action type='SpeachAction' textref='keeper_line'/>");
    third.Start();
    first.Frames(21, 0.1f);
    ASSERT_EQ(first.trace, "SD");
    EXPECT_EQ(third.trace, "");
    third.Frames(1, 0.1f);
    EXPECT_EQ(third.trace, "S") << "begins on the update after the speaker fell silent";
    EXPECT_TRUE(m_actions.Keeper().IsSpeaking());
}

TEST_F(SpeechLines, ASkipCountsOnlyAfterTheLockAndWhereTheLineAllowsIt)
{
    const struct
    {
        const char* name;
        const char* skip;
        int framesBeforeSkip;
        const char* trace;
    } cases[] = {
        {"too early", "", 2, "S"},
        {"after the lock", "", 4, "SA"},
        {"an unskippable line", " skip='false'", 10, "S"},
    };
    for (const auto& c : cases)
    {
        ActionProbe line(std::string("<action type='SpeachAction' textref='hero_long'") + c.skip + "/>");
        line.Start();
        line.Frames(c.framesBeforeSkip, 0.1f);
        line.Action().Skip();
        EXPECT_EQ(line.trace, c.trace) << c.name;
        EXPECT_EQ(m_actions.Hero().IsSpeaking(), line.trace == "S") << c.name;
        line.Action().Stop(true);
        EXPECT_FALSE(m_actions.Hero().IsSpeaking()) << c.name << ": the abort ends the line";
    }
}

TEST_F(SpeechLines, AMissingTextOrSpeakerEndsTheLineAtOnce)
{
    const struct
    {
        const char* textId;
        const char* warning;
    } cases[] = {
        {"unknown", "SpeachAction does nothing because the SpokenText couldn't be resolved!"},
        {"mute_line", "SpeachAction does nothing because the Speaker couldn't be resolved!"},
    };
    auto* mute = m_actions.world.assets.poolManager.GetSpokentextPool()->AddNewAsset("mute_line");
    ASSERT_NE(mute, nullptr);
    for (const auto& c : cases)
    {
        m_log.Clear();
        ActionProbe line(std::string("<action type='SpeachAction' textref='") + c.textId + "'/>");
        line.Start();
        EXPECT_EQ(line.trace, "D") << c.textId;
        EXPECT_TRUE(m_log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.textId;
    }
}
