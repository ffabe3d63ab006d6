#include "platform/TheoraVideoManager.h"

#include "platform/TheoraMemoryDataSource.h"
#include "platform/TheoraVideoFrame.h"
#include "support/RecordingAudioFactory.h"
#include "support/TheoraLogCapture.h"
#include "support/TheoraTestClips.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

namespace
{
using namespace TheoraTestClips;

std::unique_ptr<TheoraDataSource> Memory(const std::string& name, const std::vector<unsigned char>& bytes)
{
    return std::make_unique<TheoraMemoryDataSource>(name, bytes);
}

std::vector<unsigned char> Head(const std::vector<unsigned char>& bytes, size_t count)
{
    return std::vector<unsigned char>(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(count));
}

// The tone alone in an Ogg file.
const std::vector<unsigned char>& SoundOnly()
{
    static const std::vector<unsigned char> bytes = []
    {
        TheoraClipSpec spec;
        spec.video = false;
        spec.frames = FrameColours();
        spec.toneFrequency = ToneFrequency;
        return WriteTheoraClip(spec);
    }();
    return bytes;
}

uint32_t OggChecksum(const unsigned char* data, size_t size)
{
    static const std::array<uint32_t, 256> table = []
    {
        std::array<uint32_t, 256> entries{};
        for (uint32_t i = 0; i < 256; ++i)
        {
            uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) ? (r << 1) ^ 0x04C11DB7u : r << 1;
            entries[i] = r;
        }
        return entries;
    }();
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i)
        crc = (crc << 8) ^ table[((crc >> 24) ^ data[i]) & 0xFF];
    return crc;
}

// Where the page of the frame starts. The writer puts the video in stream 1: a page with the first header,
// a page with the other two, then a page for each frame.
size_t FramePage(const std::vector<unsigned char>& bytes, int frame)
{
    int videoPage = 0;
    for (size_t at = 0; at + 27 <= bytes.size();)
    {
        const unsigned char* page = &bytes[at];
        const size_t segments = page[26];
        size_t size = 27 + segments;
        for (size_t i = 0; i < segments; ++i)
            size += page[27 + i];
        const uint32_t serial =
            page[14] | page[15] << 8 | page[16] << 16 | static_cast<uint32_t>(page[17]) << 24;
        if (serial == 1 && videoPage++ == frame + 2)
            return at;
        at += size;
    }
    ADD_FAILURE() << "no page for frame " << frame;
    return 0;
}

// Marks the video packet of the frame as a header (a data packet must begin with a 0 bit), which the Theora
// decoder refuses, and mends the page checksum so that the damage gets past the Ogg layer.
std::vector<unsigned char> DamageFrame(std::vector<unsigned char> bytes, int frame)
{
    unsigned char* page = &bytes[FramePage(bytes, frame)];
    const size_t segments = page[26];
    size_t size = 27 + segments;
    for (size_t i = 0; i < segments; ++i)
        size += page[27 + i];
    page[27 + segments] |= 0x80;
    std::fill(page + 22, page + 26, 0);
    const uint32_t crc = OggChecksum(page, size);
    for (int i = 0; i < 4; ++i)
        page[22 + i] = static_cast<unsigned char>(crc >> (8 * i));
    return bytes;
}

class TheoraVideoManagerTest : public testing::Test
{
protected:
    TheoraVideoManagerTest() { m_manager.setAudioInterfaceFactory(&m_sound); }

    // Plays the clip to its end frame by frame, taking each frame as it comes due; how many came.
    int PlayToTheEnd(TheoraVideoClip* clip, int skipFrame = -1)
    {
        clip->play();
        int frames = 0;
        for (int frame = 0; clip->getTimePosition() < clip->getDuration(); ++frame)
        {
            if (frame > 0)
                m_manager.update(static_cast<float>(FrameTime));
            if (frame == skipFrame || clip->getTimePosition() >= clip->getDuration())
                continue;
            if (WaitUntil([&] { return clip->getNextFrame() != nullptr; }))
            {
                clip->popFrame();
                ++frames;
            }
            else
                ADD_FAILURE() << "no frame at " << clip->getTimePosition();
        }
        return frames;
    }

    TheoraLogCapture m_log;
    RecordingAudioFactory m_sound;
    TheoraVideoManager m_manager;
};

