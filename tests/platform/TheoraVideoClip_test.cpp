#include "platform/TheoraVideoClip.h"

#include "platform/TheoraMemoryDataSource.h"
#include "platform/TheoraVideoFrame.h"
#include "platform/TheoraVideoManager.h"
#include "support/RecordingAudioFactory.h"
#include "support/TheoraLogCapture.h"
#include "support/TheoraTestClips.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>

namespace
{
using namespace TheoraTestClips;

// Memory that tells when the worker has read it to its end, so has decoded all but what is in the last
// few kilobytes.
class WatchedSource : public TheoraMemoryDataSource
{
public:
    WatchedSource(const std::vector<unsigned char>& bytes, std::atomic<bool>& workerReadAll)
        : TheoraMemoryDataSource("watched.ogv", bytes), m_workerReadAll(workerReadAll)
    {
    }
    int read(void* output, int nBytes) override
    {
        const int count = TheoraMemoryDataSource::read(output, nBytes);
        if (tell() == size() && std::this_thread::get_id() != m_creator)
            m_workerReadAll = true;
        return count;
    }

private:
    std::atomic<bool>& m_workerReadAll;
    const std::thread::id m_creator = std::this_thread::get_id();
};

class TheoraVideoClipTest : public testing::Test
{
protected:
    TheoraVideoClipTest() { m_manager.setAudioInterfaceFactory(&m_sound); }

    TheoraVideoClip* Create(int precachedFrames = 0, bool power2Stride = true,
                            const std::vector<unsigned char>& bytes = Colours())
    {
        m_workerReadAll = false;
        return m_manager.createVideoClip(std::make_unique<WatchedSource>(bytes, m_workerReadAll), TH_XRGB,
                                         precachedFrames, power2Stride);
    }

    // Waits until the frame due now is the one of the given colour (the worker may still be decoding it).
    testing::AssertionResult Shows(TheoraVideoClip* clip, size_t frameIndex)
    {
        TheoraVideoFrame* frame = nullptr;
        if (WaitUntil(
                [&]
                {
                    frame = clip->getNextFrame();
                    return frame && HasColour(*frame, FrameColours()[frameIndex]);
                }))
            return testing::AssertionSuccess();
        if (!frame)
            return testing::AssertionFailure() << "no frame due at " << clip->getTimePosition();
        return HasColour(*frame, FrameColours()[frameIndex]) << " (at " << clip->getTimePosition() << ")";
    }

    // Total samples of channel 0 handed over so far.
    size_t SamplesHeard() const
    {
        return m_sound.Records().empty() ? 0 : m_sound.Records().front()->samples[0].size();
    }

    std::atomic<bool> m_workerReadAll{false};
    TheoraLogCapture m_log;
    RecordingAudioFactory m_sound; // its records outlive the clips' sound interfaces
    TheoraVideoManager m_manager;
};

TEST_F(TheoraVideoClipTest, ShowsEachFrameInItsColourAtItsTimeAndEndsAtTheDuration)
{
    TheoraVideoClip* clip = Create();
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->getWidth(), Width);
    EXPECT_EQ(clip->getHeight(), Height);
    EXPECT_NEAR(clip->getDuration(), FrameColours().size() * FrameTime, 1e-5) << "known before playing";
    clip->restart();
    clip->play();

    for (size_t frameIndex = 0; frameIndex < FrameColours().size(); ++frameIndex)
    {
        if (frameIndex > 0)
            m_manager.update(static_cast<float>(FrameTime));
        ASSERT_TRUE(Shows(clip, frameIndex)) << "frame " << frameIndex;
        const TheoraVideoFrame* frame = clip->getNextFrame();
        EXPECT_EQ(frame->getStride(), 128) << "rows padded to a power of two";
        EXPECT_EQ(frame->getHeight(), Height);
        clip->popFrame();
        EXPECT_EQ(clip->getNextFrame(), nullptr) << "the next frame is not due yet";
        EXPECT_LT(clip->getTimePosition(), clip->getDuration());
    }

