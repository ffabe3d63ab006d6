#include "sound/cl_PlaybackObject.h"

#include "common/cl_CommandDistributor.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "sound/cl_ManualPlaybackObject.h"
#include "sound/cl_SingleFilePlaybackObject.h"
#include "sound/cl_SpokentextPlaybackObject.h"
#include "support/LoopbackChannelTest.h"
#include "support/ToneFiles.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace
{
// Playback objects on a channel of the loopback device, over files in OGRE's sound groups.
class Playbacks : public LoopbackChannelTest
{
protected:
    Playbacks() : LoopbackChannelTest(2)
    {
        ToneSpec tone;
        tone.seconds = 0.05f;
        m_files.AddGameFile("short.wav", ToneWav(tone));
    }
};

TEST_F(Playbacks, ASingleFileTellsOfItsEndOnce)
{
    enum Action
    {
        NOTHING,
        STOP,
        DESTROY,
    };
    const struct
    {
        const char* name;
        const char* file;
        bool looping;
        Action action; // after 0.2 s
        std::vector<int> ends;
        const char* logged;
    } cases[] = {
        {"it runs out", "short.wav", false, NOTHING, {0}, ""},
        {"it is stopped after its end", "short.wav", false, STOP, {0}, ""},
        {"a looping sound never ends by itself", "short.wav", true, NOTHING, {}, ""},
        {"a looping sound is stopped", "short.wav", true, STOP, {1}, ""},
        {"a looping sound dies while it plays", "short.wav", true, DESTROY, {1}, ""},
        {"a missing file ends at the next update",
         "gone.wav",
         false,
         NOTHING,
         {0},
         "Unable to buffer sound 'gone.wav'. File not found."},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        m_log.Clear();
        auto playback = std::make_unique<cl_SingleFilePlaybackObject>(m_loader, m_pool);
        playback->SetFile(c.file);
        playback->SetLooping(c.looping);
        m_channel->Play(playback.get(), true, &m_callback);
        ASSERT_TRUE(playback->HasSource()) << c.name;
        Run(0.2f);
        if (c.action == STOP)
            playback->Stop();
        else if (c.action == DESTROY)
            playback.reset();
        Run(0.2f);
        std::vector<int> ends;
        for (const auto& end : m_callback.ends)
            ends.push_back(end.second);
        EXPECT_EQ(ends, c.ends) << c.name;
        EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), *c.logged ? 1u : 0u) << c.name;
        EXPECT_TRUE(!*c.logged || m_log.Contains(c.logged)) << c.name;
        if (playback)
            EXPECT_EQ(playback->HasSource(), c.ends.empty()) << c.name;
    }
}

TEST_F(Playbacks, TheEndOfAMissingFileComesAtTheFirstUpdate)
{
    cl_SingleFilePlaybackObject playback(m_loader, m_pool);
    playback.SetFile("gone.wav");
    m_channel->Play(&playback, true, &m_callback);
    EXPECT_TRUE(m_callback.ends.empty());
    m_channel->Update(0.01f);
    ASSERT_EQ(m_callback.ends.size(), 1u);
    EXPECT_EQ(m_callback.ends.front(), std::make_pair(static_cast<cl_PlaybackObject*>(&playback), 0));
    EXPECT_EQ(m_channel->GetOwner(m_channel->GetSources().front()), nullptr);
}

TEST_F(Playbacks, TheSoundIsHeardAtItsVolume)
{
    ToneSpec tone;
    tone.seconds = 0.3f;
    m_files.AddGameFile("tone.wav", ToneWav(tone));
    cl_SingleFilePlaybackObject playback(m_loader, m_pool);
    playback.SetFile("tone.wav");
    m_channel->Play(&playback, true, nullptr);
    Run(0.1f);
    playback.SetVolume(0.5f);
    Run(0.1f);
    m_channel->SetVolume(0.5f);
    Run(0.2f);
    const Recording heard = Heard();
    const float full = heard.ToneLevel(440.0f, 0.02f, 0.05f);
    EXPECT_GT(full, 0.1f);
    EXPECT_NEAR(heard.ToneLevel(440.0f, 0.13f, 0.05f), 0.5f * full, 0.05f * full);
    EXPECT_NEAR(heard.ToneLevel(440.0f, 0.23f, 0.05f), 0.25f * full, 0.05f * full);
    EXPECT_LT(heard.ToneLevel(440.0f, 0.33f, 0.05f), 0.01f * full) << "the tone has ended";
}

TEST_F(Playbacks, PushedSamplesAreQueuedInBlocksOf4096Values)
{
    const struct
    {
        int channels;
        int frames;
        int staged;
    } cases[] = {{1, 5000, 904}, {2, 3000, 1904}, {1, 4000, 4000}};
    for (const auto& c : cases)
    {
        std::vector<float> left(static_cast<size_t>(c.frames), 0.25f);
        std::vector<float> right(static_cast<size_t>(c.frames), -2.0f); // beyond full scale: held
        const float* samples[] = {left.data(), right.data()};
        cl_ManualPlaybackObject playback(c.channels, LoopbackAudio::RATE);
        m_channel->Play(&playback, true, &m_callback);
        playback.QueueData(samples, c.frames);
        EXPECT_EQ(playback.GetStagedCount(), c.staged) << c.channels;
        ALint queued = 0;
        ALint state = 0;
        alGetSourcei(playback.GetSource(), AL_BUFFERS_QUEUED, &queued);
        alGetSourcei(playback.GetSource(), AL_SOURCE_STATE, &state);
        EXPECT_EQ(queued, c.frames * c.channels >= 4096 ? 1 : 0) << c.channels;
        EXPECT_EQ(state == AL_PLAYING, queued > 0) << c.channels;
        Run(0.2f);
        EXPECT_TRUE(playback.HasSource()) << "pushed sound never ends by itself";
        playback.Stop();
    }
    EXPECT_EQ(m_callback.ends.size(), 3u);
}

TEST_F(Playbacks, ASpokenLineMovesItsSpeakersMouth)
{
    cl_CommandDistributor distributor;
    cl_CharacterManager characters(distributor);
    cl_Character* keeper =
        characters.AddCharacter(std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, "keeper"));
    const struct
    {
        float amplitude;
        float mouth; // the mean size of the sine x 20, held at 1
    } cases[] = {{0.5f, 1.0f}, {0.01f, 0.01f * 2.0f / 3.14159f * 20.0f}};
    for (const auto& c : cases)
    {
        ToneSpec tone;
        tone.seconds = 0.3f;
        tone.amplitude = c.amplitude;
        const std::string name = "line" + std::to_string(static_cast<int>(c.amplitude * 100));
        m_files.AddSpeechFile(name + ".wav", ToneWav(tone));
        cl_SpokentextPlaybackObject line(m_loader, m_pool, "keeper");
        line.SetSpokenFile(name);
        m_channel->Play(&line, true, nullptr);
        Run(0.15f);
        EXPECT_NEAR(keeper->GetSpeechLevel(), c.mouth, 0.01f) << c.amplitude;
        Run(0.25f);
        EXPECT_FALSE(line.HasSource());
        EXPECT_EQ(keeper->GetSpeechLevel(), 0.0f) << "the mouth closes at the end";
    }
}
} // namespace
