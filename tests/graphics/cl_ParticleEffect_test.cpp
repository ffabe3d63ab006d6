#include "graphics/cl_ParticleEffect.h"

#include "common/cl_Argument.h"
#include "common/cl_StaticFloat.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleTechnique.h"
#include "support/EffectWorld.h"
#include "support/MakeArgument.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

namespace
{
using particles::ParticleSystem;

class ParticleEffects : public testing::Test
{
protected:
    // The effect "fire" of the template "fire" loaded with these attributes and extra children.
    cl_ParticleEffect& Fire(const std::string& attributes = "", const std::string& children = "")
    {
        m_world.Load("<effects><effect id=\"fire\" type=\"particle\" " + attributes +
                     "><template>fire</template>" + children + "</effect></effects>");
        return *static_cast<cl_ParticleEffect*>(m_world.effects.FindEffect("fire"));
    }
    ParticleSystem& System() const { return *m_world.System("fire"); }
    // The rate of the emitter of that name in each technique, "-" for none; e.g. "5 7 | 5".
    std::string Rates() const
    {
        std::string text;
        for (size_t t = 0; t < System().getNumTechniques(); ++t)
        {
            const particles::ParticleTechnique& technique = *System().getTechnique(t);
            for (size_t e = 0; e < technique.getNumEmitters(); ++e)
            {
                const float rate = technique.getEmitter(e)->getEmissionRate().getValue();
                text += std::to_string(static_cast<int>(rate)) +
                        (technique.getEmitter(e)->isEnabled() ? "" : "x") + " ";
            }
            text += "| ";
        }
        return text;
    }

