#include "graphics/cl_PuppetAnimWeight.h"

#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"
#include "support/PuppetXml.h"
#include "support/TestFigure.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{
class WeightTree : public testing::Test
{
protected:
    WeightTree() { MakeTestFigure(); }

    // A puppet on the figure's body whose "animations" hold the given weight elements.
    std::unique_ptr<cl_Puppet> Figure(const std::string& weights)
    {
        auto puppet = std::make_unique<cl_Puppet>(m_ogre.SceneManager());
        ReadPuppetXml(*puppet, R"(<puppet><submeshes><submesh meshfile="figure_body.mesh" name="body"/>)"
                               R"(</submeshes><animations>)" +
                                   weights + "</animations></puppet>");
        return puppet;
    }
    // The weight the clip's state plays with; 0 while it is disabled.
    static float Played(const cl_Puppet& puppet, const char* clip)
    {
        const Ogre::AnimationState* state = puppet.GetMainEntity()->getAnimationState(clip);
        return state->getEnabled() ? state->getWeight() : 0.0f;
    }
    static float Clock(const cl_Puppet& puppet, const char* clip)
    {
        return puppet.GetMainEntity()->getAnimationState(clip)->getTimePosition();
    }

    HeadlessOgre m_ogre;
    LogCapture m_log;
};

TEST_F(WeightTree, AnimationsGetTheirNodesWeightsSharedOutInTheirGroups)
{
    struct Case
    {
        const char* name;
        const char* weights;
        std::vector<std::pair<const char*, float>> played;
    } cases[] = {
        {"two members share out their weights",
         R"(<weight name="a" value="1"><weight name="w" value="0.2" normalization="g"><animation name="walk"/>
            </weight><weight name="r" value="0.6" normalization="g"><animation name="run"/></weight></weight>)",
         {{"walk", 0.25f}, {"run", 0.75f}}},
        {"a single member plays at full weight, a member at 0 is disabled",
         R"(<weight name="a" value="1"><weight name="w" value="0.3" normalization="g"><animation name="walk"/>
            </weight><weight name="r" value="0" normalization="g"><animation name="run"/></weight></weight>)",
         {{"walk", 1.0f}, {"run", 0.0f}}},
        {"a child's weight follows its parent's in the same frame",
         R"(<weight name="a" value="0.5"><weight name="w" value="0.5"><animation name="walk"/></weight></weight>)",
         {{"walk", 0.25f}}},
        {"each root sums its own members",
         R"(<weight name="a" value="1"><weight name="w" value="0.2" normalization="g"><animation name="walk"/>
            </weight></weight><weight name="b" value="1"><weight name="r" value="0.6" normalization="g">
            <animation name="run"/></weight></weight>)",
         {{"walk", 1.0f}, {"run", 1.0f}}},
        {"groups are told apart by name",
         R"(<weight name="a" value="1"><weight name="w" value="0.2" normalization="g"><animation name="walk"/>
            </weight><weight name="r" value="0.6" normalization="G"><animation name="run"/></weight></weight>)",
         {{"walk", 1.0f}, {"run", 1.0f}}},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_Puppet> puppet = Figure(c.weights);
        puppet->Update(0.1f);
        for (const auto& clip : c.played)
            EXPECT_FLOAT_EQ(Played(*puppet, clip.first), clip.second) << c.name << ": " << clip.first;
    }
}

TEST_F(WeightTree, WeightsFadeTowardTheirTargets)
{
    const std::string tree =
        R"(<weight name="a" value="0.2" in="0.5" out="0.25"><animation name="walk"/></weight>
           <weight name="b" value="0"><animation name="run"/></weight>)";
    struct Case
    {
        const char* name;
        const char* node;
        float target;
        float time;
        float dt;
        float value;
        bool fading;
    } cases[] = {
        {"no time jumps", "a", 1.0f, 0.0f, 0.1f, 1.0f, false},
        {"a positive time fades linearly", "a", 1.0f, 1.0f, 0.5f, 0.6f, true},
        {"a negative time fades up over the node's fade-in time", "a", 1.0f, -1.0f, 0.25f, 0.6f, true},
        {"a negative time fades down over the node's fade-out time", "a", 0.0f, -1.0f, 0.125f, 0.1f, true},
        {"the fade ends at its target", "a", 1.0f, 1.0f, 1.0f, 1.0f, false},
        {"a target equal to the weight does not fade", "a", 0.2f, -1.0f, 0.1f, 0.2f, false},
        {"without a fade-in time the next update reaches the target", "b", 1.0f, -1.0f, 0.0f, 1.0f, false},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_Puppet> puppet = Figure(tree);
        cl_PuppetAnimWeight* node = puppet->ResolveAnimPath(c.node);
        node->SetTarget(c.target, c.time);
        EXPECT_TRUE(node->GetMainAnimation()->HasWeightChanged()) << c.name;
        puppet->Update(c.dt);
        EXPECT_FLOAT_EQ(node->GetValue(), c.value) << c.name;
        EXPECT_EQ(node->IsFading(), c.fading) << c.name;
        EXPECT_FALSE(node->GetMainAnimation()->HasWeightChanged()) << c.name << ": applied";
    }
}

