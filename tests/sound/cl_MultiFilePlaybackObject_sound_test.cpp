#include "sound/cl_MultiFilePlaybackObject.h"

#include "platform/GameRand.h"
#include "support/LoopbackChannelTest.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The pitches of the files f0 to f3, far enough apart to be told from each other in 40 ms.
const float PITCHES[] = {400.0f, 700.0f, 1000.0f, 1300.0f};
const float FILE_SECONDS = 0.06f;

// Sequences of short tone files on a channel of the loopback device; what played is read back from the
// rendered sound, one file's time after another.
class MultiFile : public LoopbackChannelTest
{
protected:
    MultiFile() : LoopbackChannelTest(3)
    {
        platform::UseGameRandForOgre();
        platform::GameSrand(1);
        for (int index = 0; index < 4; ++index)
            AddTone("f" + std::to_string(index) + ".wav", PITCHES[index], FILE_SECONDS);
    }

    void AddTone(const std::string& name, float pitch, float seconds)
    {
        ToneSpec tone;
        tone.frequency = pitch;
        tone.seconds = seconds;
        m_files.AddGameFile(name, ToneWav(tone));
    }
    static cl_SoundDefinition Definition(const std::vector<std::string>& files, int loopCount,
                                         const std::string& choose = "", bool start = false, bool end = false)
    {
        cl_SoundDefinition definition;
        definition.m_id = "sequence";
        definition.m_files = files;
        definition.m_loopCount = loopCount;
        if (!choose.empty())
            definition.m_params["choose"] = choose;
        if (start)
            definition.m_params["start"] = "true";
        if (end)
            definition.m_params["end"] = "true";
        return definition;
    }
    cl_MultiFilePlaybackObject& Play(const cl_SoundDefinition& definition)
    {
        m_playback = std::make_unique<cl_MultiFilePlaybackObject>(m_loader, definition);
        m_channel->Play(m_playback.get(), true, &m_callback);
        return *m_playback;
    }
    // The files heard one after another ("f0 f1 f1 f3"), read in the middle of each file's time.
    std::string Sequence() const
    {
        const Recording heard = Heard();
        std::string sequence;
        for (float start = 0.01f; start + 0.04f <= heard.Seconds(); start += FILE_SECONDS)
        {
            int loudest = -1;
            float level = 0.05f;
            for (int index = 0; index < 4; ++index)
            {
                const float pitchLevel = heard.ToneLevel(PITCHES[index], start, 0.04f);
                if (pitchLevel > level)
                {
                    level = pitchLevel;
                    loudest = index;
                }
            }
            if (loudest >= 0)
                sequence += (sequence.empty() ? "f" : " f") + std::to_string(loudest);
        }
        return sequence;
    }

    std::unique_ptr<cl_MultiFilePlaybackObject> m_playback;
};

TEST_F(MultiFile, FilesFollowEachOtherAsTheDefinitionSays)
{
    const struct
    {
        const char* name;
        cl_SoundDefinition definition;
        const char* heard;
    } cases[] = {
        {"opening, two random picks of the middle, closing",
         Definition({"f0.wav", "f1.wav", "f2.wav"}, 2, "random", true, true), "f0 f1 f1 f2"},
        {"two files without a loop count: one file", Definition({"f0.wav", "f1.wav"}, 0), "f0"},
        {"in order", Definition({"f0.wav", "f1.wav", "f2.wav"}, 3, "in order"), "f0 f1 f2"},
        {"in order, again from the first", Definition({"f0.wav", "f1.wav"}, 4), "f0 f1 f0 f1"},
        {"opening, one in order, closing",
         Definition({"f0.wav", "f1.wav", "f2.wav", "f3.wav"}, 1, "", true, true), "f0 f1 f3"},
        {"no middle files: the closing one", Definition({"f0.wav", "f3.wav"}, 2, "", true, true),
         "f0 f3 f3 f3"},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        m_audio.ForgetSamples();
        Play(c.definition);
        Run(0.5f);
        EXPECT_EQ(Sequence(), c.heard) << c.name;
        ASSERT_EQ(m_callback.ends.size(), 1u) << c.name;
        EXPECT_EQ(m_callback.ends.front().second, 0) << c.name;
    }
}