    m_manager.update(static_cast<float>(FrameTime));
    EXPECT_EQ(clip->getTimePosition(), clip->getDuration())
        << "the end rule: the position reaches the duration";
    m_manager.update(1.0f);
    EXPECT_EQ(clip->getTimePosition(), clip->getDuration()) << "and stays there";
    EXPECT_EQ(clip->getNextFrame(), nullptr) << "eight frames, no more";
}

TEST_F(TheoraVideoClipTest, PicturesAreTheRightWayRound)
{
    TheoraVideoClip* clip = Create(0, true, MarkedCorner());
    TheoraVideoFrame* frame = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (frame = clip->getNextFrame()) != nullptr; }));
    // Theora's loop filter softens the block edges between the colours: a few pixels are left out there.
    const int l = CornerLeft;
    const int t = CornerTop;
    const int m = 4;
    EXPECT_TRUE(HasColour(*frame, FrameColours()[0], 0, 0, l - m, t - m)) << "top left";
    EXPECT_TRUE(HasColour(*frame, FrameColours()[0], l + m, 0, MarkedWidth, t - m)) << "top right";
    EXPECT_TRUE(HasColour(*frame, FrameColours()[0], 0, t + m, l - m, MarkedHeight)) << "bottom left";
    EXPECT_TRUE(HasColour(*frame, CornerColour, l + m, t + m, MarkedWidth, MarkedHeight)) << "bottom right";
}

TEST_F(TheoraVideoClipTest, RowsArePaddedOnlyWhenAskedFor)
{
    const struct Case
    {
        bool power2Stride;
        int stride;
    } cases[] = {{true, 128}, {false, Width}};
    for (const Case& c : cases)
    {
        TheoraVideoClip* clip = Create(0, c.power2Stride);
        ASSERT_TRUE(Shows(clip, 0));
        EXPECT_EQ(clip->getNextFrame()->getStride(), c.stride) << c.power2Stride;
        m_manager.destroyVideoClip(clip);
    }
}

TEST_F(TheoraVideoClipTest, AFrameLeftInTheQueueGivesWayToALaterOneDue)
{
    TheoraVideoClip* clip = Create();
    clip->play();
    ASSERT_TRUE(Shows(clip, 0));
    m_manager.update(static_cast<float>(FrameTime));
    EXPECT_TRUE(Shows(clip, 1)) << "frame 0 was never popped";
    m_manager.update(0.13f);
    EXPECT_TRUE(Shows(clip, 4)) << "nor frame 1, and the clock passed 2 and 3";
    clip->popFrame();
    EXPECT_EQ(clip->getNextFrame(), nullptr) << "the frames passed over are gone";
}

TEST_F(TheoraVideoClipTest, TheWorkerSkipsFramesThatAreLateBeforeItDecodesThem)
{
    const struct Case
    {
        float jump;
        int due;
    } cases[] = {{0.13f, 3}, {0.31f, 7}};
    for (const Case& c : cases)
    {
        // With one frame of queue, nothing but frame 0 can be decoded before the clock jumps.
        TheoraVideoClip* clip = Create(1);
        clip->play();
        m_manager.update(c.jump);

        // Take frames as the player does until the one due now arrives.
        std::vector<int> shown;
        ASSERT_TRUE(WaitUntil(
            [&]
            {
                TheoraVideoFrame* frame = clip->getNextFrame();
                if (!frame)
                    return false;
                shown.push_back(ColourIndex(*frame));
                if (shown.back() == c.due)
                    return true;
                clip->popFrame();
                return false;
            }))
            << c.jump;
        EXPECT_TRUE(shown == std::vector<int>({c.due}) || shown == std::vector<int>({0, c.due})) << c.jump;

        clip->popFrame();
        if (c.due + 1 < static_cast<int>(FrameColours().size()))
        {
            m_manager.update(static_cast<float>(FrameTime));
            EXPECT_TRUE(Shows(clip, static_cast<size_t>(c.due) + 1))
                << c.jump << ": the clock goes on from there";
        }
        m_manager.destroyVideoClip(clip);
    }
}

