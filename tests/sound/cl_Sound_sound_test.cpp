#include "sound/cl_Sound.h"

#include "assets/cl_SpokentextAsset.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_Config.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/Recording.h"
#include "support/RecordingMixerCallback.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"
#include "support/WaveDriver.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace
{
const float MARKER_PITCH = 3000.0f;

// The whole sound system on OpenAL Soft's wave driver, run in real time by frames of about 5 ms; what it
// played is read back from the recording once the device is closed. A short marker tone played at a known
// moment lines the recording up with the test's clock.
class RecordedSound : public testing::Test
{
protected:
    RecordedSound()
    {
        WaveDriver::Recording();
        ToneSpec marker;
        marker.frequency = MARKER_PITCH;
        marker.seconds = 0.05f;
        m_files.AddGameFile("marker.wav", ToneWav(marker));
    }

    // The volumes are full unless the settings say otherwise (a missing one would be silence).
    void Start(const std::map<std::string, std::string>& settings = {})
    {
        m_sound.reset();
        m_config.reset();
        m_config = std::make_unique<cl_Config>(m_settings.PathOf("user"), m_settings.PathOf("work"), "");
        for (const char* volume : {"music", "sound", "speach"})
            m_config->SetValue(volume, "100");
        for (const auto& setting : settings)
            m_config->SetValue(setting.first, setting.second);
        m_sound = std::make_unique<cl_Sound>(m_distributor);
        m_sound->Init();
        m_start = std::chrono::steady_clock::now();
    }
    // Definitions of sounds.xml, inside its `sounds` element.
    void Define(const std::string& sounds)
    {
        TiXmlDocument document;
        document.Parse(("<sounds><sound id='marker' src='marker.wav'/>" + sounds + "</sounds>").c_str());
        ASSERT_TRUE(m_sound->GetSoundPool().Load(*document.RootElement()));
    }
    // A tone file of the game data, in Ogg Vorbis when the name ends so.
    void AddTone(const std::string& name, float pitch, float seconds, int channels = 1)
    {
        ToneSpec tone;
        tone.frequency = pitch;
        tone.seconds = seconds;
        tone.channels = channels;
        const bool ogg = name.size() > 4 && name.substr(name.size() - 4) == ".ogg";
        m_files.AddGameFile(name, ogg ? ToneOgg(tone) : ToneWav(tone));
    }
    // Seconds since Init.
    float Now() const
    {
        return std::chrono::duration<float>(std::chrono::steady_clock::now() - m_start).count();
    }
    void Run(float seconds)
    {
        const float end = Now() + seconds;
        for (float last = Now(); last < end;)
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            const float now = Now();
            m_sound->Update(now - last);
            last = now;
        }
    }
    void Mark()
    {
        m_marked = Now();
        m_sound->GetMixer().PlaySound("marker", nullptr, 3, 1.0f);
    }
    // Closes the device and reads what it recorded; the recording's times then line up with Now().
    Recording Finish()
    {
        m_sound.reset();
        Recording recording = Recording::FromWave(WaveDriver::Recording());
        const float onset = recording.Onset(MARKER_PITCH, 0.05f);
        EXPECT_GE(onset, 0.0f) << "the marker is missing from the recording";
        m_offset = onset - m_marked;
        return recording;
    }
    // The level of the pitch around a moment of Now()'s clock.
    float LevelAt(const Recording& recording, float pitch, float at) const
    {
        return recording.ToneLevel(pitch, at + m_offset - 0.025f, 0.05f);
    }
    cl_SoundMixer& Mixer() { return m_sound->GetMixer(); }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    TemporaryFolder m_settings;
    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    ManualGameTime m_time{m_distributor};
    std::unique_ptr<cl_Config> m_config;
    std::unique_ptr<cl_Sound> m_sound;
    std::chrono::steady_clock::time_point m_start;
    float m_marked = 0.0f;
    float m_offset = 0.0f;
};

