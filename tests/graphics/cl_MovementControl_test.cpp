#include "graphics/cl_MovementControl.h"

#include "common/XmlParse.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"
#include "support/LogCapture.h"
#include "support/PuppetXml.h"
#include "support/StandInControls.h"
#include "support/WalkWorld.h"

#include <OgreSceneNode.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Events = std::vector<std::string>;
using Ogre::Vector3;

const float FRAME = 1.0f / 30.0f;

// A path through the points on flat ground.
cl_MovementControl::Path Line(const std::vector<Vector3>& points)
{
    cl_MovementControl::Path path;
    for (const Vector3& point : points)
        path.push_back({point, Vector3::UNIT_Y});
    return path;
}

// The walker with a movement control "move" that a recording listener hears.
class Walking : public testing::Test
{
protected:
    Walking() { Build(); }
    // A new walker in place of the old, at the origin facing +z.
    void Build()
    {
        m_move = nullptr;
        m_puppet = m_world.MakePuppet();
        auto move = std::make_unique<cl_MovementControl>();
        m_move = move.get();
        m_puppet->AddControl("move", std::move(move));
        m_move->SetListener(&m_listener);
    }
    // Hands the control a walk whose end the listener waits for.
    void Walk(const std::vector<Vector3>& points)
    {
        m_move->SetCallbackPending(true);
        m_move->SetPath(Line(points));
    }
    Ogre::SceneNode& Node() const { return *m_puppet->GetSceneNode(); }
    float Weight(const char* path) const { return m_puppet->ResolveAnimPath(path)->GetFadeTarget(); }

    LogCapture m_log;
    WalkWorld m_world;
    std::unique_ptr<cl_ControlledPuppet> m_puppet;
    cl_MovementControl* m_move = nullptr;
    RecordingControlListener m_listener;
};

TEST_F(Walking, TheWalkCyclesCarryTheWalkerToTheEndWhichIsReportedOnce)
{
    // 200 ahead counts 400, too little for a run.
    Walk({Vector3::ZERO, Vector3(0, 0, 200)});
    const int frames = m_world.Frames(200, FRAME, [this] { return m_move->GetPath().empty(); });
    const Vector3 position = Node()._getDerivedPosition();
    EXPECT_NEAR(position.x, 0.0f, 0.01f);
    EXPECT_GT(position.z, 200.0f - 37.5f) << "within the largest arrival radius";
    EXPECT_LT(position.z, 200.0f);
    EXPECT_NEAR(frames * FRAME, position.z / 100.0f, 0.1f) << "at the walk cycle's 100 per second";
    EXPECT_FALSE(m_move->IsRunning());
    m_world.Frames(30, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"move 3", "move 0", "move 1", "move 5"}));
    EXPECT_LT(Node()._getDerivedPosition().z, position.z + 25.0f) << "the walk fades out over half a second";
}

TEST_F(Walking, TheArrivalRadiusFollowsTheStride)
{
    struct Case
    {
        float phase;
        float distance;
        bool arrives;
    } cases[] = {
        {0.0f, 37.0f, true}, {0.0f, 38.0f, false},  {0.25f, 12.0f, true}, {0.25f, 13.0f, false},
        {0.5f, 37.0f, true}, {0.75f, 13.0f, false}, {1.0f, 37.0f, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "phase " << c.phase << ", " << c.distance << " from the end");
        Build();
        Node().setPosition(0, 0, 300 - c.distance);
        m_move->SetWalkStartTime(c.phase);
        m_listener.m_events.clear();
        Walk({Vector3::ZERO, Vector3(0, 0, 300)});
        m_world.Frames(1, 0.0f);
        EXPECT_EQ(m_move->GetPath().empty(), c.arrives);
        EXPECT_EQ(std::count(m_listener.m_events.begin(), m_listener.m_events.end(), "move 1"),
                  c.arrives ? 1 : 0);
    }
}