TEST_F(TheoraVideoManagerTest, InputThatIsNoVideoGivesALogLineAndNoClip)
{
    const struct Case
    {
        const char* name;
        std::function<std::unique_ptr<TheoraDataSource>()> source;
        std::vector<std::string> logged;
        TheoraOutputMode mode;
    } cases[] = {
        {"a missing file",
         [] { return std::make_unique<TheoraMemoryDataSource>("/nonexistent/quillmere/missing.ogv"); },
         {"'/nonexistent/quillmere/missing.ogv'", "no Ogg data"},
         TH_XRGB},
        {"an empty file", [] { return Memory("empty.ogv", {}); }, {"'empty.ogv'", "no Ogg data"}, TH_XRGB},
        {"a file that is not Ogg",
         []
         {
             const std::string text(5000, 'x');
             return Memory("text.ogv", std::vector<unsigned char>(text.begin(), text.end()));
         },
         {"'text.ogv'", "no Ogg data"},
         TH_XRGB},
        {"a file cut off in its headers",
         [] { return Memory("cut.ogv", Head(Colours(), 200)); },
         {"'cut.ogv'", "headers are incomplete"},
         TH_XRGB},
        {"an Ogg file without a Theora stream",
         [] { return Memory("sound.ogg", SoundOnly()); },
         {"'sound.ogg'", "no Theora video stream"},
         TH_XRGB},
        {"an output mode we do not decode to",
         [] { return Memory("mode.ogv", Colours()); },
         {"'mode.ogv'", "output mode 1"},
         static_cast<TheoraOutputMode>(1)},
        {"no source at all", [] { return nullptr; }, {"no data source"}, TH_XRGB},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        EXPECT_EQ(m_manager.createVideoClip(c.source(), c.mode, 0, true), nullptr) << c.name;
        EXPECT_TRUE(m_log.Contains(c.logged)) << c.name << ": " << testing::PrintToString(m_log.Lines());
        m_manager.update(0.1f);
    }
    EXPECT_TRUE(m_sound.Records().empty());
}

TEST_F(TheoraVideoManagerTest, AFileCutOffPlaysWhatItHoldsAndEndsThere)
{
    const struct Case
    {
        const char* name;
        std::vector<unsigned char> bytes;
        float shortestDuration;
        float longestDuration;
        const char* logged;
    } cases[] = {
        {"cut off in the middle", Head(Grainy(), Grainy().size() * 6 / 10), 0.2f, 0.8f, "cut off"},
        {"cut off right after the headers", Head(Colours(), FramePage(Colours(), 0)), 0.0f, 0.0f,
         "no frames"},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        TheoraVideoClip* clip = m_manager.createVideoClip(Memory("cut.ogv", c.bytes), TH_XRGB, 0, true);
        ASSERT_NE(clip, nullptr) << c.name;
        EXPECT_TRUE(m_log.Contains({"'cut.ogv'", c.logged}))
            << c.name << testing::PrintToString(m_log.Lines());
        const float duration = clip->getDuration();
        EXPECT_GE(duration, c.shortestDuration) << c.name;
        EXPECT_LE(duration, c.longestDuration) << c.name;

        EXPECT_EQ(PlayToTheEnd(clip), static_cast<int>(std::lround(duration / FrameTime))) << c.name;
        m_manager.update(1.0f);
        EXPECT_EQ(clip->getTimePosition(), duration) << c.name;
        EXPECT_EQ(clip->getDuration(), duration) << c.name;
        m_manager.destroyVideoClip(clip);
    }
}

TEST_F(TheoraVideoManagerTest, DamagedVideoDataIsSkippedAndToldOnTheUpdateThread)
{
    TheoraVideoClip* clip =
        m_manager.createVideoClip(Memory("damaged.ogv", DamageFrame(Colours(), 3)), TH_XRGB, 0, true);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(PlayToTheEnd(clip, 3), 7) << "frame 3 is missing, the others come at their times";
    EXPECT_TRUE(m_log.Contains({"'damaged.ogv'", "damaged video data at frame 3"}))
        << testing::PrintToString(m_log.Lines());
    for (const std::thread::id& thread : m_log.Threads())
        EXPECT_EQ(thread, std::this_thread::get_id());
}

TEST_F(TheoraVideoManagerTest, DestroyingClipsAndTheManagerStopsTheirSoundWhateverTheWorkersDo)
{
    RecordingAudioFactory sound;
    auto manager = std::make_unique<TheoraVideoManager>(2);
    manager->setAudioInterfaceFactory(&sound);
    std::vector<TheoraVideoClip*> clips;
    for (int i = 0; i < 4; ++i)
    {
        clips.push_back(
            manager->createVideoClip(Memory("clip.ogv", i % 2 ? Grainy() : Colours()), TH_XRGB, 0, true));
        ASSERT_NE(clips.back(), nullptr);
        clips.back()->play();
    }
    manager->update(0.1f);
    ASSERT_EQ(sound.Records().size(), 4u);

    // Right away, while the workers are busy with it.
    manager->destroyVideoClip(clips[1]);
    EXPECT_EQ(sound.Records()[1]->stops, 1);
    EXPECT_TRUE(sound.Records()[1]->destroyed);
    manager->destroyVideoClip(clips[1]); // gone already: nothing happens
    manager->destroyVideoClip(nullptr);

    // The others go on: two workers share three clips.
    for (TheoraVideoClip* clip : {clips[0], clips[2]})
        EXPECT_TRUE(WaitUntil(
            [&]
            {
                TheoraVideoFrame* frame = clip->getNextFrame();
                return frame && HasColour(*frame, FrameColours()[2]);
            }));

    manager.reset();
    for (const std::unique_ptr<RecordedSound>& record : sound.Records())
    {
        EXPECT_EQ(record->stops, 1);
        EXPECT_TRUE(record->destroyed);
        for (const std::thread::id& thread : record->threads)
            EXPECT_EQ(thread, std::this_thread::get_id());
    }
}
} // namespace