TEST_F(RecordedSound, TheProbedSourcesAreSharedOutAmongTheChannels)
{
    const struct
    {
        const char* maxSources;
        const char* device;
        size_t sizes[4];
    } cases[] = {
        {"", "", {1, 5, 21, 4}},
        {"16", "nosuch device", {1, 5, 5, 4}},
        {"15", "", {1, 5, 7, 1}},
        {"5", "", {1, 5, 2, 1}},
    };
    // Each case opens a sound system of its own: ALUT and the device must start again every time.
    for (const auto& c : cases)
    {
        Start({{"maxsoundchannels", c.maxSources}, {"sounddevice", c.device}});
        for (int channel = 0; channel < cl_Sound::CHANNEL_COUNT; ++channel)
            EXPECT_EQ(m_sound->GetChannel(channel).GetSources().size(), c.sizes[channel])
                << c.maxSources << " " << channel;
        m_sound.reset();
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(RecordedSound, TheVolumeSettingsApplyAtTheStart)
{
    Start({{"music", "50"}, {"sound", "abc"}, {"speach", "0"}});
    EXPECT_EQ(m_sound->GetChannel(0).GetVolume(), 0.5f);
    EXPECT_EQ(m_sound->GetChannel(1).GetVolume(), 0.0f);
    EXPECT_EQ(m_sound->GetChannel(2).GetVolume(), 0.0f);
    EXPECT_EQ(m_sound->GetChannel(3).GetVolume(), 0.0f);
    EXPECT_TRUE(Mixer().IsSpeechMuted());
    // Later changes reach the system through the settings.
    m_config->SetValue("sound", "30");
    EXPECT_FLOAT_EQ(m_sound->GetChannel(2).GetVolume(), 0.3f);
}

TEST_F(RecordedSound, AToneIsHeardAtItsVolumeChannelAndSetting)
{
    AddTone("tone.wav", 440.0f, 0.3f);
    Start();
    Define("<sound id='tone' src='tone.wav'/>");
    Mark();
    Run(0.2f);
    const struct
    {
        const char* name;
        float volume;
        const char* setting;
        bool muted;
        float heard; // of the full level
    } cases[] = {
        {"full", 1.0f, "100", false, 1.0f},
        {"half the volume", 0.5f, "100", false, 0.5f},
        {"half the setting", 1.0f, "50", false, 0.5f},
        {"both halved", 0.5f, "50", false, 0.25f},
        {"muted", 1.0f, "100", true, 0.0f},
        {"unmuted again", 1.0f, "100", false, 1.0f},
    };
    std::vector<float> starts;
    for (size_t index = 0; index < sizeof(cases) / sizeof(cases[0]); ++index)
    {
        const auto& c = cases[index];
        m_config->SetValue("sound", c.setting);
        if (c.muted)
            m_sound->GetChannel(2).Mute();
        else
            m_sound->GetChannel(2).Unmute();
        starts.push_back(Now());
        EXPECT_EQ(Mixer().PlaySound("tone", nullptr, 2, c.volume), static_cast<int>(index) + 2) << c.name;
        Run(0.5f);
    }
    const Recording heard = Finish();
    const float full = LevelAt(heard, 440.0f, starts[0] + 0.15f);
    ASSERT_GT(full, 0.1f);
    for (size_t index = 0; index < starts.size(); ++index)
        EXPECT_NEAR(LevelAt(heard, 440.0f, starts[index] + 0.15f) / full, cases[index].heard, 0.05f)
            << cases[index].name;
}

TEST_F(RecordedSound, AMusicSwitchFadesOutOverItsTimeAndInOverTwoSeconds)
{
    AddTone("a.ogg", 440.0f, 4.0f, 2);
    AddTone("b.ogg", 660.0f, 4.0f, 2);
    Start();
    Define("<sound id='a' src='a.ogg' streamed='true'/><sound id='b' src='b.ogg' streamed='true'/>");
    Mark();
    const float started = Now();
    Mixer().PlayMusic("a", 0.0f, true, true);
    Run(2.6f);
    const float switched = Now();
    Mixer().PlayMusic("b", 1.0f, true, true);
    Run(3.5f);
    const Recording heard = Finish();

    const float fullA = LevelAt(heard, 440.0f, started + 2.3f);
    const float fullB = LevelAt(heard, 660.0f, switched + 3.3f);
    ASSERT_GT(fullA, 0.1f);
    ASSERT_GT(fullB, 0.1f);
    const struct
    {
        const char* name;
        float pitch;
        float at;
        float heard; // of the full level
    } moments[] = {
        {"a fades in", 440.0f, started + 0.5f, 0.25f},
        {"a is half in", 440.0f, started + 1.0f, 0.5f},
        {"a fades out", 440.0f, switched + 0.25f, 0.75f},
        {"a is half out", 440.0f, switched + 0.5f, 0.5f},
        {"a is nearly out", 440.0f, switched + 0.8f, 0.2f},
        {"b waits for the fade", 660.0f, switched + 0.5f, 0.0f},
        {"a is gone", 440.0f, switched + 1.3f, 0.0f},
        {"b fades in", 660.0f, switched + 1.5f, 0.25f},
        {"b is half in", 660.0f, switched + 2.0f, 0.5f},
    };
    for (const auto& moment : moments)
    {
        const float full = moment.pitch == 440.0f ? fullA : fullB;
        EXPECT_NEAR(LevelAt(heard, moment.pitch, moment.at) / full, moment.heard, 0.08f) << moment.name;
    }
}

TEST_F(RecordedSound, SpeechDucksTheMusicAndItRecoversAtItsRates)
{
    AddTone("music.ogg", 440.0f, 8.0f, 2);
    ToneSpec voice;
    voice.frequency = 880.0f;
    voice.seconds = 1.5f;
    m_files.AddSpeechFile("voice1.wav", ToneWav(voice));
    Start();
    Define("<sound id='music' src='music.ogg' streamed='true'/>");
    cl_SpokentextAsset line;
    line.SetId("line1");
    line.SetLeafId("voice1");
    RecordingMixerCallback spoken;
    float ended = 0.0f;
    spoken.once = [&] { ended = Now(); };

    Mark();
    Mixer().PlayMusic("music", 0.0f, true, false);
    Run(0.6f);
    const float speaking = Now();
    ASSERT_TRUE(Mixer().PlaySpokenText(line, &spoken));
    Run(1.7f);
    ASSERT_EQ(spoken.ends, (std::vector<std::pair<int, int>>{{-1, 0}}));
    Run(2.8f);
    const Recording heard = Finish();

    const float full = LevelAt(heard, 440.0f, speaking - 0.1f);
    ASSERT_GT(full, 0.1f);
    EXPECT_GT(LevelAt(heard, 880.0f, speaking + 0.5f), 0.1f) << "the voice is heard";
    const struct
    {
        const char* name;
        float at;
        float heard;
    } moments[] = {
        {"falling at 0.6 a second", speaking + 0.5f, 0.7f},
        {"down at 0.3", speaking + 1.35f, 0.3f},
        {"rising at 0.3 a second", ended + 1.0f, 0.6f},
        {"back up", ended + 2.5f, 1.0f},
    };
    for (const auto& moment : moments)
        EXPECT_NEAR(LevelAt(heard, 440.0f, moment.at) / full, moment.heard, 0.06f) << moment.name;
}

TEST_F(RecordedSound, ALoopingStreamedToneHasNoGaps)
{
    // Two buffers and a part per pass; 660 whole periods, so the loop joins without a step.
    AddTone("loop.ogg", 440.0f, 1.5f, 2);
    Start();
    Define("<sound id='loop' src='loop.ogg' streamed='true'/>");
    Mark();
    Mixer().PlayMusic("loop", 0.0f, true, true);
    Run(2.2f);
    const float faded = Now();
    Run(3.3f);
    const float end = Now();
    const Recording heard = Finish();
    const float full = LevelAt(heard, 440.0f, faded + 0.1f);
    ASSERT_GT(full, 0.1f);
    for (float at = faded; at < end - 0.1f; at += 0.01f)
    {
        const float rms = heard.Rms(at + m_offset, 0.01f);
        ASSERT_GT(rms, 0.5f * full) << "a gap " << at - faded << " s after the fade-in";
    }
}

TEST_F(RecordedSound, AShortStreamIsHeardAndEndsOnce)
{
    AddTone("short.ogg", 660.0f, 0.3f);
    Start();
    Define("<sound id='short' src='short.ogg' streamed='true'/>");
    RecordingMixerCallback ends;
    Mark();
    const float played = Now();
    const int id = Mixer().PlaySound("short", &ends, 2, 1.0f);
    EXPECT_EQ(id, 2);
    Run(1.0f);
    EXPECT_EQ(ends.ends, (std::vector<std::pair<int, int>>{{id, 0}}));
    EXPECT_EQ(Mixer().GetPlaybackObject(id), nullptr);
    const Recording heard = Finish();
    EXPECT_GT(LevelAt(heard, 660.0f, played + 0.15f), 0.1f);
    EXPECT_LT(LevelAt(heard, 660.0f, played + 0.6f), 0.01f);
}

TEST_F(RecordedSound, TheMusicDucksWhileAnyLineRuns)
{
    for (const char* name : {"short", "long"})
    {
        ToneSpec voice;
        voice.seconds = std::string(name) == "short" ? 0.2f : 0.8f;
        m_files.AddSpeechFile(std::string(name) + ".wav", ToneWav(voice));
    }
    const struct
    {
        const char* name;
        const char* speach;
        std::vector<const char*> lines;
        bool duck;
        float ducked; // seconds the music ducks: until the longest line has ended; 0 for not at all
    } cases[] = {
        {"one line", "100", {"short"}, true, 0.2f},
        {"until the last of two lines has ended", "100", {"short", "long"}, true, 0.8f},
        {"not while speech is muted", "0", {"short", "long"}, true, 0.0f},
        {"not without the duck flag", "100", {"long"}, false, 0.0f},
    };
    for (const auto& c : cases)
    {
        Start({{"speach", c.speach}});
        Mixer().PlayMusic("", 0.0f, c.duck, false);
        std::vector<std::unique_ptr<cl_SpokentextAsset>> lines;
        for (const char* leaf : c.lines)
        {
            lines.push_back(std::make_unique<cl_SpokentextAsset>());
            lines.back()->SetId(std::string("line_") + leaf);
            lines.back()->SetLeafId(leaf);
            EXPECT_TRUE(Mixer().PlaySpokenText(*lines.back(), nullptr)) << c.name;
        }
        const float started = Now();
        // Down by 0.6 a second to 0.3 while a line runs, then up by 0.3 a second.
        const auto expected = [&](float t)
        {
            const float lowest = std::max(0.3f, 1.0f - 0.6f * c.ducked);
            return t < c.ducked ? std::max(0.3f, 1.0f - 0.6f * t)
                                : std::min(1.0f, lowest + 0.3f * (t - c.ducked));
        };
        for (float at : {0.3f, 0.6f, 1.4f})
        {
            Run(at - (Now() - started));
            EXPECT_NEAR(Mixer().GetDuckLevel(), expected(Now() - started), 0.04f) << c.name << " at " << at;
        }
    }
}

TEST_F(RecordedSound, MusicThatCannotPlayIsNotTriedEveryFrame)
{
    m_files.AddGameFile("broken.ogg", "OggS, but no Vorbis stream follows");
    Start();
    Define("<sound id='gone' src='gone.ogg' streamed='true'/><sound id='broken' src='broken.ogg' "
           "streamed='true'/>");
    for (const char* music : {"gone", "broken"})
    {
        m_log.Clear();
        Mixer().PlayMusic(music, 0.0f, true, true);
        Run(0.5f);
        EXPECT_EQ(Mixer().GetMusicPlayback(), nullptr) << music;
        EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u) << music;
        EXPECT_TRUE(m_log.Contains(std::string("Unable to open file '") + music + ".ogg'.")) << music;
        EXPECT_EQ(m_sound->GetChannel(0).GetOwner(m_sound->GetChannel(0).GetSources().front()), nullptr)
            << "the music's source is free again";
    }
}

TEST_F(RecordedSound, LoadsKeepTheSoundGoingThroughTheZeroTimeList)
{
    AddTone("tick.wav", 440.0f, 0.05f);
    Start();
    Define("<sound id='tick' src='tick.wav'/>");
    RecordingMixerCallback ends;
    const int id = Mixer().PlaySound("tick", &ends, 2, 1.0f);
    // No frame runs while loading: only the loaders' zero-time updates notice the end.
    for (int step = 0; step < 40 && ends.ends.empty(); ++step)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        m_time.UpdateWhileLoading();
    }
    EXPECT_EQ(ends.ends, (std::vector<std::pair<int, int>>{{id, 0}}));
    m_sound.reset();
    m_time.UpdateWhileLoading(); // the sound system has left the list
}

