#include "graphics/cl_PuppetMainAnimation.h"

#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/cl_Puppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/PuppetXml.h"
#include "support/TestFigure.h"

#include <OgreAnimationState.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

// Notes every event it hears.
class EventLog final : public IPuppetAnimationEventListener
{
public:
    void OnAnimationEvent(const std::string& event) override { heard.push_back(event); }
    std::vector<std::string> heard;
};

class MainAnimation : public testing::Test
{
protected:
    MainAnimation() { MakeTestFigure(); }

    // A puppet on the mesh whose "animations" hold the given weights, its node in the scene.
    std::unique_ptr<cl_Puppet> Puppet(const std::string& weights, const char* mesh = "figure_body.mesh")
    {
        auto puppet = std::make_unique<cl_Puppet>(m_ogre.SceneManager());
        ReadPuppetXml(*puppet, std::string(R"(<puppet><submeshes><submesh meshfile=")") + mesh +
                                   R"("/></submeshes><animations>)" + weights + "</animations></puppet>");
        m_ogre.SceneManager().getRootSceneNode()->addChild(puppet->GetSceneNode());
        return puppet;
    }
    // Registers log for every event the figure's clips fire in these tests.
    static void Listen(cl_Puppet& puppet, EventLog& log)
    {
        for (const char* event : {"activated", "deactivated", "start", "mid", "late", "end"})
            puppet.AddAnimationEventListener(event, &log);
    }

    HeadlessOgre m_ogre;
    LogCapture m_log;
};

const char* const TIMED_WALK = R"(<weight name="a" value="%s"><animation name="walk" loop="true">
    <event time="0">start</event><event time="0.9">late</event><event time="1">end</event>
    <event time="0.5">mid</event></animation></weight>)";

std::string TimedWalk(const char* value)
{
    std::string text = TIMED_WALK;
    return text.replace(text.find("%s"), 2, value);
}

TEST_F(MainAnimation, ALoopFiresItsEventsUpToTheEndAndFromTheStartInOneStep)
{
    const std::unique_ptr<cl_Puppet> puppet = Puppet(TimedWalk("1"));
    EventLog log;
    Listen(*puppet, log);
    cl_PuppetMainAnimation& walk = *puppet->ResolveAnimPath("a")->GetMainAnimation();

    puppet->Update(0.8f);
    EXPECT_EQ(log.heard, (std::vector<std::string>{"activated", "mid", "start"})) << "in event-name order";
    EXPECT_FALSE(walk.HasWrapped());
    log.heard.clear();
    puppet->Update(0.4f);
    EXPECT_EQ(log.heard, (std::vector<std::string>{"late", "start"})) << "an event at the length never fires";
    EXPECT_TRUE(walk.HasWrapped());
    EXPECT_FLOAT_EQ(walk.GetTimePosition(), 0.2f);
    EXPECT_FALSE(walk.IsFinished());

    log.heard.clear();
    puppet->ResolveAnimPath("a")->SetTarget(0.0f, 0.0f);
    puppet->Update(0.1f);
    EXPECT_EQ(log.heard, std::vector<std::string>{"deactivated"});
    EXPECT_TRUE(walk.IsFinished()) << "at weight 0 and not fading up";
}

TEST_F(MainAnimation, ALightAnimationFiresOnlyItsActivation)
{
    const std::unique_ptr<cl_Puppet> puppet = Puppet(TimedWalk("0.5"));
    EventLog log;
    Listen(*puppet, log);
    puppet->Update(0.8f);
    EXPECT_EQ(log.heard, std::vector<std::string>{"activated"});
}

TEST_F(MainAnimation, AClipHeldAtItsEndOrNotLoopingStopsThereAndIsFinished)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Puppet(R"(<weight name="a" value="1"><animation name="walk" loop="true"/></weight>
                  <weight name="b" value="1"><animation name="run"/></weight>)");
    cl_PuppetMainAnimation& walk = *puppet->ResolveAnimPath("a")->GetMainAnimation();
    cl_PuppetMainAnimation& run = *puppet->ResolveAnimPath("b")->GetMainAnimation();
    puppet->Update(0.5f);
    walk.SetHoldAtEnd(true);
    EXPECT_FALSE(walk.IsFinished());
    puppet->Update(0.75f);
    EXPECT_FLOAT_EQ(walk.GetTimePosition(), 1.0f);
    EXPECT_FALSE(walk.HasWrapped());
    EXPECT_FLOAT_EQ(run.GetTimePosition(), 1.0f);
    EXPECT_TRUE(run.IsFinished());
    EXPECT_FLOAT_EQ(run.GetRelativeTime(), 1.0f);
}