TEST_F(WeightTree, TheFadeOutTimeIsTheLongestFadeToZeroLeft)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Figure(R"(<weight name="a" value="1"><weight name="w" value="1"/><weight name="r" value="1"/></weight>
                  <weight name="b" value="0"/>)");
    EXPECT_EQ(puppet->GetFadeOutTime(), 0.0f);
    puppet->ResolveAnimPath("a/w")->SetTarget(0.0f, 1.0f);
    puppet->ResolveAnimPath("a/r")->SetTarget(0.0f, 0.5f);
    puppet->ResolveAnimPath("b")->SetTarget(1.0f, 4.0f);
    puppet->Update(0.25f);
    EXPECT_FLOAT_EQ(puppet->GetFadeOutTime(), 0.75f) << "fades up do not count";
}

TEST_F(WeightTree, AClipEnabledUnderASyncNodeStartsInStepWithItsSiblings)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure(
        R"(<weight name="a" value="1"><weight name="loop" value="1" sync="true">
             <weight name="s" value="1"><animation name="walk" loop="true"/></weight>
             <weight name="f" value="0" sync="false"><weight name="deep" value="1">
               <animation name="run" loop="true"/></weight></weight>
           </weight></weight>)");
    EXPECT_TRUE(puppet->ResolveAnimPath("a/loop/f/deep")->IsSync()) << "a sync node's subtree is sync";
    puppet->Update(0.3f);
    EXPECT_FLOAT_EQ(Clock(*puppet, "walk"), 0.3f);
    EXPECT_EQ(Played(*puppet, "run"), 0.0f);

    puppet->ResolveAnimPath("a/loop/f")->SetTarget(1.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_FLOAT_EQ(Clock(*puppet, "run"), 0.4f) << "started where the walk was";
    EXPECT_FLOAT_EQ(Clock(*puppet, "walk"), 0.4f);

    // Outside a sync subtree a clip starts where its clock stands.
    const std::unique_ptr<cl_Puppet> free = Figure(
        R"(<weight name="a" value="1"><weight name="s" value="1"><animation name="walk" loop="true"/></weight>
           <weight name="f" value="0"><animation name="run" loop="true"/></weight></weight>)");
    free->Update(0.3f);
    free->ResolveAnimPath("a/f")->SetTarget(1.0f, 0.0f);
    free->Update(0.1f);
    EXPECT_FLOAT_EQ(Clock(*free, "run"), 0.1f);
}

TEST_F(WeightTree, ATimeScaleOfZeroFreezesTheClocksButKeepsTheWeights)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Figure(R"(<weight name="a" value="1"><weight name="w" value="0.5"><animation name="walk" loop="true"/>
                  </weight></weight>)");
    puppet->Update(0.25f);
    puppet->ResolveAnimPath("a")->SetTimeScale(0.0f);
    puppet->Update(0.25f);
    EXPECT_FLOAT_EQ(Clock(*puppet, "walk"), 0.25f);
    EXPECT_FLOAT_EQ(Played(*puppet, "walk"), 0.5f);
    EXPECT_FALSE(puppet->ResolveAnimPath("a/w")->GetMainAnimation()->IsFinished()) << "frozen, not over";
}

TEST_F(WeightTree, TheWrittenStateLeavesOutWhatPlaysAtZero)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure(
        R"(<weight name="a" value="1">
             <weight name="w" value="1" normalization="g"><animation name="walk" loop="true"/></weight>
             <weight name="r" value="1" normalization="g"><animation name="run"/></weight>
             <weight name="off" value="0"><weight name="deep" value="1"><animation name="idle"/></weight></weight>
           </weight>)");
    puppet->Update(0.5f);
    TiXmlElement state("state");
    puppet->SaveState(state);
    EXPECT_EQ(
        PrintedXml(&state),
        R"(<state><animtree><weight name="a">)"
        R"(<weight name="r" value="0.500000"><mainanim name="run" duration="1.000000" time="0.500000" />)"
        R"(</weight><weight name="w" value="0.500000"><mainanim name="walk" duration="1.000000" )"
        R"(looping="true" time="0.500000" /></weight></weight></animtree></state>)");
}

TEST_F(WeightTree, BrokenAnimationsAreLoggedAndTheRestIsRead)
{
    const std::unique_ptr<cl_Puppet> puppet = Figure(
        R"(<weight name="a" value="1">
             <animation loop="true"/>
             <animation name="walk"/>
             <animation name="run"/>
             <animation name="dance"/>
             <weight value="1"><animation name="idle"/></weight>
             <weight name="w" value="1"><animation name="wave"/></weight>
           </weight>)");
    cl_PuppetMainAnimation* main = puppet->ResolveAnimPath("a")->GetMainAnimation();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->GetState(), nullptr) << "the last one read names a clip the model lacks";
    EXPECT_NE(puppet->ResolveAnimPath("a/w")->GetMainAnimation()->GetState(), nullptr);
    for (const char* line :
         {"Skipped Animation because it's definition lacks required attribute 'name'!",
          "An MainAnimation allready exists in the weight-node ''!", "Adding MainAnimation 'run' failed!",
          "Could not retrieve main animation 'dance'!",
          "Skipped a weight node below '' because it lacks the attribute 'name'!"})
        EXPECT_TRUE(m_log.Contains(line, cl_Logger::LEVEL_WARNING)) << line;

    TiXmlElement list("list");
    puppet->WriteAnimationList(list);
    EXPECT_EQ(PrintedXml(&list), R"(<list><anim name="a" /><anim name="a/w" /></list>)");
}
} // namespace
