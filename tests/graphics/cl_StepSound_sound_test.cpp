#include "graphics/cl_StepSound.h"

#include "common/cl_CommandDistributor.h"
#include "common/cl_Config.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Navmesh.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundPool.h"
#include "support/DemoRig.h"
#include "support/LogCapture.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Ogre::Vector3;

// Long enough to outlast a test: the sounds are told apart by their lengths.
const float STONE = 20.0f;
const float WOOD = 30.0f;

// The sound system with "step_stone" and "step_wood", and the hero on the rig's ground, with step sounds
// for surface 0 (stone) and 3 (wood) on the foot contacts of his straight walk.
class Steps : public testing::Test
{
protected:
    Steps()
    {
        for (const auto& file : {std::make_pair("stone.wav", STONE), std::make_pair("wood.wav", WOOD)})
        {
            ToneSpec tone;
            tone.seconds = file.second;
            tone.rate = 8000;
            tone.bits = 8;
            m_files.AddGameFile(file.first, ToneWav(tone));
        }
        m_config.SetValue("sound", "100");
        m_sound.Init();
        TiXmlDocument document;
        document.Parse(
            R"(<sounds><sound id="step_stone" src="stone.wav"/><sound id="step_wood" src="wood.wav"/></sounds>)");
        EXPECT_TRUE(m_sound.GetSoundPool().Load(*document.RootElement()));
        MakeHero(
            R"(<stepsound><surfacesound>step_stone</surfacesound><surfacesound type="3">step_wood</surfacesound>
            <event>skeletal/walk/loop/straight_fast#step_left</event>
            <event>skeletal/walk/loop/straight_fast#step_right</event></stepsound>)");
    }
    ~Steps() override { m_hero.reset(); }

    void MakeHero(const std::string& steps)
    {
        m_hero = m_rig.MakeCharacter("characters_hero", steps);
        m_hero->SetLocation(st_ObjectPlacement{m_rig.World().GameRoot()});
        m_hero->SetNavmesh(&m_rig.World().Ground());
        m_hero->SetActive(true);
        m_log.Clear();
    }
    // The lengths of the sounds that play on the game sounds' channel, in order, and at full volume.
    std::vector<float> Playing()
    {
        std::vector<float> lengths;
        const cl_SoundChannel& channel = m_sound.GetChannel(2);
        for (uint32_t source : channel.GetSources())
        {
            if (const cl_PlaybackObject* playback = channel.GetOwner(source))
            {
                lengths.push_back(playback->GetDuration());
                EXPECT_FLOAT_EQ(playback->GetVolume(), 1.0f);
            }
        }
        std::sort(lengths.begin(), lengths.end());
        return lengths;
    }

    LogCapture m_log;
    DemoRig m_rig;
    SoundFolder m_files;
    TemporaryFolder m_settings;
    cl_CommandDistributor m_distributor;
    cl_Config m_config{m_settings.PathOf("user"), m_settings.PathOf("work"), ""};
    cl_Sound m_sound{m_distributor};
    std::unique_ptr<cl_Character> m_hero;
};

TEST_F(Steps, AStepSoundsTheSurfaceUnderTheCharacterOrThatOfSurfaceZero)
{
    const struct
    {
        const char* name;
        int surface; // stamped under him; -1: none
        bool navmesh;
        std::vector<float> played;
    } cases[] = {
        {"the default surface", -1, true, {STONE}},
        {"surface 3", 3, true, {WOOD}},
        {"surface 5 has no sound of its own", 5, true, {STONE}},
        {"no navigation mesh: surface 0", 3, false, {STONE}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_sound.GetChannel(2).StopAll();
        m_rig.World().Ground().SetLocalSurfaceId(c.surface, Vector3::ZERO, Vector3(1000, 10, 1000));
        m_hero->SetNavmesh(c.navmesh ? &m_rig.World().Ground() : nullptr);
        m_hero->GetStepSound()->OnAnimationEvent("step");
        EXPECT_EQ(Playing(), c.played);
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING) + m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(Steps, WithoutASoundForTheSurfaceOrForZeroNothingPlays)
{
    MakeHero(R"(<stepsound><surfacesound type="3">step_wood</surfacesound></stepsound>)");
    m_hero->GetStepSound()->OnAnimationEvent("step");
    EXPECT_TRUE(Playing().empty());
    EXPECT_TRUE(m_log.Contains("Sound Definition '' not found."));
}

TEST_F(Steps, TheFootContactsOfTheWalkPlayStepsUntilTheStepSoundIsGone)
{
    // His straight walk, on its own: the left foot down at 0 and the right at 0.5 s of each second.
    m_hero->GetPuppet()->ResolveAnimPath("skeletal/walk/loop")->SetTarget(1.0f, 0.0f);
    m_rig.Frames(16, 0.1f);
    EXPECT_EQ(Playing(), (std::vector<float>{STONE, STONE, STONE, STONE}));
    m_sound.GetChannel(2).StopAll();
    m_hero->SetStepSound(nullptr);
    m_rig.Frames(16, 0.1f);
    EXPECT_TRUE(Playing().empty());
}
} // namespace
