#include "assets/cl_PlaySoundAction.h"

#include "common/cl_CommandDistributor.h"
#include "common/cl_Config.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundPool.h"
#include "support/ActionProbe.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace
{
// The sound system on a device, with the definitions "tone" (0.2 s), "hum" (the tone for ever) and
// "twice" (the tone two times).
class SoundActions : public testing::Test
{
protected:
    SoundActions()
    {
        ToneSpec tone;
        tone.frequency = 440.0f;
        tone.seconds = 0.2f;
        m_files.AddGameFile("tone.wav", ToneWav(tone));
        m_config.SetValue("sound", "100");
        m_sound.Init();
        TiXmlDocument document;
        document.Parse(
            "<sounds><sound id='tone' src='tone.wav'/><sound id='hum' src='tone.wav' loopcount='true'/>"
            "<sound id='twice' src='tone.wav' loopcount='2'/></sounds>");
        EXPECT_TRUE(m_sound.GetSoundPool().Load(*document.RootElement()));
    }

    // Runs the sound system in real time until done holds, for at most two seconds; whether it held.
    bool RunUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!done() && std::chrono::steady_clock::now() < end)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            m_sound.Update(0.005f);
        }
        return done();
    }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    TemporaryFolder m_settings;
    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    ManualGameTime m_time{m_distributor};
    cl_Config m_config{m_settings.PathOf("user"), m_settings.PathOf("work"), ""};
    cl_Sound m_sound{m_distributor};
};
} // namespace

TEST_F(SoundActions, APlayedSoundHoldsTheActionUntilItEndsUnlessItNeverEnds)
{
    const struct
    {
        const char* sound;
        const char* traceAtStart;
    } cases[] = {
        {"tone", "S"},
        {"hum", "SD"},
        {"nosuch", "SD"},
    };
    for (const auto& c : cases)
    {
        ActionProbe play(std::string("<action type='PlaySoundAction' soundid='") + c.sound + "'/>");
        play.Start();
        EXPECT_EQ(play.trace, c.traceAtStart) << c.sound;
        EXPECT_TRUE(RunUntil([&play] { return play.IsDone(); })) << c.sound;
        EXPECT_EQ(play.trace, "SD") << c.sound;
    }
}

TEST_F(SoundActions, AStopOnAVirtualChannelTakesThePlaybackOver)
{
    ActionProbe play("<action type='PlaySoundAction' soundid='twice' virtualchannel='door'/>");
    ActionProbe stop("<action type='StopSoundAction' virtualchannel='door' fadetime='0.1'/>");
    play.Start();
    ASSERT_EQ(play.trace, "S");
    stop.Start();
    EXPECT_EQ(play.trace, "SD") << "taken over, the player is told no more and goes on";
    EXPECT_TRUE(RunUntil([&stop] { return stop.IsDone(); }));
    EXPECT_EQ(stop.trace, "SD");
    EXPECT_EQ(play.trace, "SD") << "told once";

    ActionProbe again("<action type='StopSoundAction' virtualchannel='door'/>");
    again.Start();
    EXPECT_EQ(again.trace, "SD") << "the playback is gone";
    ActionProbe unknown("<action type='StopSoundAction' virtualchannel='never'/>");
    unknown.Start();
    EXPECT_EQ(unknown.trace, "SD");
}
