#include "sound/cl_SoundEffect.h"

#include "assets/cl_SpokentextAsset.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_Config.h"
#include "common/cl_Logger.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_EffectManager.h"
#include "platform/GameRand.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"
#include "support/WaveDriver.h"

#include <AL/al.h>
#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <chrono>
#include <cmath>
#include <map>
#include <memory>
#include <string>
#include <thread>

namespace
{
// Scene sounds on the sound system of the test's device, with a clock of their own: the test moves the
// effect's time; the sound system hears of a file's end only when the test lets it look (RunOut). Two
// sounds: "long" (1.5 s) and "short" (20 ms). Random numbers come from GameRand, seeded alike each time.
class SceneSound : public testing::Test
{
protected:
    SceneSound()
    {
        WaveDriver::Recording(); // before any OpenAL call of the process
        platform::UseGameRandForOgre();
        platform::GameSrand(7);
        ToneSpec tone;
        tone.seconds = 1.5f;
        m_files.AddGameFile("long.wav", ToneWav(tone));
        tone.seconds = 0.02f;
        m_files.AddGameFile("short.wav", ToneWav(tone));
        for (const char* volume : {"music", "sound", "speach"})
            m_config.SetValue(volume, "100");
        m_sound.Init();
        TiXmlDocument document;
        document.Parse(
            "<sounds><sound id='long' src='long.wav'/><sound id='short' src='short.wav'/></sounds>");
        m_sound.GetSoundPool().Load(*document.RootElement());
    }
    ~SceneSound() override { platform::GameSrand(1); }

    // An effect read from the effect element's text.
    std::unique_ptr<cl_SoundEffect> Load(const std::string& xml, Ogre::SceneManager* sceneManager = nullptr)
    {
        TiXmlDocument document;
        document.Parse(xml.c_str());
        auto effect = std::make_unique<cl_SoundEffect>("wind");
        if (document.RootElement())
            effect->LoadFromXml(*document.RootElement(), sceneManager);
        return effect;
    }
    // The effect's play now running; null for none.
    cl_PlaybackObject* Playing(const cl_SoundEffect& effect)
    {
        return effect.GetPlaybackId() == -1 ? nullptr
                                            : m_sound.GetMixer().GetPlaybackObject(effect.GetPlaybackId());
    }
    float Volume(const cl_SoundEffect& effect)
    {
        const cl_PlaybackObject* playback = Playing(effect);
        return playback ? playback->GetVolume() : -1.0f;
    }
    // Lets the short sound playing end, and the sound system tell of it (ran out).
    void RunOut()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(80));
        m_sound.Update(0.0f);
    }
    size_t Starts() const
    {
        size_t starts = 0;
        for (const LogCapture::Line& line : m_log.Lines())
            starts += line.text.find("Start soundeffect playback") != std::string::npos;
        return starts;
    }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    TemporaryFolder m_settings;
    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    ManualGameTime m_time{m_distributor};
    cl_Config m_config{m_settings.PathOf("user"), m_settings.PathOf("work"), ""};
    cl_Sound m_sound{m_distributor};
};

