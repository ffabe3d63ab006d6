#include "sound/cl_SoundChannel.h"

#include "sound/cl_PlaybackObject.h"
#include "support/LogCapture.h"
#include "support/LoopbackAudio.h"
#include "support/RecordingPlaybackCallback.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// Channels on the loopback device, lending their sources to playbacks of the base kind (which play
// nothing and never end by themselves).
class SoundChannel : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_audio.IsOpen()); }

    // Lives longer than the playbacks, as in the sound system.
    cl_SoundChannel& MakeChannel(int count)
    {
        m_channels.push_back(std::make_unique<cl_SoundChannel>(count));
        return *m_channels.back();
    }
    cl_PlaybackObject* NewPlayback()
    {
        m_playbacks.push_back(std::make_unique<cl_PlaybackObject>());
        return m_playbacks.back().get();
    }

    LoopbackAudio m_audio;
    LogCapture m_log;
    RecordingPlaybackCallback m_callback;
    std::vector<std::unique_ptr<cl_SoundChannel>> m_channels;
    std::vector<std::unique_ptr<cl_PlaybackObject>> m_playbacks;
};

TEST_F(SoundChannel, StealingGoesRoundTheSourcesInOrder)
{
    cl_SoundChannel& channel = MakeChannel(5);
    const std::vector<uint32_t>& sources = channel.GetSources();
    ASSERT_EQ(sources.size(), 5u);
    std::vector<cl_PlaybackObject*> holders;
    for (int index = 0; index < 5; ++index)
    {
        holders.push_back(NewPlayback());
        channel.Play(holders.back(), true, &m_callback);
        EXPECT_EQ(holders.back()->GetSource(), sources[static_cast<size_t>(index)]);
    }
    EXPECT_TRUE(m_callback.ends.empty());
    EXPECT_EQ(m_log.Lines().size(), 0u);

    // Each steal stops the holder of the next source round the channel; it hears of it as stopped.
    for (size_t steal = 0; steal < 7; ++steal)
    {
        const uint32_t source = sources[steal % 5];
        cl_PlaybackObject* victim = channel.GetOwner(source);
        cl_PlaybackObject* newcomer = NewPlayback();
        channel.Play(newcomer, true, &m_callback);
        ASSERT_EQ(m_callback.ends.size(), steal + 1);
        EXPECT_EQ(m_callback.ends.back(), std::make_pair(victim, 1)) << steal;
        EXPECT_FALSE(victim->HasSource());
        EXPECT_EQ(newcomer->GetSource(), source) << steal;
        EXPECT_EQ(channel.GetOwner(source), newcomer);
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 7u);
    EXPECT_TRUE(m_log.Contains("A sound channel needed to be stopped."));

    // Without stealing a full channel plays nothing and tells nobody.
    cl_PlaybackObject* refused = NewPlayback();
    channel.Play(refused, false, &m_callback);
    EXPECT_FALSE(refused->HasSource());
    EXPECT_EQ(m_callback.ends.size(), 7u);
}

TEST_F(SoundChannel, TheMusicChannelStealsItsOneSourceEveryTime)
{
    cl_SoundChannel& channel = MakeChannel(1);
    ASSERT_EQ(channel.GetSources().size(), 1u);
    for (int index = 0; index < 3; ++index)
    {
        cl_PlaybackObject* playback = NewPlayback();
        channel.Play(playback, true, &m_callback);
        EXPECT_EQ(playback->GetSource(), channel.GetSources().front());
    }
    EXPECT_EQ(m_callback.ends.size(), 2u);
}

TEST_F(SoundChannel, AChannelWithoutSourcesHandsOutNothing)
{
    for (int count : {0, -8})
    {
        cl_SoundChannel& channel = MakeChannel(count);
        EXPECT_TRUE(channel.GetSources().empty());
        EXPECT_EQ(channel.GetFreeSubChannel(true), 0u);
        cl_PlaybackObject* playback = NewPlayback();
        channel.Play(playback, true, &m_callback);
        EXPECT_FALSE(playback->HasSource());
    }
    EXPECT_TRUE(m_callback.ends.empty());
}

TEST_F(SoundChannel, MutingSilencesEverySourceAndTheVolumeReadsZero)
{
    cl_SoundChannel& channel = MakeChannel(2);
    cl_PlaybackObject* playback = NewPlayback();
    channel.Play(playback, true, nullptr);
    playback->SetVolume(0.5f);
    channel.SetVolume(0.8f);
    channel.Update(0.01f);
    const auto gain = [&]
    {
        ALfloat value = -1.0f;
        alGetSourcef(playback->GetSource(), AL_GAIN, &value);
        return value;
    };
    EXPECT_FLOAT_EQ(gain(), 0.4f);

    channel.Mute();
    channel.Mute();
    EXPECT_TRUE(channel.IsMuted());
    EXPECT_EQ(channel.GetVolume(), 0.0f);
    EXPECT_EQ(gain(), 0.0f);
    channel.Update(0.01f);
    EXPECT_EQ(gain(), 0.0f);

    channel.Unmute();
    EXPECT_FALSE(channel.IsMuted());
    EXPECT_FLOAT_EQ(channel.GetVolume(), 0.8f);
    channel.Update(0.01f);
    EXPECT_FLOAT_EQ(gain(), 0.4f);
}

TEST_F(SoundChannel, ResumingPlaysOnlyWhatWasPaused)
{
    cl_SoundChannel& channel = MakeChannel(2);
    const std::vector<uint32_t>& sources = channel.GetSources();
    ASSERT_EQ(sources.size(), 2u);
    // A sound of 10 ms that ends unnoticed on the first source, one of a second on the other.
    std::vector<int16_t> silence(LoopbackAudio::RATE, 0);
    ALuint buffers[2];
    alGenBuffers(2, buffers);
    alBufferData(buffers[0], AL_FORMAT_MONO16, silence.data(), LoopbackAudio::RATE / 100 * 2,
                 LoopbackAudio::RATE);
    alBufferData(buffers[1], AL_FORMAT_MONO16, silence.data(), LoopbackAudio::RATE * 2, LoopbackAudio::RATE);
    for (size_t index = 0; index < 2; ++index)
    {
        alSourcei(sources[index], AL_BUFFER, static_cast<ALint>(buffers[index]));
        alSourcePlay(sources[index]);
    }
    m_audio.Render(0.1f);

    channel.PauseAll();
    channel.ResumeAll();
    ALint states[2];
    for (size_t index = 0; index < 2; ++index)
        alGetSourcei(sources[index], AL_SOURCE_STATE, &states[index]);
    EXPECT_EQ(states[0], AL_STOPPED);
    EXPECT_EQ(states[1], AL_PLAYING);

    for (uint32_t source : sources)
    {
        alSourceStop(source);
        alSourcei(source, AL_BUFFER, 0);
    }
    alDeleteBuffers(2, buffers);
}
} // namespace