TEST_F(MainAnimation, RootMotionMovesThePuppetsNodeInItsOwnSpace)
{
    const Quaternion quarter(Ogre::Degree(90), Vector3::UNIT_Y);
    struct Case
    {
        const char* name;
        const char* mesh;
        const char* weights;
        Quaternion facing;
        std::vector<float> steps;
        Vector3 moved;
        float turned; // degrees about +y
    } cases[] = {
        {"a walk moves along the node's own z",
         "figure_body.mesh",
         R"(<weight name="a" value="1"><animation name="walk" loop="true"/></weight>)",
         quarter,
         {0.5f},
         Vector3(50, 0, 0),
         0.0f},
        {"half the weight moves half as far",
         "figure_body.mesh",
         R"(<weight name="a" value="0.5"><animation name="walk" loop="true"/></weight>)",
         Quaternion::IDENTITY,
         {0.5f},
         Vector3(0, 0, 25),
         0.0f},
        {"across the wrap the motion goes on",
         "figure_body.mesh",
         R"(<weight name="a" value="1"><animation name="walk" loop="true"/></weight>)",
         Quaternion::IDENTITY,
         {0.75f, 0.5f},
         Vector3(0, 0, 125),
         0.0f},
        {"a turn turns the node",
         "figure_body.mesh",
         R"(<weight name="a" value="1"><animation name="turn"/></weight>)",
         Quaternion::IDENTITY,
         {0.5f},
         Vector3::ZERO,
         45.0f},
        {"a clip without a track for the motion bone moves nothing",
         "figure_body.mesh",
         R"(<weight name="a" value="1"><animation name="idle"/></weight>)",
         Quaternion::IDENTITY,
         {0.5f},
         Vector3::ZERO,
         0.0f},
        {"a clip that starts away from the origin moves by its own motion only",
         "figure_body.mesh",
         R"(<weight name="a" value="1"><animation name="enter"/></weight>)",
         Quaternion::IDENTITY,
         {0.5f},
         Vector3(0, 0, -25),
         90.0f},
        {"a rig with one root moves nothing",
         "single.mesh",
         R"(<weight name="a" value="1"><animation name="walk"/></weight>)",
         Quaternion::IDENTITY,
         {0.5f},
         Vector3::ZERO,
         0.0f},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_Puppet> puppet = Puppet(c.weights, c.mesh);
        Ogre::SceneNode& node = *puppet->GetSceneNode();
        node.setOrientation(c.facing);
        for (const float step : c.steps)
            puppet->Update(step);
        EXPECT_TRUE(node._getDerivedPosition().positionEquals(c.moved, 1e-3f))
            << c.name << ": " << node._getDerivedPosition();
        EXPECT_TRUE((c.facing.Inverse() * node.getOrientation())
                        .equals(Quaternion(Ogre::Degree(c.turned), Vector3::UNIT_Y), Ogre::Degree(0.1f)))
            << c.name << ": " << node.getOrientation();
    }
}

TEST_F(MainAnimation, AJumpOfTheClockMovesNothing)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Puppet(R"(<weight name="a" value="1"><animation name="walk" loop="true"/></weight>)");
    puppet->Update(0.25f);
    puppet->ResolveAnimPath("a")->SetAnimationTimes(0.75f);
    puppet->Update(0.1f);
    EXPECT_TRUE(puppet->GetSceneNode()->getPosition().positionEquals(Vector3(0, 0, 35), 1e-3f))
        << puppet->GetSceneNode()->getPosition();
}

TEST_F(MainAnimation, RootMotionCanBeLeftOutPartByPart)
{
    const std::unique_ptr<cl_Puppet> puppet =
        Puppet(R"(<weight name="a" value="1"><animation name="walk" loop="true"/></weight>
                  <weight name="b" value="1"><animation name="turn"/></weight>)");
    puppet->ResolveAnimPath("a")->GetMainAnimation()->SetApplyRootMotion(false, true, true);
    puppet->Update(0.5f);
    EXPECT_EQ(puppet->GetSceneNode()->getPosition(), Vector3::ZERO);
    EXPECT_NE(puppet->GetSceneNode()->getOrientation(), Quaternion::IDENTITY);
}
} // namespace
