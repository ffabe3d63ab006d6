#include "sound/cl_SoundLoader.h"

#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/LoopbackAudio.h"
#include "support/SoundFolder.h"
#include "support/ToneFiles.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// The loader on the loopback device, over files in OGRE's sound groups.
class SoundLoader : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_audio.IsOpen()); }

    // Short tones "tone<index>.wav" for cache tests.
    std::vector<std::string> AddTones(int count)
    {
        std::vector<std::string> names;
        ToneSpec tone;
        tone.seconds = 0.01f;
        for (int index = 0; index < count; ++index)
        {
            names.push_back("tone" + std::to_string(index) + ".wav");
            m_files.AddGameFile(names.back(), ToneWav(tone));
        }
        return names;
    }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    LoopbackAudio m_audio;
    LogCapture m_log;
};

TEST_F(SoundLoader, FilesAreDecodedWithTheirLength)
{
    ToneSpec mono;
    mono.seconds = 1.0f; // 88200 bytes
    ToneSpec stereo = mono;
    stereo.channels = 2;
    stereo.seconds = 0.5f; // 88200 bytes
    ToneSpec bytes8 = mono;
    bytes8.bits = 8;
    ToneSpec slow = mono;
    slow.rate = 22050;
    m_files.AddGameFile("mono.wav", ToneWav(mono));
    m_files.AddGameFile("stereo.wav", ToneWav(stereo));
    m_files.AddGameFile("bytes8.wav", ToneWav(bytes8));
    m_files.AddGameFile("slow.wav", ToneWav(slow));
    m_files.AddGameFile("music.OGG", ToneOgg(mono));
    m_files.AddGameFile("sub/nested.wav", ToneWav(stereo));
    m_files.AddSpeechFile("line.wav", ToneWav(mono));
    const struct
    {
        const char* name;
        float length;
    } cases[] = {
        {"mono.wav", 1.0f},  {"stereo.wav", 0.5f},      {"bytes8.wav", 1.0f}, {"slow.wav", 1.0f},
        {"music.OGG", 1.0f}, {"sub\\nested.wav", 0.5f}, {"line.wav", 1.0f},
    };
    cl_SoundLoader loader;
    for (const auto& c : cases)
    {
        const int buffer = loader.GetBuffer(c.name, false);
        EXPECT_NE(buffer, cl_SoundLoader::NO_BUFFER) << c.name;
        EXPECT_TRUE(alIsBuffer(static_cast<ALuint>(buffer))) << c.name;
        EXPECT_NEAR(loader.GetLength(c.name), c.length, 1e-3f) << c.name;
        EXPECT_EQ(loader.GetBuffer(c.name, false), buffer) << c.name;
    }
    EXPECT_EQ(loader.GetLength("nosuch.wav"), -1.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    EXPECT_TRUE(m_log.Contains("Loading in")) << "the load time of a WAV file is logged";
}

TEST_F(SoundLoader, WhatCannotBeLoadedIsLoggedWithItsName)
{
    m_files.AddGameFile("broken.ogg", "OggS, but no Vorbis stream follows");
    m_files.AddGameFile("broken.wav", "RIFF, but no WAVE format follows");
    m_files.AddGameFile("tone.mp3", ToneWav(ToneSpec()));
    const struct
    {
        const char* name;
        const char* logged;
    } cases[] = {
        {"gone.wav", "Unable to buffer sound 'gone.wav'. File not found."},
        {"tone.mp3", "Unable to buffer sound 'tone.mp3'. Unknown file format."},
        {"broken.ogg", "Unable to buffer sound 'broken.ogg'. Could not open Ogg stream. "},
        {"broken.wav", "Unable to decode sound 'broken.wav': ALUT_ERROR_"},
    };
    cl_SoundLoader loader;
    for (const auto& c : cases)
    {
        m_log.Clear();
        EXPECT_EQ(loader.GetBuffer(c.name, false), cl_SoundLoader::NO_BUFFER) << c.name;
        EXPECT_TRUE(m_log.Contains(c.logged, cl_Logger::LEVEL_ERROR)) << c.name;
        EXPECT_FALSE(loader.IsCached(c.name)) << c.name;
    }
}

TEST_F(SoundLoader, TheLeastRecentlyAskedForLeaveFirst)
{
    const std::vector<std::string> names = AddTones(32);
    cl_SoundLoader loader;
    for (int index = 0; index < 30; ++index)
        loader.GetBuffer(names[static_cast<size_t>(index)], false);
    EXPECT_EQ(loader.GetCachedCount(), 30u);
    // Asked for again, tone0 is the newest: the 31st file evicts tone1, the 32nd tone2.
    loader.GetBuffer(names[0], false);
    loader.GetBuffer(names[30], false);
    loader.GetBuffer(names[31], false);
    EXPECT_EQ(loader.GetCachedCount(), 30u);
    EXPECT_TRUE(loader.IsCached(names[0]));
    EXPECT_FALSE(loader.IsCached(names[1]));
    EXPECT_FALSE(loader.IsCached(names[2]));
    EXPECT_TRUE(loader.IsCached(names[3]));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(SoundLoader, ABufferOnASourceStaysCachedAsTheNewest)
{
    const std::vector<std::string> names = AddTones(32);
    cl_SoundLoader loader;
    for (int index = 0; index < 30; ++index)
        loader.GetBuffer(names[static_cast<size_t>(index)], false);
    ALuint source = 0;
    alGenSources(1, &source);
    alSourcei(source, AL_BUFFER, loader.GetBuffer(names[0], false));
    loader.GetBuffer(names[1], false); // tone0 is the oldest again

    loader.GetBuffer(names[30], false);
    EXPECT_TRUE(loader.IsCached(names[0]));
    EXPECT_FALSE(loader.IsCached(names[2]));
    // tone0 went back to the end: the next eviction takes tone3.
    loader.GetBuffer(names[31], false);
    EXPECT_TRUE(loader.IsCached(names[0]));
    EXPECT_FALSE(loader.IsCached(names[3]));

    alSourcei(source, AL_BUFFER, 0);
    alDeleteSources(1, &source);
}

TEST_F(SoundLoader, ACacheOfAttachedBuffersGrowsInsteadOfWaiting)
{
    const std::vector<std::string> names = AddTones(35);
    cl_SoundLoader loader;
    std::vector<ALuint> sources(34);
    alGenSources(static_cast<ALsizei>(sources.size()), sources.data());
    for (size_t index = 0; index < sources.size(); ++index)
        alSourcei(sources[index], AL_BUFFER, loader.GetBuffer(names[index], false));
    EXPECT_EQ(loader.GetCachedCount(), 34u);
    for (ALuint source : sources)
        alSourcei(source, AL_BUFFER, 0);
    // Free again, the oldest leave at the next load.
    loader.GetBuffer(names[34], false);
    EXPECT_EQ(loader.GetCachedCount(), 30u);
    EXPECT_FALSE(loader.IsCached(names[0]));
    alDeleteSources(static_cast<ALsizei>(sources.size()), sources.data());
}

TEST_F(SoundLoader, AFailedLoadLeavesNoNameBehind)
{
    const std::vector<std::string> names = AddTones(31);
    cl_SoundLoader loader;
    EXPECT_EQ(loader.GetBuffer("gone.wav", false), cl_SoundLoader::NO_BUFFER);
    for (const std::string& name : names)
        loader.GetBuffer(name, false);
    EXPECT_EQ(loader.GetCachedCount(), 30u);
    EXPECT_FALSE(m_log.Contains("couldn't be unbuffered"));
    EXPECT_FALSE(loader.IsCached(names[0]));
}

TEST_F(SoundLoader, LevelsAreKeptWhenAskedForAtTheLoad)
{
    ToneSpec tone;
    tone.seconds = 0.5f;
    tone.amplitude = 0.5f;
    m_files.AddGameFile("plain.wav", ToneWav(tone));
    m_files.AddGameFile("voice.wav", ToneWav(tone));
    m_files.AddGameFile("voice.ogg", ToneOgg(tone));
    cl_SoundLoader loader;
    loader.GetBuffer("plain.wav", false);
    loader.GetBuffer("plain.wav", true);
    EXPECT_TRUE(loader.GetLevels("plain.wav").empty());
    for (const char* name : {"voice.wav", "voice.ogg"})
    {
        loader.GetBuffer(name, true);
        const std::vector<float>& levels = loader.GetLevels(name);
        ASSERT_EQ(levels.size(), 49u) << name;
        // The mean of a sine's size is 2/pi of its amplitude.
        EXPECT_NEAR(levels[20], 0.5f * 2.0f / 3.14159f, 0.01f) << name;
    }
}
} // namespace
