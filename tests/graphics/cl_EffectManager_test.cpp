#include "graphics/cl_EffectManager.h"

#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "graphics/cl_CompositorEffect.h"
#include "graphics/cl_ParticleEffect.h"
#include "platform/particles/ParticleSystem.h"
#include "support/EffectWorld.h"
#include "support/MakeArgument.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using particles::ParticleSystem;

class Effects : public testing::Test
{
protected:
    // Sends the command to the receiver "effectmanager" as Lua's sendcmd does; its answer.
    bool Send(const std::string& name, const std::vector<cl_Argument>& arguments)
    {
        cl_Command command(name);
        for (const cl_Argument& argument : arguments)
            *command.m_arguments.GetArg(-1) = argument;
        return m_world.effects.ExecuteCmd(command);
    }

    EffectWorld m_world;
};

TEST_F(Effects, OnlyExactlyTrueOrNoEnabledLoadsAnEffectActive)
{
    m_world.Load(R"(<effects>
        <effect id="a" type="particle" enabled="TRUE"><template>fire</template></effect>
        <effect id="b" type="particle" enabled=""><template>fire</template></effect>
        <effect id="c" type="particle"><template>fire</template></effect>
        <effect id="d" type="particle" enabled="true"><template>fire</template></effect>
        <effect id="e" type="particle" enabled="false"><template>fire</template></effect>
        <effect id="f" type="compositor" enabled="no"/>
        <effect id="g" type="compositor"/>
    </effects>)");
    const struct
    {
        const char* id;
        bool active;
    } cases[] = {{"a", false}, {"b", false}, {"c", true}, {"d", true},
                 {"e", false}, {"f", false}, {"g", true}};
    for (const auto& c : cases)
    {
        const cl_BaseEffect* effect = m_world.effects.FindEffect(c.id);
        ASSERT_NE(effect, nullptr) << c.id;
        EXPECT_EQ(effect->IsActive(), c.active) << c.id;
    }
    // A particle effect loaded active was not told so: it waits for its start.
    EXPECT_EQ(m_world.System("c")->getState(), ParticleSystem::STOPPED);
    EXPECT_FLOAT_EQ(static_cast<cl_ParticleEffect*>(m_world.effects.FindEffect("c"))->GetStartDelay(), 0.2f);
    EXPECT_EQ(m_world.System("e")->getState(), ParticleSystem::STOPPED);
    EXPECT_FLOAT_EQ(static_cast<cl_ParticleEffect*>(m_world.effects.FindEffect("e"))->GetStartDelay(), -1.0f);
}

TEST_F(Effects, AnEffectIsLoadedOnlyWhereTheQualityTestAllowsIt)
{
    // As the scene loader's test answers for the constraint "fire" from 1 to 2.
    for (int level = 0; level <= 3; ++level)
    {
        m_world.Load(R"(<effects><effect id="fire" type="particle"><template>fire</template></effect>
                                 <effect id="free" type="particle"><template>fire</template></effect></effects>)",
                     [level](const std::string& id) { return id != "fire" || (level >= 1 && level <= 2); });
        EXPECT_EQ(m_world.effects.FindEffect("fire") != nullptr, level == 1 || level == 2) << level;
        EXPECT_NE(m_world.effects.FindEffect("free"), nullptr) << level;
        m_world.Unload();
    }
}

TEST_F(Effects, ElementsWithoutIdOrTypeOrOfAnUnknownTypeAreSkippedSilently)
{
    m_world.Load(R"(<effects>
        <effect type="particle"><template>fire</template></effect>
        <effect id="" type="particle"><template>fire</template></effect>
        <effect id="a"><template>fire</template></effect>
        <effect id="b" type=""><template>fire</template></effect>
        <effect id="c" type="Particle"><template>fire</template></effect>
    </effects>)");
    for (const char* id : {"", "a", "b", "c"})
        EXPECT_EQ(m_world.effects.FindEffect(id), nullptr) << id;
    EXPECT_TRUE(m_world.log.Lines().empty());
    EXPECT_EQ(m_world.Systems(), 0u);
    m_world.effects.LoadEffects(
        nullptr, [](const std::string&) { return true; }, nullptr);
    m_world.effects.LoadEffect(nullptr, nullptr);
}

TEST(EffectFactory, EachTypeWordMakesItsEffectActiveButTheCompositor)
{
    const struct
    {
        const char* type;
        bool active;
    } cases[] = {{"particle", true},   {"sound", true},      {"lightshaft", true},
                 {"reflection", true}, {"refraction", true}, {"compositor", false}};
    for (const auto& c : cases)
    {
        const std::unique_ptr<cl_BaseEffect> effect = cl_EffectManager::CreateEffect(c.type, "id");
        ASSERT_NE(effect, nullptr) << c.type;
        EXPECT_EQ(effect->GetType(), c.type);
        EXPECT_EQ(effect->IsActive(), c.active) << c.type;
    }
}

TEST_F(Effects, TheEffectsThatRenderTexturesStayEmptyWithoutARenderSystem)
{
    m_world.Load(R"(<effects>
        <effect id="shaft" type="lightshaft"/>
        <effect id="mirror" type="reflection"><mesh>tile.mesh</mesh><texture>tile.png</texture></effect>
        <effect id="pond" type="refraction"><mesh>pond.mesh</mesh><reflection/></effect>
    </effects>)");
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_WARNING), 3u);
    EXPECT_TRUE(
        m_world.log.Contains("The reflection effect 'mirror' needs a render system for its textures"));
    for (const char* id : {"shaft", "mirror", "pond"})
        m_world.effects.FindEffect(id)->SetActive(false);
    m_world.Unload();
}