TEST_F(MultiFile, FilesThatCannotBeLoadedCountAsPlayed)
{
    const struct
    {
        const char* name;
        cl_SoundDefinition definition;
        const char* heard;
        size_t logged;
    } cases[] = {
        {"a missing file in the middle", Definition({"f0.wav", "gone.wav", "f2.wav"}, 3), "f0 f2", 1},
        {"every file missing, endless", Definition({"gone.wav", "lost.wav"}, -1, "random"), "", 2},
        {"every file missing, opening and closing", Definition({"gone.wav", "lost.wav"}, 5, "", true, true),
         "", 2},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        m_audio.ForgetSamples();
        m_log.Clear();
        Play(c.definition);
        Run(0.5f);
        EXPECT_EQ(Sequence(), c.heard) << c.name;
        EXPECT_EQ(m_callback.ends.size(), 1u) << c.name;
        EXPECT_GE(m_log.Count(cl_Logger::LEVEL_ERROR), c.logged) << c.name;
        EXPECT_TRUE(m_log.Contains("Unable to buffer sound 'gone.wav'. File not found.")) << c.name;
    }
}

TEST_F(MultiFile, AnEndlessSequenceEndsWhenStopped)
{
    const struct
    {
        const char* name;
        int mode;
        bool immediate;
        const char* closing; // what is heard after the stop
    } cases[] = {
        {"mode 0 goes to the closing file at once", 0, false, "f3"},
        {"an unknown mode acts as mode 0", 7, false, "f3"},
        {"immediate lets the queue play out first", 1, true, "f1 f3"},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        Play(Definition({"f0.wav", "f1.wav", "f3.wav"}, -1, "", true, true));
        Run(0.3f);
        EXPECT_TRUE(m_callback.ends.empty()) << c.name;
        EXPECT_EQ(m_playback->GetRemaining(), -1) << c.name;
        m_audio.ForgetSamples();
        m_playback->StopFaded(0.0f, c.mode, c.immediate);
        Run(0.5f);
        const std::string heard = Sequence();
        EXPECT_EQ(heard.substr(heard.size() - 2), "f3") << c.name << ": " << heard;
        EXPECT_NE(heard.find(c.closing), std::string::npos) << c.name << ": " << heard;
        EXPECT_EQ(m_callback.ends.size(), 1u) << c.name;
    }
}

TEST_F(MultiFile, FadesOutThenInOrCrossesIntoTheClosingFile)
{
    // Long files, so that the fades can be heard in them.
    AddTone("middle.wav", PITCHES[1], 0.5f);
    AddTone("closing.wav", PITCHES[3], 1.5f);
    const struct
    {
        const char* name;
        int mode;
        // Levels of the middle and the closing file (of their full level) 0.25, 0.75 and 1.25 s after
        // the stop with a fade time of 1 s.
        float middle[3];
        float closing[3];
    } cases[] = {
        {"out over half the time, then in", 1, {0.5f, 0.0f, 0.0f}, {0.0f, 0.5f, 1.0f}},
        {"across on a second source", 2, {0.75f, 0.25f, 0.0f}, {0.25f, 0.75f, 1.0f}},
    };
    for (const auto& c : cases)
    {
        m_callback.ends.clear();
        m_audio.ForgetSamples();
        Play(Definition({"f0.wav", "middle.wav", "closing.wav"}, -1, "", true, true));
        Run(0.6f);
        // The middle file at its full level, as the mono source is heard in each ear.
        const float full = Heard().ToneLevel(PITCHES[1], 0.5f, 0.04f);
        ASSERT_GT(full, 0.1f) << c.name;
        m_audio.ForgetSamples();
        m_playback->StopFaded(1.0f, c.mode, false);
        Run(1.5f);
        const Recording heard = Heard();
        for (int index = 0; index < 3; ++index)
        {
            const float at = 0.23f + 0.5f * static_cast<float>(index);
            EXPECT_NEAR(heard.ToneLevel(PITCHES[1], at, 0.04f) / full, c.middle[index], 0.08f)
                << c.name << " at " << at;
            EXPECT_NEAR(heard.ToneLevel(PITCHES[3], at, 0.04f) / full, c.closing[index], 0.08f)
                << c.name << " at " << at;
        }
        Run(1.0f);
        EXPECT_EQ(m_callback.ends.size(), 1u) << c.name;
        EXPECT_EQ(m_channel->GetOwner(m_channel->GetSources()[1]), nullptr) << "the second source is free";
    }
}
} // namespace