TEST_F(TheoraVideoClipTest, RestartGoesBackToTheFirstFrameAndTheFirstSound)
{
    TheoraVideoClip* clip = Create();
    clip->play();
    for (size_t frameIndex = 1; frameIndex <= 4; ++frameIndex)
        m_manager.update(static_cast<float>(FrameTime));
    ASSERT_TRUE(Shows(clip, 4));
    ASSERT_TRUE(WaitUntil(
        [&]
        {
            m_manager.update(0.0f);
            return SamplesHeard() > 4096;
        }));
    const size_t heardBefore = SamplesHeard();
    const RecordedSound& sound = *m_sound.Records().front();

    clip->restart();
    EXPECT_EQ(clip->getTimePosition(), 0.0f);
    EXPECT_EQ(sound.stops, 1) << "what was queued for the old position is not wanted";
    EXPECT_TRUE(Shows(clip, 0));
    clip->popFrame();
    m_manager.update(static_cast<float>(FrameTime));
    EXPECT_TRUE(Shows(clip, 1)) << "still playing after the restart";

    ASSERT_TRUE(WaitUntil(
        [&]
        {
            m_manager.update(0.0f);
            return SamplesHeard() >= heardBefore + 4096;
        }));
    const std::vector<float>& heard = sound.samples[0];
    EXPECT_TRUE(std::equal(heard.begin() + static_cast<ptrdiff_t>(heardBefore),
                           heard.begin() + static_cast<ptrdiff_t>(heardBefore) + 4096, heard.begin()))
        << "the sound starts over too";
}

TEST_F(TheoraVideoClipTest, SoundReachesTheInterfaceInOrderOnTheUpdateThreadPacedByTheClock)
{
    // Every frame may be decoded ahead, and the test waits until the worker has read the whole file: all
    // the sound is decoded before the clock moves, so only the pacing can hold it back.
    TheoraVideoClip* clip = Create(26, true, Grainy());
    ASSERT_EQ(m_sound.Records().size(), 1u);
    const RecordedSound& sound = *m_sound.Records().front();
    EXPECT_EQ(sound.owner, clip);
    EXPECT_EQ(sound.channels, Channels);
    EXPECT_EQ(sound.rate, SampleRate);
    ASSERT_TRUE(WaitUntil([&] { return m_workerReadAll.load(); }));
    m_manager.update(0.0f);
    EXPECT_EQ(SamplesHeard(), 0u) << "nothing before play";

    clip->play();
    while (clip->getTimePosition() < clip->getDuration())
    {
        m_manager.update(static_cast<float>(FrameTime / 2));
        EXPECT_LE(SamplesHeard(), (clip->getTimePosition() + 0.25) * SampleRate)
            << "at " << clip->getTimePosition() << " s";
        EXPECT_TRUE(WaitUntil(
            [&]
            {
                m_manager.update(0.0f);
                return SamplesHeard() >= std::min(clip->getTimePosition() + 0.1, 1.0) * SampleRate;
            }))
            << "at " << clip->getTimePosition() << " s the sound ahead is not handed over";
    }
    const size_t toneLength = static_cast<size_t>(clip->getDuration() * SampleRate);
    EXPECT_GE(SamplesHeard(), toneLength);

    for (const std::thread::id& thread : sound.threads)
        EXPECT_EQ(thread, std::this_thread::get_id());
    EXPECT_EQ(sound.samples[1], sound.samples[0]) << "both channels carry the tone";
    // The sound is the tone from its first sample on: anything out of order or left out would show.
    double worst = 0.0;
    size_t worstAt = 0;
    for (size_t i = 0; i < toneLength; ++i)
    {
        const double tone = ToneAmplitude * std::sin(2.0 * M_PI * ToneFrequency * i / SampleRate);
        const double error = std::fabs(sound.samples[0][i] - tone);
        if (error > worst)
        {
            worst = error;
            worstAt = i;
        }
    }
    EXPECT_LT(worst, 0.05) << "at sample " << worstAt;
}
} // namespace
