#include "sound/cl_StreamedPlaybackObject.h"

#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/LoopbackAudio.h"
#include "support/Recording.h"
#include "support/RecordingPlaybackCallback.h"
#include "support/SoundFolder.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
// Streams of Ogg files on a channel of the loopback device, updated every 20 ms as by the frames.
class Stream : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_audio.IsOpen()); }

    cl_StreamedPlaybackObject& Play(const std::string& file, bool looping)
    {
        m_stream = std::make_unique<cl_StreamedPlaybackObject>(m_loader, m_pool, file);
        m_channel->Play(m_stream.get(), true, &m_callback);
        m_stream->SetLooping(looping);
        return *m_stream;
    }
    void Run(float seconds)
    {
        m_audio.Run(
            seconds, [this](float dt) { m_channel->Update(dt); }, 0.02f);
    }
    Recording Heard() const { return Recording(m_audio.Samples(), 2, LoopbackAudio::RATE); }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    LoopbackAudio m_audio;
    LogCapture m_log;
    cl_SoundLoader m_loader;
    cl_SoundPool m_pool{m_loader};
    std::unique_ptr<cl_SoundChannel> m_channel = std::make_unique<cl_SoundChannel>(1);
    RecordingPlaybackCallback m_callback;
    std::unique_ptr<cl_StreamedPlaybackObject> m_stream;
};

TEST_F(Stream, AShortStreamPlaysOnceAndEndsOnce)
{
    ToneSpec tone;
    tone.seconds = 0.3f; // less than one buffer
    m_files.AddGameFile("short.ogg", ToneOgg(tone));
    Play("short.ogg", false);
    EXPECT_TRUE(m_log.Contains("Playing ogg stream short.ogg"));
    Run(1.0f);
    ASSERT_EQ(m_callback.ends.size(), 1u);
    EXPECT_EQ(m_callback.ends.front().second, 0);
    Run(0.5f);
    EXPECT_EQ(m_callback.ends.size(), 1u);
    size_t finished = 0;
    for (const LogCapture::Line& line : m_log.Lines())
        finished += line.text.find("Plaback of stream 'short.ogg' finished") != std::string::npos;
    EXPECT_EQ(finished, 1u);

    const Recording heard = Heard();
    EXPECT_GT(heard.ToneLevel(440.0f, 0.1f, 0.1f), 0.1f);
    EXPECT_LT(heard.ToneLevel(440.0f, 0.4f, 0.1f), 0.01f);
}

TEST_F(Stream, ALoopingStreamHasNoGapsAtItsBuffersOrItsStart)
{
    // 1.5 s of stereo: two buffers and a part; 660 whole periods, so the loop joins without a step.
    ToneSpec tone;
    tone.seconds = 1.5f;
    tone.channels = 2;
    m_files.AddGameFile("music/loop.ogg", ToneOgg(tone));
    Play("music\\loop.ogg", true);
    Run(7.0f);
    EXPECT_TRUE(m_callback.ends.empty());
    EXPECT_TRUE(m_stream->HasSource());

    const Recording heard = Heard();
    std::vector<float> windows;
    for (float start = 0.01f; start + 0.01f <= heard.Seconds(); start += 0.01f)
        windows.push_back(heard.Rms(start, 0.01f));
    const float quietest = *std::min_element(windows.begin(), windows.end());
    EXPECT_GT(quietest, 0.3f) << "a tone of amplitude 0.5 has an RMS of 0.35 in every 10 ms";
}

TEST_F(Stream, AStreamThatCannotBeOpenedGivesItsSourceBackAndEnds)
{
    m_files.AddGameFile("broken.ogg", "OggS, but no Vorbis stream follows");
    const struct
    {
        const char* file;
        const char* logged;
    } cases[] = {
        {"gone.ogg", "Unable to open file 'gone.ogg'. File not found."},
        {"broken.ogg", "Unable to open file 'broken.ogg'. Could not open Ogg stream. "},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        m_log.Clear();
        cl_StreamedPlaybackObject& stream = Play(c.file, true);
        EXPECT_TRUE(m_log.Contains(c.logged, cl_Logger::LEVEL_ERROR)) << c.file;
        Run(0.02f);
        ASSERT_EQ(m_callback.ends.size(), 1u) << c.file;
        EXPECT_EQ(m_callback.ends.front().second, 0) << c.file;
        EXPECT_FALSE(stream.HasSource()) << c.file;
        EXPECT_EQ(m_channel->GetOwner(m_channel->GetSources().front()), nullptr) << c.file;
    }
}

TEST_F(Stream, AStreamStartsOnlyOnce)
{
    ToneSpec tone;
    m_files.AddGameFile("tone.ogg", ToneOgg(tone));
    cl_StreamedPlaybackObject& stream = Play("tone.ogg", false);
    EXPECT_FALSE(stream.InitStream());
    EXPECT_TRUE(m_log.Contains("Tried to init a stream that already is playing.", cl_Logger::LEVEL_WARNING));
}
} // namespace