TEST_F(RecordedSound, CallbacksMayStartAndStopSounds)
{
    AddTone("tick.wav", 440.0f, 0.05f);
    AddTone("hum.wav", 220.0f, 0.5f);
    Start();
    Define("<sound id='tick' src='tick.wav'/><sound id='hum' src='hum.wav' loopcount='true'/>");
    RecordingMixerCallback first;
    RecordingMixerCallback chained;
    RecordingMixerCallback hum;
    const int humming = Mixer().PlaySound("hum", &hum, 2, 1.0f);
    int next = 0;
    first.once = [&]
    {
        next = Mixer().PlaySound("tick", &chained, 2, 1.0f);
        Mixer().GetPlaybackObject(humming)->Stop();
    };
    const int ticking = Mixer().PlaySound("tick", &first, 2, 1.0f);
    Run(0.4f);
    EXPECT_EQ(first.ends, (std::vector<std::pair<int, int>>{{ticking, 0}}));
    EXPECT_EQ(hum.ends, (std::vector<std::pair<int, int>>{{humming, 1}}));
    EXPECT_EQ(next, ticking + 1);
    EXPECT_EQ(chained.ends, (std::vector<std::pair<int, int>>{{next, 0}}));

    // A callback taken over hears instead of the first; one cleared hears nothing.
    RecordingMixerCallback takenOver;
    const int looping = Mixer().PlaySound("hum", &hum, 2, 1.0f);
    Mixer().SetCallback(looping, &takenOver);
    Mixer().GetPlaybackObject(looping)->StopFaded(0.0f, 0, false);
    const int cleared = Mixer().PlaySound("tick", &hum, 2, 1.0f);
    Mixer().SetCallback(cleared, nullptr);
    Run(0.3f);
    EXPECT_EQ(takenOver.ends, (std::vector<std::pair<int, int>>{{looping, 0}}));
    EXPECT_EQ(hum.ends.size(), 1u);
}
} // namespace