TEST_F(Walking, AWalkWithoutASegmentOrClockStillEnds)
{
    struct Case
    {
        const char* name;
        std::vector<Vector3> path;
        const char* tree; // empty: the walker's own
    } cases[] = {
        {"one point", {Vector3(0, 0, 300)}, ""},
        {"points on the same spot leave one after the drop", {Vector3(0, 0, 400), Vector3(0, 0, 400)}, ""},
        {"a straight cycle without clip counts as phase 0",
         {Vector3(0, 0, 263), Vector3(0, 0, 300)},
         R"(<puppet><animations><weight name="skeletal" value="1"><weight name="walk" value="1">
            <weight name="loop"><weight name="straight_fast"><animation name="missing" loop="true"/>
            </weight></weight></weight></weight></animations></puppet>)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        if (*c.tree)
        {
            m_puppet->Unload();
            ReadPuppetXml(*m_puppet, c.tree);
            auto move = std::make_unique<cl_MovementControl>();
            m_move = move.get();
            m_puppet->AddControl("move", std::move(move));
            m_move->SetListener(&m_listener);
        }
        Node().setPosition(0, 0, 263);
        m_listener.m_events.clear();
        Walk(c.path);
        m_world.Frames(2, FRAME);
        EXPECT_EQ(m_listener.m_events, (Events{"move 3", "move 0", "move 1", "move 5"}));
    }
}

