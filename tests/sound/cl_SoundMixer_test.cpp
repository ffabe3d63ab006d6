#include "sound/cl_SoundMixer.h"

#include "common/cl_CommandDistributor.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundPool.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
// The mixer of a sound system without a device: the music's playback is made but never plays, so the
// music's steps show in channel 0's volume and the names alone.
class MusicSteps : public testing::Test
{
protected:
    MusicSteps()
    {
        TiXmlDocument document;
        document.Parse("<sounds><sound id='a' src='a.wav'/><sound id='b' src='b.wav'/></sounds>");
        m_sound.GetSoundPool().Load(*document.RootElement());
    }

    // Runs the sound system's frames (of 1/16 s, so that times add up exactly) for that long.
    void Wait(float seconds)
    {
        for (float waited = 0.0f; waited < seconds; waited += FRAME)
            m_sound.Update(FRAME);
    }
    float MusicVolume() { return m_sound.GetChannel(0).GetVolume(); }
    cl_SoundMixer& Mixer() { return m_sound.GetMixer(); }

    static constexpr float FRAME = 0.0625f;
    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    cl_Sound m_sound{m_distributor};
};

TEST_F(MusicSteps, SwitchesFadeTheOldMusicOutAndTheNewOneIn)
{
    const struct Step
    {
        const char* music; // null: no request, only the wait
        float fadeOut;
        bool fade;
        float wait;
        float volume; // of channel 0 after the wait
        const char* heard;
    } steps[] = {
        // From silence at once, without a fade-in.
        {"a", 0.0f, false, 0.5f, 1.0f, "a"},
        // A fade-out of 2 s; the new music counts as asked for meanwhile.
        {"b", 2.0f, false, 1.0f, 0.5f, "b"},
        {nullptr, 0.0f, false, 1.0f, 1.0f, "b"},
        // The fade flag: out over 1 s, then in over 2 s.
        {"a", 1.0f, true, 0.5f, 0.5f, "a"},
        {nullptr, 0.0f, false, 0.5f, 0.0f, "a"},
        {nullptr, 0.0f, false, 1.0f, 0.5f, "a"},
        {nullptr, 0.0f, false, 1.0f, 1.0f, "a"},
        // Nothing: the music fades out and stops.
        {"", 1.0f, false, 0.5f, 0.5f, "a"},
        {nullptr, 0.0f, false, 0.5f, 1.0f, ""},
    };
    for (const Step& step : steps)
    {
        if (step.music)
            Mixer().PlayMusic(step.music, step.fadeOut, true, step.fade);
        Wait(step.wait);
        EXPECT_NEAR(MusicVolume(), step.volume, 1e-4f) << "'" << (step.music ? step.music : "-") << "'";
        EXPECT_EQ(Mixer().GetCurrentMusicName(), step.heard);
    }
    EXPECT_EQ(Mixer().GetMusicPlayback(), nullptr);
}

TEST_F(MusicSteps, TheMusicPlayingIsNotStartedAgain)
{
    Mixer().PlayMusic("a", 0.0f, true, false);
    cl_PlaybackObject* playing = Mixer().GetMusicPlayback();
    ASSERT_NE(playing, nullptr);
    Mixer().PlayMusic("a", 3.0f, true, true);
    Wait(1.0f);
    EXPECT_EQ(Mixer().GetMusicPlayback(), playing);
    EXPECT_FALSE(playing->IsLooping());
    EXPECT_EQ(MusicVolume(), 1.0f);
}

TEST_F(MusicSteps, TheMusicVolumeTakesTheFadeAlong)
{
    Mixer().PlayMusic("a", 0.0f, true, false);
    Mixer().SetMusicVolume(0.5f);
    EXPECT_EQ(MusicVolume(), 0.5f);
    Mixer().PlayMusic("b", 2.0f, true, false);
    Wait(1.0f);
    EXPECT_NEAR(MusicVolume(), 0.25f, 1e-4f);
}

TEST_F(MusicSteps, MusicThatCannotBeMadeIsTriedAgainEvery120Seconds)
{
    Mixer().PlayMusic("nosuch", 0.0f, true, true);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    Wait(120.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u);
    Wait(1.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 2u);
    Wait(120.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 3u);
    EXPECT_TRUE(m_log.Contains("Sound Definition 'nosuch' not found."));
    EXPECT_EQ(Mixer().GetCurrentMusicName(), "nosuch");
}

TEST_F(MusicSteps, TheVirtualChannelsKeepTheLastPlaybackOfAName)
{
    int id = 0;
    EXPECT_FALSE(Mixer().FindVirtualChannel("rain", id));
    Mixer().SetVirtualChannel("rain", 4);
    Mixer().SetVirtualChannel("rain", 7);
    ASSERT_TRUE(Mixer().FindVirtualChannel("rain", id));
    EXPECT_EQ(id, 7);
    EXPECT_EQ(Mixer().GetPlaybackObject(7), nullptr);
    EXPECT_TRUE(m_log.Contains("There is no playback with id '7'"));
}
} // namespace
