#include "sound/cl_StreamedPlaybackObject.h"

#include "support/LoopbackChannelTest.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace
{
// Streams of Ogg files on a channel of the loopback device.
class Stream : public LoopbackChannelTest
{
protected:
    Stream() : LoopbackChannelTest(1) {}

    cl_StreamedPlaybackObject& Play(const std::string& file, bool looping)
    {
        m_stream = std::make_unique<cl_StreamedPlaybackObject>(m_loader, m_pool, file);
        m_channel->Play(m_stream.get(), true, &m_callback);
        m_stream->SetLooping(looping);
        return *m_stream;
    }

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