TEST_F(Effects, ARepeatedIdUnloadsTheEarlierEffectFirst)
{
    m_world.Load(R"(<effects>
        <effect id="fire" type="particle"><template>fire</template><parent>torch</parent></effect>
        <effect id="fire" type="particle"><template>fire</template></effect>
    </effects>)");
    EXPECT_TRUE(
        m_world.log.Contains("The effect id 'fire' is used twice; the later effect replaces the earlier.",
                             cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 0u) << "the second system got the name";
    EXPECT_EQ(m_world.Systems(), 1u);
    EXPECT_EQ(m_world.System("fire")->getParentSceneNode()->getName(), "_game");
    m_world.Unload();
    EXPECT_EQ(m_world.Systems(), 0u);
}

TEST_F(Effects, UnloadingRemovesTheListedEffectsAndSkipsOthers)
{
    m_world.Load(R"(<effects><effect id="a" type="particle"><template>fire</template></effect>
                             <effect id="b" type="particle"><template>fire</template></effect></effects>)");
    TiXmlDocument other;
    other.Parse(R"(<effects><effect id="b" type="particle"/><effect id="missing"/><effect/></effects>)");
    m_world.effects.UnloadEffects(other.RootElement());
    m_world.effects.UnloadEffects(nullptr);
    EXPECT_NE(m_world.effects.FindEffect("a"), nullptr);
    EXPECT_EQ(m_world.effects.FindEffect("b"), nullptr);
    EXPECT_EQ(m_world.Systems(), 1u);
    m_world.Unload();
    EXPECT_EQ(m_world.effects.FindEffect("a"), nullptr);
    EXPECT_EQ(m_world.Systems(), 0u);
}

TEST_F(Effects, TheCommandsSwitchAndSetParametersAndAnswerFalse)
{
    m_world.Load(
        R"(<effects><effect id="fire" type="particle"><template>fire</template></effect></effects>)");
    cl_BaseEffect& fire = *m_world.effects.FindEffect("fire");
    const struct
    {
        const char* what;
        const char* command;
        std::vector<cl_Argument> arguments;
        bool active;
        const char* warning;
    } cases[] = {
        {"off", "SetActive", {MakeArgument("fire"), MakeArgument(false)}, false, nullptr},
        {"on", "SetActive", {MakeArgument("fire"), MakeArgument(true)}, true, nullptr},
        {"an int is no bool",
         "SetActive",
         {MakeArgument("fire"), MakeArgument(1)},
         false,
         "Stored data-type is not a 'bool'."},
        {"\"active\" by bool",
         "SetParameter",
         {MakeArgument("fire"), MakeArgument("active"), MakeArgument(true)},
         true,
         nullptr},
        {"\"active\" by int",
         "SetParameter",
         {MakeArgument("fire"), MakeArgument("active"), MakeArgument(1)},
         false,
         "Stored data-type is not a 'bool'."},
        {"back on", "SetActive", {MakeArgument("fire"), MakeArgument(true)}, true, nullptr},
        {"\"Active\" is no parameter",
         "SetParameter",
         {MakeArgument("fire"), MakeArgument("Active"), MakeArgument(false)},
         true,
         nullptr},
        {"short SetActive",
         "SetActive",
         {MakeArgument("fire")},
         true,
         "Receiver 'effectmanager' refused the command 'SetActive': the argument 'bool active' is missing."},
        {"short SetParameter",
         "SetParameter",
         {MakeArgument("fire"), MakeArgument("active")},
         true,
         "Receiver 'effectmanager' refused the command 'SetParameter': the argument 'any value' is missing."},
        {"unknown id", "SetActive", {MakeArgument("smoke"), MakeArgument(false)}, true, nullptr},
        {"unknown command", "Switch", {MakeArgument("fire"), MakeArgument(false)}, true, nullptr},
    };
    for (const auto& c : cases)
    {
        m_world.log.Clear();
        EXPECT_FALSE(Send(c.command, c.arguments)) << c.what;
        EXPECT_EQ(fire.IsActive(), c.active) << c.what;
        if (c.warning)
            EXPECT_TRUE(m_world.log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.what;
        else
            EXPECT_TRUE(m_world.log.Lines().empty()) << c.what;
    }
}

TEST_F(Effects, ScriptsReachTheReceiverThroughSendcmd)
{
    m_world.Load(
        R"(<effects><effect id="fire" type="particle"><template>fire</template></effect></effects>)");
    ASSERT_TRUE(m_world.script.ExecuteString("sendcmd('effectmanager', 'SetActive', 'fire', false)"));
    EXPECT_FALSE(m_world.effects.FindEffect("fire")->IsActive());
}

TEST_F(Effects, EveryEffectIsUpdatedInTheFxTimeGroup)
{
    m_world.Load(R"(<effects><effect id="a" type="particle"><template>fire</template></effect>
                             <effect id="b" type="particle"><template>fire</template></effect></effects>)");
    m_world.gameTime.GetTimeGroup("fx").timeFlow = 0.5f;
    m_world.Step(0.3f); // 0.15 s of "fx" time: not yet
    EXPECT_EQ(m_world.System("a")->getState(), ParticleSystem::STOPPED);
    m_world.Step(0.2f);
    EXPECT_EQ(m_world.System("a")->getState(), ParticleSystem::RUNNING);
    EXPECT_EQ(m_world.System("b")->getState(), ParticleSystem::RUNNING);
}
} // namespace