    EffectWorld m_world;
};

TEST_F(ParticleEffects, ReflectionAndRefractionAddTheirVisibilityFlags)
{
    const struct
    {
        const char* attributes;
        uint32_t flags;
    } cases[] = {
        {"", 1},
        {"reflection=\"true\"", 3},
        {"refraction=\"true\"", 5},
        {"reflection=\"true\" refraction=\"true\"", 7},
        {"reflection=\"TRUE\" refraction=\"yes\"", 1},
    };
    for (const auto& c : cases)
    {
        Fire(c.attributes);
        EXPECT_EQ(System().getVisibilityFlags(), c.flags) << c.attributes;
        m_world.Unload();
    }
}

TEST_F(ParticleEffects, AnEnabledEffectStartsAfterAFifthOfASecondIfStillActiveThen)
{
    const struct
    {
        const char* what;
        float first;
        bool offBetween;
        float second;
        ParticleSystem::State state;
    } cases[] = {
        {"0.15 s", 0.1f, false, 0.05f, ParticleSystem::STOPPED},
        {"0.2 s", 0.1f, false, 0.1f, ParticleSystem::RUNNING},
        {"switched off before", 0.1f, true, 0.5f, ParticleSystem::STOPPED},
    };
    for (const auto& c : cases)
    {
        cl_ParticleEffect& fire = Fire();
        m_world.Step(c.first);
        if (c.offBetween)
            fire.SetActive(false);
        m_world.Step(c.second);
        EXPECT_EQ(System().getState(), c.state) << c.what;
        m_world.Unload();
    }
}

TEST_F(ParticleEffects, TheOffsetFastForwardsTheStart)
{
    cl_ParticleEffect& fire = Fire();
    fire.SetParameter("offset", MakeArgument(2));
    m_world.Step(0.25f);
    ASSERT_EQ(System().getState(), ParticleSystem::RUNNING);
    EXPECT_EQ(System().getTechnique(0)->getNumParticles(), 40u)
        << "two emitters, 10 a second for two seconds";
}

TEST_F(ParticleEffects, ADisabledEffectIsStoppedUntilSwitchedOn)
{
    cl_ParticleEffect& fire = Fire("enabled=\"false\"");
    m_world.Step(1.0f);
    EXPECT_EQ(System().getState(), ParticleSystem::STOPPED);
    fire.SetActive(true);
    EXPECT_EQ(System().getState(), ParticleSystem::RUNNING);
    fire.SetActive(false);
    EXPECT_EQ(System().getState(), ParticleSystem::FADING);
    fire.SetParameter("restart", MakeArgument(false));
    EXPECT_EQ(System().getState(), ParticleSystem::RUNNING) << "whatever the active flag says";
    EXPECT_FALSE(fire.IsActive());
}

TEST_F(ParticleEffects, EmitterParametersNameAnEmitterOrAllOfThem)
{
    cl_ParticleEffect& fire = Fire();
    const struct
    {
        const char* name;
        cl_Argument value;
        bool asFloat;
        const char* rates;
    } cases[] = {
        {"all emissionrate", MakeArgument(5.0), true, "5 5 | 5 | "},
        {"Fire EmissionRate", MakeArgument(7), false, "7 5 | 7 | "},
        {"Sparks EMISSIONRATE", MakeArgument(3.5), true, "7 3 | 7 | "},
        {"Smoke emissionrate", MakeArgument(9.0), true, "7 3 | 7 | "},
        {"Sparks enabled", MakeArgument(1), false, "7 3x | 7 | "},
        {"Sparks Enabled", MakeArgument(true), false, "7 3 | 7 | "},
        {"all enabled", MakeArgument(false), false, "7x 3x | 7x | "},
        {"emissionrate", MakeArgument(1.0), true, "7x 3x | 7x | "},
    };
    for (const auto& c : cases)
    {
        if (c.asFloat)
            fire.SetParameter(c.name, static_cast<float>(c.value.GetDouble()));
        else
            fire.SetParameter(c.name, c.value);
        EXPECT_EQ(Rates(), c.rates) << c.name;
    }
    EXPECT_TRUE(m_world.log.Contains("Stored data-type is not a 'bool'.", cl_Logger::LEVEL_WARNING));
}

TEST_F(ParticleEffects, TheSystemHangsOnItsParentAndMovesToKnownNodesOnly)
{
    cl_ParticleEffect& fire = Fire("", "<parent>torch</parent>");
    EXPECT_EQ(System().getParentSceneNode()->getName(), "torch");
    fire.SetParameter("parent", MakeArgument("nowhere"));
    EXPECT_EQ(System().getParentSceneNode()->getName(), "torch");
    fire.SetParameter("parent", MakeArgument("_game"));
    EXPECT_EQ(System().getParentSceneNode()->getName(), "_game");
    EXPECT_TRUE(m_world.log.Lines().empty());
    m_world.Unload();

    Fire("", "<parent>nowhere</parent>");
    EXPECT_TRUE(m_world.log.Contains("SceneNode 'nowhere' could not be found.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(System().getParentSceneNode()->getName(), "_game");
}

TEST_F(ParticleEffects, BoundSourcesDriveParametersEveryFrameAndMissingOnesAreSkipped)
{
    auto source = std::make_unique<cl_StaticFloat>(4.0f);
    cl_StaticFloat& rate = *source;
    m_world.valueSources.AddFloatSource("flicker", std::move(source));
    cl_ParticleEffect& fire = Fire("", "<floatsource target=\"Fire emissionrate\">flicker</floatsource>"
                                       "<floatsource target=\"active\">nothing</floatsource>");
    EXPECT_EQ(fire.GetFloatSourceBindings().at("active"), nullptr);
    m_world.Step(0.05f);
    EXPECT_EQ(Rates(), "4 10 | 4 | ");
    rate.SetValue(6.0f);
    m_world.Step(0.05f);
    EXPECT_EQ(Rates(), "6 10 | 6 | ");
    EXPECT_TRUE(fire.IsActive());
}

TEST_F(ParticleEffects, WithoutASystemTheEffectSaysSoOnceAndIgnoresWhatWouldDriveIt)
{
    auto source = std::make_unique<cl_StaticFloat>(0.0f);
    m_world.valueSources.AddFloatSource("zero", std::move(source));
    m_world.Load(R"(<effects>
        <effect id="bare" type="particle"><floatsource target="all emissionrate">zero</floatsource></effect>
        <effect id="smoke" type="particle"><template>smoke</template></effect>
    </effects>)");
    EXPECT_TRUE(m_world.log.Contains("The particle effect 'bare' names no template; it shows nothing.",
                                     cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(
        m_world.log.Contains("There is no particle system template 'smoke' for the particle system 'smoke'.",
                             cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 2u);
    for (const char* id : {"bare", "smoke"})
    {
        cl_BaseEffect& effect = *m_world.effects.FindEffect(id);
        EXPECT_EQ(effect.GetFloatSourceBindings().size(), std::string(id) == "bare" ? 1u : 0u);
        effect.SetActive(false);
        effect.SetActive(true);
        for (const char* parameter : {"restart", "offset", "parent", "all enabled", "all emissionrate"})
            effect.SetParameter(parameter, MakeArgument(1.0));
        effect.SetParameter("all emissionrate", 2.0f);
    }
    m_world.Step(1.0f);
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 2u);
    EXPECT_EQ(m_world.Systems(), 0u);
}

TEST_F(ParticleEffects, TheActiveParameterSwitchesTheEffect)
{
    cl_ParticleEffect& fire = Fire();
    const struct
    {
        const char* name;
        float value;
        bool active;
    } cases[] = {
        {"active", 0.0f, false},
        {"active", std::numeric_limits<float>::quiet_NaN(), true},
        {"Active", 0.0f, true},
        {"active", -2.0f, true},
    };
    for (const auto& c : cases)
    {
        fire.SetParameter(c.name, c.value);
        EXPECT_EQ(fire.IsActive(), c.active) << c.name << " " << c.value;
    }
}

TEST_F(ParticleEffects, UnloadingTakesTheSystemAwayAndASecondUnloadIsHarmless)
{
    cl_ParticleEffect& fire = Fire("", "<parent>torch</parent>");
    Ogre::SceneNode* torch = System().getParentSceneNode();
    fire.Unload();
    EXPECT_EQ(fire.GetParticleSystem(), nullptr);
    EXPECT_EQ(torch->numAttachedObjects(), 0u);
    EXPECT_EQ(m_world.Systems(), 0u);
    fire.Unload();
    fire.SetActive(false);
}
} // namespace