TEST_F(Walking, AWalkGoesOnOnlyInNearlyTheSameDirection)
{
    struct Case
    {
        const char* name;
        std::vector<Vector3> current;
        std::vector<Vector3> next;
        bool goesOn;
    } cases[] = {
        {"cosine 0.8 exactly", {Vector3::ZERO, Vector3(0, 0, 100)}, {Vector3::ZERO, Vector3(3, 0, 4)}, false},
        {"cosine 0.81", {Vector3::ZERO, Vector3(0, 0, 100)}, {Vector3::ZERO, Vector3(58.64f, 0, 81)}, true},
        {"the same direction from elsewhere",
         {Vector3::ZERO, Vector3(0, 0, 100)},
         {Vector3(50, 0, 50), Vector3(50, 0, 400)},
         true},
        {"a new path of one point", {Vector3::ZERO, Vector3(0, 0, 100)}, {Vector3(0, 0, 50)}, false},
        {"no walk under way", {}, {Vector3::ZERO, Vector3(0, 0, 100)}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_move->SetPath(Line(c.current));
        m_move->Stop();
        EXPECT_EQ(m_move->TryContinuePath(Line(c.next)), c.goesOn);
        EXPECT_EQ(m_move->GetPath().size(), c.goesOn ? c.next.size() : c.current.size());
        EXPECT_EQ(m_move->IsStopRequested(), !c.goesOn) << "a walk that goes on is not stopped";
    }
}

TEST_F(Walking, RunningNeedsALongStraightWayAndPermission)
{
    struct Case
    {
        const char* name;
        std::vector<Vector3> path;
        bool runAllowed;
        bool runs;
    } cases[] = {
        {"260 ahead counts 520: runs at once and to the end",
         {Vector3::ZERO, Vector3(0, 0, 260)},
         true,
         true},
        {"240 ahead counts 480: never", {Vector3::ZERO, Vector3(0, 0, 240)}, true, false},
        {"not allowed", {Vector3::ZERO, Vector3(0, 0, 600)}, false, false},
        {"a sharp turn first", {Vector3::ZERO, Vector3(400, 0, 0)}, true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        m_move->SetRunAllowed(c.runAllowed);
        Walk(c.path);
        m_world.Frames(1, FRAME);
        EXPECT_EQ(m_move->IsRunning(), c.runs);
        if (c.path.back().x != 0.0f)
            continue;
        // On a straight way what counts as left never falls below 220, nor rises above 500 where it began
        // below: the gait of the start holds to the end.
        bool changed = false;
        m_world.Frames(300, FRAME,
                       [&]
                       {
                           changed = changed || m_move->IsRunning() != c.runs;
                           return m_move->GetPath().empty();
                       });
        EXPECT_TRUE(m_move->GetPath().empty()) << "arrived";
        EXPECT_FALSE(changed);
    }
}

TEST_F(Walking, ARunTakesUpTheWalksPhaseAndEndsBeforeTheLastShortStretch)
{
    m_move->SetWalkStartTime(0.4f);
    Walk({Vector3::ZERO, Vector3(0, 0, 600), Vector3(0, 0, 700)});
    m_world.Frames(1, 0.0f);
    ASSERT_TRUE(m_move->IsRunning());
    const cl_PuppetMainAnimation* run =
        m_puppet->ResolveAnimPath("skeletal/walk/run/run")->GetMainAnimation();
    EXPECT_FLOAT_EQ(run->GetTimePosition(), 0.2f) << "0.4 of the walk cycle is 0.4 of the run's 0.5 s";
    EXPECT_EQ(Weight("skeletal/walk/run"), 1.0f);
    EXPECT_EQ(Weight("skeletal/walk/loop"), 0.0f);

    m_world.Frames(300, FRAME, [this] { return !m_move->IsRunning() || m_move->GetPath().empty(); });
    EXPECT_FALSE(m_move->GetPath().empty()) << "walks again before the end";
    EXPECT_GT(Node()._getDerivedPosition().z, 600.0f - 1.0f)
        << "once the short last stretch is all that is left";
    EXPECT_EQ(Weight("skeletal/walk/loop"), 1.0f);
    EXPECT_EQ(Weight("skeletal/walk/run"), 0.0f);
}

TEST_F(Walking, TheWalkCyclesBlendByHowSharplyTheWayTurns)
{
    struct Case
    {
        const char* name;
        EnvironmentType environment;
        float side; // of the way ahead: the cosine with the walker's +x (its left)
        float straight;
        float left;
        float right;
    } cases[] = {
        {"open, a little left", ENVIRONMENT_OPEN, 0.2f, 0.6f, 0.4f, 0.0f},
        {"open, a little right", ENVIRONMENT_OPEN, -0.2f, 0.6f, 0.0f, 0.4f},
        {"open, sharply left", ENVIRONMENT_OPEN, 0.6f, 0.0f, 1.0f, 0.0f},
        {"narrow steers harder", ENVIRONMENT_NARROW, 0.1f, 0.6f, 0.4f, 0.0f},
        {"tight steers hardest", ENVIRONMENT_TIGHT, -0.05f, 0.7f, 0.0f, 0.3f},
        {"straight ahead", ENVIRONMENT_TIGHT, 0.0f, 1.0f, 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        Build();
        m_move->SetRunAllowed(false);
        m_move->SetEnvironmentType(c.environment);
        Walk({Vector3::ZERO, Vector3(c.side, 0, std::sqrt(1.0f - c.side * c.side)) * 1000.0f});
        m_world.Frames(1, 0.0f);
        EXPECT_NEAR(Weight("skeletal/walk/loop/straight_fast"), c.straight, 1e-4f);
        EXPECT_NEAR(Weight("skeletal/walk/loop/left"), c.left, 1e-4f);
        EXPECT_NEAR(Weight("skeletal/walk/loop/right"), c.right, 1e-4f);
    }
}

TEST_F(Walking, ARunningWalkerTurnsNinetyDegreesPerSecondOverAllPassesOfAFrame)
{
    // Straight ahead at first, so that the run starts; then the way bends to the left.
    Walk({Vector3::ZERO, Vector3(0, 0, 60), Vector3(600, 0, 60)});
    m_world.Frames(1, 0.1f);
    ASSERT_TRUE(m_move->IsRunning());
    float largest = 0.0f;
    for (int frame = 0; frame < 5; ++frame)
    {
        const float before = Node()._getDerivedOrientation().getYaw().valueDegrees();
        m_world.Frames(1, 0.1f);
        ASSERT_TRUE(m_move->IsRunning());
        const float turned = std::abs(Node()._getDerivedOrientation().getYaw().valueDegrees() - before);
        EXPECT_LE(turned, 9.0f + 1e-3f) << "90 degrees per second of 100 ms frames";
        largest = std::max(largest, turned);
    }
    EXPECT_GT(largest, 8.9f) << "the limit is what holds the turn back";
}

TEST_F(Walking, AStopDropsTheWalkAndTellsAWaitingListener)
{
    Walk({Vector3::ZERO, Vector3(0, 0, 300)});
    m_world.Frames(3, FRAME);
    m_listener.m_events.clear();
    m_move->Stop();
    m_move->Stop();
    EXPECT_EQ(m_listener.m_events, Events{"move 4"});
    m_world.Frames(1, FRAME);
    EXPECT_TRUE(m_move->GetPath().empty());
    EXPECT_EQ(m_listener.m_events, (Events{"move 4", "move 5"})) << "the end is not reported as arrival";
    EXPECT_EQ(Weight("skeletal/walk/loop"), 0.0f);
    EXPECT_TRUE(m_puppet->ResolveAnimPath("skeletal/walk/loop")->IsFading()) << "over the control's 0.5 s";
}

TEST_F(Walking, AStrongerControlInterruptsTheWalkWhichGoesOnAfterwards)
{
    auto stranger = std::make_unique<StandInControl>(900, 1);
    StandInControl& wave = *stranger;
    m_puppet->AddControl("wave", std::move(stranger));
    wave.SetListener(&m_listener);
    Walk({Vector3::ZERO, Vector3(0, 0, 300)});
    m_world.Frames(3, FRAME);
    m_listener.m_events.clear();

    wave.Want();
    m_world.Frames(1, FRAME);
    EXPECT_EQ(m_listener.m_events, (Events{"move 4", "move 5", "wave 0"}));
    EXPECT_FALSE(m_move->GetPath().empty()) << "the path stays";
    wave.Finish();
    m_world.Frames(1, FRAME);
    EXPECT_TRUE(m_move->IsActive()) << "it asks again";
}

TEST_F(Walking, AResetEndsTheWalkAtOnceWithoutComplaint)
{
    Walk({Vector3::ZERO, Vector3(0, 0, 300)});
    m_world.Frames(3, FRAME);
    m_listener.m_events.clear();
    m_log.Clear();
    m_puppet->SetActive(false);
    EXPECT_EQ(m_listener.m_events, Events{"move 4"});
    EXPECT_TRUE(m_move->GetPath().empty());
    EXPECT_EQ(m_puppet->ResolveAnimPath("skeletal/walk/loop")->GetValue(), 0.0f);
    EXPECT_EQ(m_puppet->ResolveAnimPath("skeletal/walk/loop/straight_fast")->GetValue(), 0.0f);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u) << "giving its own weights back is no stray edit";
    EXPECT_EQ(m_move->GetFadeTime(), 0.5f);
}

TEST_F(Walking, TheElementSetsTheDistances)
{
    struct Case
    {
        const char* name;
        const char* element;
        float minRun;
        float maxStopRun;
        float stop;
    } cases[] = {
        {"all three", R"(<movectrl minstartrun="600" maxstoprun="100.5" stopwalk="10"/>)", 600.0f, 100.5f,
         10.0f},
        {"none keeps the defaults", R"(<movectrl/>)", 500.0f, 220.0f, 25.0f},
        {"no number keeps the default", R"(<movectrl minstartrun="far" stopwalk=""/>)", 500.0f, 220.0f,
         25.0f},
        {"another element reads nothing", R"(<turnctrl minstartrun="1" stopwalk="1"/>)", 500.0f, 220.0f,
         25.0f},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        ParseXml(document, c.element, "a movement control");
        cl_MovementControl move;
        EXPECT_TRUE(move.FromXml(document.RootElement()));
        EXPECT_EQ(move.GetMinRunDistance(), c.minRun);
        EXPECT_EQ(move.GetMaxStopRunDistance(), c.maxStopRun);
        EXPECT_EQ(move.GetStopDistance(), c.stop);
    }
    cl_MovementControl move;
    EXPECT_TRUE(move.FromXml(nullptr));
}
} // namespace