TEST_F(SceneSound, TheElementsNumbersAreHeldWithinTheirRanges)
{
    const struct
    {
        const char* name;
        const char* children;
        float breakMin, breakMax;
        int repeatMin, repeatMax;
    } cases[] = {
        {"nothing given", "", 0.0f, 0.0f, 1, 1},
        {"as given", "<break min='1.5' max='4'/><repeat min='2' max='5'/>", 1.5f, 4.0f, 2, 5},
        {"below the least", "<break min='-2' max='-5'/><repeat min='0' max='-3'/>", 0.0f, 0.0f, 1, 1},
        {"max below min", "<break min='3' max='1'/><repeat min='4' max='2'/>", 3.0f, 3.0f, 4, 4},
        {"no numbers", "<break min='soon' max='2x'/><repeat min='' max='three'/>", 0.0f, 2.0f, 1, 1},
        {"only the first element", "<repeat min='2' max='2'/><repeat min='6' max='6'/>", 0.0f, 0.0f, 2, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto effect = Load(std::string("<effect soundid='long'>") + c.children + "</effect>");
        float breakLow = 1e9f, breakHigh = -1e9f;
        int repeatLow = 1 << 30, repeatHigh = -(1 << 30);
        for (int draw = 0; draw < 400; ++draw)
        {
            const float pause = effect->RandomBreak();
            const int repeat = effect->RandomRepeatCount();
            breakLow = std::min(breakLow, pause);
            breakHigh = std::max(breakHigh, pause);
            repeatLow = std::min(repeatLow, repeat);
            repeatHigh = std::max(repeatHigh, repeat);
        }
        EXPECT_NEAR(breakLow, c.breakMin, 0.05f);
        EXPECT_NEAR(breakHigh, c.breakMax, 0.05f);
        EXPECT_EQ(repeatLow, c.repeatMin);
        EXPECT_EQ(repeatHigh, c.repeatMax);
    }
}

TEST_F(SceneSound, RunsOfTwoToFourPlaysComeAboutEquallyOften)
{
    const auto effect = Load("<effect soundid='short'><repeat min='2' max='4'/></effect>");
    std::map<int, int> runs;
    for (int draw = 0; draw < 3000; ++draw)
        ++runs[effect->RandomRepeatCount()];
    EXPECT_EQ(runs.size(), 3u);
    for (int count = 2; count <= 4; ++count)
        EXPECT_NEAR(runs[count], 1000, 100) << count;
}

TEST_F(SceneSound, ARunPlaysItsCountThenWaitsItsBreak)
{
    const auto effect =
        Load("<effect soundid='short'><repeat min='3' max='3'/><break min='2' max='2'/></effect>");
    effect->Update(1.75f);
    EXPECT_EQ(Starts(), 0u) << "the first run waits a break too";
    effect->Update(0.25f);
    ASSERT_NE(Playing(*effect), nullptr);
    EXPECT_FALSE(Playing(*effect)->IsLooping());
    for (size_t play = 1; play <= 3; ++play)
    {
        EXPECT_EQ(Starts(), play);
        RunOut();
        effect->Update(0.0f);
    }
    EXPECT_EQ(Starts(), 3u);
    EXPECT_EQ(Playing(*effect), nullptr);
    effect->Update(1.75f);
    EXPECT_EQ(Starts(), 3u);
    effect->Update(0.25f);
    EXPECT_EQ(Starts(), 4u);
}

TEST_F(SceneSound, WithoutABreakTheFileLoopsAndTheRunNeverEnds)
{
    const auto effect = Load("<effect soundid='long'/>");
    effect->Update(0.0f);
    ASSERT_NE(Playing(*effect), nullptr);
    EXPECT_TRUE(Playing(*effect)->IsLooping());
}

TEST_F(SceneSound, FadesRunAtTheEndOfARunAndAtTheStartOfTheNext)
{
    // A 1.5 s file with a fade-out of 2 s: the fade starts at once, 0.5 s into its course.
    const auto effect = Load("<effect soundid='long'><fading out='2'/></effect>");
    const struct
    {
        float dt;
        float volume;
    } steps[] = {{0.0f, 1.0f}, {0.0f, 1.0f}, {0.5f, 0.5f}, {0.75f, 0.125f}, {0.5f, 0.0f}};
    for (const auto& step : steps)
    {
        effect->Update(step.dt);
        EXPECT_NEAR(Volume(*effect), step.volume, 0.001f) << "after " << step.dt;
    }
    EXPECT_TRUE(m_log.Contains("Start fading out. TimeToGo: 1.500000", cl_Logger::LEVEL_INFO));
    EXPECT_TRUE(m_log.Contains("Fading out done", cl_Logger::LEVEL_INFO));

    // A run after the first fades in, here over 1 s: the effect switched off and on again.
    const auto fading = Load("<effect soundid='long'><fading in='1'/></effect>");
    fading->SetActive(false);
    fading->SetActive(true);
    fading->Update(0.0f);
    EXPECT_NEAR(Volume(*fading), 0.0f, 0.001f);
    for (float volume : {0.25f, 0.5f, 0.75f, 1.0f, 1.0f})
    {
        fading->Update(0.25f);
        EXPECT_NEAR(Volume(*fading), volume, 0.001f);
    }
    EXPECT_TRUE(m_log.Contains("Fading in done", cl_Logger::LEVEL_INFO));
}

TEST_F(SceneSound, VolumeAndDirectionAreDrawnAtEachStartWithinTheirRanges)
{
    const struct
    {
        const char* name;
        const char* children;
        float volumeMin, volumeMax;
        float angleMin, angleMax; // degrees from +x towards -z
    } cases[] = {
        {"a volume range", "<randomvolume min='0.25' max='0.5'/>", 0.25f, 0.5f, 0.0f, 0.0f},
        {"the volume's max below its min", "<randomvolume min='0.4' max='0.1'/>", 0.4f, 0.4f, 0.0f, 0.0f},
        {"the default volume range", "<randomvolume/>", 0.0f, 1.0f, 0.0f, 0.0f},
        {"a direction across north", "<randomposition min='300' max='60'/>", 1.0f, 1.0f, -60.0f, 60.0f},
        {"the default directions", "<randomposition/>", 1.0f, 1.0f, 0.0f, 360.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto effect = Load(std::string("<effect soundid='short'><break min='0.1' max='0.1'/>") +
                                 c.children + "</effect>");
        float volumeLow = 2.0f, volumeHigh = -1.0f, angleLow = 1000.0f, angleHigh = -1000.0f;
        bool wholeDegrees = true;
        for (int start = 0; start < 60; ++start)
        {
            effect->Update(0.1f);
            ASSERT_NE(Playing(*effect), nullptr);
            ALfloat x = 0.0f, y = 0.0f, z = 0.0f;
            alGetSource3f(Playing(*effect)->GetSource(), AL_POSITION, &x, &y, &z);
            float angle = std::atan2(-z, x) * 180.0f / 3.14159265f;
            if (c.angleMax > 180.0f && angle < 0.0f)
                angle += 360.0f;
            wholeDegrees = wholeDegrees && std::fabs(angle - std::round(angle)) < 0.01f;
            volumeLow = std::min(volumeLow, Volume(*effect));
            volumeHigh = std::max(volumeHigh, Volume(*effect));
            angleLow = std::min(angleLow, angle);
            angleHigh = std::max(angleHigh, angle);
            // Off and on: a new run.
            effect->SetActive(false);
            effect->SetActive(true);
        }
        EXPECT_NEAR(volumeLow, c.volumeMin, 0.05f);
        EXPECT_NEAR(volumeHigh, c.volumeMax, 0.05f);
        EXPECT_NEAR(angleLow, c.angleMin, 12.0f);
        EXPECT_NEAR(angleHigh, c.angleMax, 12.0f);
        EXPECT_TRUE(wholeDegrees);
    }
}

TEST_F(SceneSound, ANodeFarFromTheViewsCentreIsHeardSofter)
{
    Ogre::SceneManager& scene = m_ogre.SceneManager();
    Ogre::Camera* camera = scene.createCamera("LocationCam");
    camera->setAspectRatio(4.0f / 3.0f);
    scene.getRootSceneNode()->createChildSceneNode()->attachObject(camera); // at 0, looking down -z
    cl_Camera cameras(m_distributor);
    cameras.InitScene(camera);
    Ogre::SceneNode* node = scene.getRootSceneNode()->createChildSceneNode("wind_window");
    const struct
    {
        const char* name;
        Ogre::Vector3 position;
        float factor;
    } cases[] = {
        {"at the view's centre", {0, 0, -500}, 1.0f},
        {"a quarter of the way", {25, 0, -500}, 0.875f},
        {"half way", {0, 50, -200}, 0.5f},
        {"three quarters of the way", {-75, 0, -300}, 0.125f},
        {"beyond max", {150, 0, -500}, 0.0f},
        {"behind the camera, where the view's ray meets nothing", {150, 0, 500}, 1.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        node->setPosition(c.position);
        const auto effect = Load("<effect soundid='long' volume='0.8'><position min='0' max='100'>wind_window"
                                 "</position></effect>",
                                 &scene);
        effect->Update(0.0f);
        EXPECT_NEAR(Volume(*effect), 0.8f * c.factor, 0.001f);
    }

    m_log.Clear();
    const auto lost =
        Load("<effect soundid='long'><position min='0' max='1'>nowhere</position></effect>", &scene);
    for (int frame = 0; frame < 3; ++frame)
        lost->Update(0.1f);
    EXPECT_NEAR(Volume(*lost), 1.0f, 0.001f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 1u);
    EXPECT_TRUE(m_log.Contains("'nowhere'", cl_Logger::LEVEL_WARNING));
}

TEST_F(SceneSound, LeavingTheSceneFadesToSilenceUnlessTheElementSaysNo)
{
    const struct
    {
        const char* name;
        const char* attribute;
        float volumes[4]; // after 0.5, 1.0, 1.5 s and after a run ended and a new one started
    } cases[] = {
        {"fades over the scene change's second", "", {0.5f, 0.0f, 0.0f, 0.0f}},
        {"stays loud", " sceneleavefade='false'", {1.0f, 1.0f, 1.0f, 1.0f}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const auto effect = Load(std::string("<effect soundid='short'") + c.attribute +
                                 "><break min='0.1' max='0.1'/></effect>");
        effect->Update(0.1f);
        effect->OnSceneLeave(1.0f);
        for (int step = 0; step < 3; ++step)
        {
            effect->Update(0.5f);
            EXPECT_NEAR(Volume(*effect), c.volumes[step], 0.001f) << step;
        }
        RunOut();
        effect->Update(0.1f);
        EXPECT_NEAR(Volume(*effect), c.volumes[3], 0.001f);
        EXPECT_TRUE(effect->IsActive());
    }

    // A leave without time silences it at once.
    const auto effect = Load("<effect soundid='long'/>");
    effect->Update(0.0f);
    effect->StartLeaveFade(0.0f);
    EXPECT_FALSE(effect->IsActive());
    EXPECT_EQ(Playing(*effect), nullptr);
    effect->Update(1.0f);
    EXPECT_EQ(Playing(*effect), nullptr);
}

TEST_F(SceneSound, ASpokenLineQuietensOnlyTheEffectsThatAskForIt)
{
    ToneSpec voice;
    voice.seconds = 1.0f;
    m_files.AddSpeechFile("voice1.wav", ToneWav(voice));
    cl_SpokentextAsset line;
    line.SetId("line1");
    line.SetLeafId("voice1");
    const auto damped = Load("<effect soundid='long' damponspeach='true'/>");
    const auto plain = Load("<effect soundid='long'/>");
    ASSERT_TRUE(m_sound.GetMixer().PlaySpokenText(line, nullptr));
    m_sound.GetMixer().UpdateMusicFades(0.5f); // the music's ducking falls 0.6 a second
    damped->Update(0.0f);
    plain->Update(0.0f);
    EXPECT_NEAR(Volume(*damped), 0.7f, 0.001f);
    EXPECT_NEAR(Volume(*plain), 1.0f, 0.001f);
}

TEST_F(SceneSound, WhatCannotPlayIsToldOnce)
{
    const auto unknown = Load("<effect soundid='nosuch'><break min='0' max='0.5'/></effect>");
    const auto nameless = Load("<effect volume='0.5'/>");
    for (int frame = 0; frame < 20; ++frame)
    {
        unknown->Update(0.1f);
        nameless->Update(0.1f);
    }
    EXPECT_EQ(unknown->GetPlaybackId(), -1);
    EXPECT_EQ(nameless->GetPlaybackId(), -1);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 2u);
    EXPECT_TRUE(
        m_log.Contains("The sound effect 'wind' cannot play the sound 'nosuch'.", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_log.Contains("The sound effect 'wind' has no soundid: it plays nothing.", cl_Logger::LEVEL_ERROR));
    EXPECT_GT(Starts(), 1u) << "the unknown sound is tried after each break";
}

TEST_F(SceneSound, DisablingOrUnloadingStopsTheSoundAtOnce)
{
    const auto effect = Load("<effect soundid='long'><break min='1' max='1'/></effect>");
    effect->Update(1.0f);
    ASSERT_NE(Playing(*effect), nullptr);
    effect->SetActive(false);
    EXPECT_EQ(Playing(*effect), nullptr);
    effect->Update(5.0f);
    EXPECT_EQ(Starts(), 1u);
    effect->SetActive(true);
    effect->Update(0.75f);
    EXPECT_EQ(Starts(), 1u) << "a new run waits its break";
    effect->Update(0.25f);
    EXPECT_EQ(Starts(), 2u);
    effect->Unload();
    EXPECT_EQ(Playing(*effect), nullptr);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(SceneSound, TheTowersWindIsADemoEffectOfItsOwnSounds)
{
    TiXmlDocument sounds;
    ASSERT_TRUE(sounds.LoadFile(QUILLMERE_DEMO_DIR "data/sound/sounds.xml"));
    ASSERT_TRUE(m_sound.GetSoundPool().Load(*sounds.RootElement()));
    ToneSpec whistle;
    whistle.frequency = 1760.0f;
    for (const char* file : {"wind_01.wav", "wind_02.wav"})
        m_files.AddGameFile(file, ToneWav(whistle));
    TiXmlDocument scenes;
    ASSERT_TRUE(scenes.LoadFile(QUILLMERE_DEMO_DIR "data/chapter1/scenes.tdf"));
    const TiXmlElement* tower = scenes.RootElement()->FirstChildElement("scene");
    ASSERT_STREQ(tower->Attribute("assetref"), "scenes_tower");
    const TiXmlElement* wind = tower->FirstChildElement("effects")->FirstChildElement("effect");
    ASSERT_NE(wind, nullptr);

    cl_SoundEffect effect(wind->Attribute("id"));
    effect.LoadFromXml(*wind, nullptr);
    for (int frame = 0; frame < 70 && !Playing(effect); ++frame)
        effect.Update(0.1f);
    ASSERT_NE(Playing(effect), nullptr) << "no whistle within the longest break";
    EXPECT_FALSE(Playing(effect)->IsLooping());
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(SceneSound, TheEffectManagerMakesItForTheTypeSound)
{
    cl_EffectManager effects(m_distributor);
    TiXmlDocument document;
    document.Parse("<effect id='wind' type='sound' soundid='long'/>");
    effects.LoadEffect(document.RootElement(), nullptr);
    const auto* wind = dynamic_cast<cl_SoundEffect*>(effects.FindEffect("wind"));
    ASSERT_NE(wind, nullptr);
    EXPECT_TRUE(wind->IsActive());
    effects.Update(0.0f);
    EXPECT_NE(Playing(*wind), nullptr);
    effects.UnloadEffect(document.RootElement());
    EXPECT_EQ(Starts(), 1u);
}
} // namespace
