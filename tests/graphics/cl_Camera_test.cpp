#include "graphics/cl_Camera.h"

#include "common/cl_Command.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_ShotGenerator.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Gives its shot and counts how often it was asked.
class CountingGenerator : public cl_ShotGenerator
{
public:
    CountingGenerator(int& calls, const cl_Shot& shot) : m_calls(calls), m_shot(shot) {}
    cl_Shot GenerateShot() override
    {
        ++m_calls;
        return m_shot;
    }

private:
    int& m_calls;
    cl_Shot m_shot;
};

// Asks the camera for a shot while it makes its own.
class AskingGenerator : public cl_ShotGenerator
{
public:
    explicit AskingGenerator(const std::string& asked) : m_asked(asked) {}
    cl_Shot GenerateShot() override { return cl_Camera::GetInstance()->GetShot(m_asked); }

private:
    std::string m_asked;
};

// A scene with its backdrop "default" active, on a screen of the given aspect.
class Camera : public testing::Test
{
protected:
    void StartScene(float aspect)
    {
        m_world.ogreCamera->setAspectRatio(aspect);
        m_world.StartScene("default");
    }
    void Shot(const std::string& name, float zoom, const std::string& backdrop = "default")
    {
        m_camera.AddShot(name, Ogre::Vector3(zoom, 0, 0), zoom, 0.0f, backdrop);
    }
    bool Send(const std::string& name, const std::vector<std::string>& arguments)
    {
        cl_Command cmd(name);
        for (const std::string& argument : arguments)
            cmd.m_arguments.GetArg(-1)->SetString(argument);
        return m_world.script.SendCmd("camera", cmd);
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("default");
    cl_Camera& m_camera = m_world.camera;
};

const float WIDE = 16.0f / 9.0f;
const float NARROW = 4.0f / 3.0f;
} // namespace

TEST_F(Camera, AWideScreenPrefersTheWideVariant)
{
    Shot("hall", 1.0f);
    Shot("hall_w", 2.0f);
    StartScene(WIDE);
    m_camera.ActivateShot("hall");
    EXPECT_EQ(m_backdrop.GetZoom(), 2.0f);
    EXPECT_EQ(m_camera.GetStaticShotName(), "hall");
}

TEST_F(Camera, ANarrowScreenNeverTakesTheWideVariant)
{
    Shot("hall", 1.0f);
    Shot("hall_w", 2.0f);
    StartScene(NARROW);
    m_camera.ActivateShot("hall");
    EXPECT_EQ(m_backdrop.GetZoom(), 1.0f);
    EXPECT_FALSE(m_camera.IsWideScreen());
}

TEST_F(Camera, AScreenOnceWideStaysWide)
{
    StartScene(WIDE);
    m_camera.Reset();
    Shot("hall", 1.0f);
    Shot("hall_w", 2.0f);
    m_world.ogreCamera->setAspectRatio(NARROW);
    m_camera.InitScene(m_world.ogreCamera);
    m_camera.ActivateShot("hall");
    EXPECT_TRUE(m_camera.IsWideScreen());
    EXPECT_EQ(m_backdrop.GetZoom(), 2.0f);
}

TEST(CameraFirstShot, IsTheAvatarsThenTheDefaultThenTheFirstOfItsOwn)
{
    struct Case
    {
        const char* name;
        std::vector<std::string> shots;
        const char* backdrop;
        bool wide;
        const char* chosen;
    };
    const Case cases[] = {
        {"avatar first", {"avatar", "default", "a"}, "default", false, "avatar"},
        {"then default", {"default", "a"}, "default", false, "default"},
        {"the backdrop's avatar",
         {"avatar", "avatar_cellar", "default_cellar"},
         "cellar",
         false,
         "avatar_cellar"},
        {"the backdrop's default", {"avatar", "default_cellar"}, "cellar", false, "default_cellar"},
        {"the first of its own by name", {"b_cellar", "a_wall"}, "cellar", false, "a_wall"},
        {"a_w_w does not end in _w", {"b_w", "a_w_w"}, "cellar", false, "a_w_w"},
        {"on a wide screen the first ending in _w", {"a_wall", "a_w_w", "b_w"}, "cellar", true, "b_w"},
        {"none of its own", {"avatar", "default"}, "cellar", false, ""},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        BackdropWorld world;
        world.ogreCamera->setAspectRatio(test.wide ? WIDE : NARROW);
        world.camera.InitScene(world.ogreCamera);
        for (const std::string& shot : test.shots)
        {
            const bool own = shot.find("avatar") != 0 && shot.find("default") != 0;
            world.camera.AddShot(shot, Ogre::Vector3::ZERO, 1.0f, 0.0f, own ? test.backdrop : "elsewhere");
        }
        world.camera.ActivateBackdropShot(test.backdrop);
        EXPECT_EQ(world.camera.GetStaticShotName(), test.chosen);
    }
}

TEST_F(Camera, TheCurrentShotIsTheOneAppliedLast)
{
    StartScene(NARROW);
    const cl_Shot applied(Ogre::Vector3(1, 2, 3), 0.5f, 10.0f, "default");
    m_camera.ApplyShot(applied);
    EXPECT_EQ(m_camera.GetShot("current").position, applied.position);
    EXPECT_FALSE(m_world.log.Contains("not found"));
    EXPECT_EQ(m_camera.GetShot("nowhere").zoom, 0.5f);
    EXPECT_TRUE(m_world.log.Contains("Shot 'nowhere' not found.", cl_Logger::LEVEL_WARNING));
}

TEST_F(Camera, ANameThatIsNoShotOnlyBecomesTheActiveName)
{
    int calls = 0;
    m_camera.AddShotGenerator("follow", std::make_unique<CountingGenerator>(calls, cl_Shot()));
    StartScene(NARROW);
    m_camera.ActivateShot("follow");
    EXPECT_TRUE(m_camera.IsRunning());
    m_backdrop.SetZoom(3.0f);
    m_camera.ActivateShot("nowhere");
    EXPECT_FALSE(m_camera.IsRunning());
    EXPECT_EQ(m_camera.GetStaticShotName(), "nowhere");
    EXPECT_EQ(m_camera.GetGeneratorName(), "");
    EXPECT_EQ(m_backdrop.GetZoom(), 3.0f);
    EXPECT_FALSE(m_world.log.Contains("not found"));
}

TEST_F(Camera, StartsASceneAtItsFirstShotAndRuns)
{
    Shot("avatar", 1.5f);
    StartScene(NARROW);
    EXPECT_EQ(m_camera.GetStaticShotName(), "avatar");
    EXPECT_EQ(m_backdrop.GetZoom(), 1.5f);
    EXPECT_TRUE(m_camera.IsRunning());
}

TEST_F(Camera, StartsASceneAtThePendingShotOnce)
{
    Shot("avatar", 1.5f);
    Shot("window", 0.6f);
    m_camera.SetPendingShotName("window");
    StartScene(NARROW);
    EXPECT_EQ(m_camera.GetStaticShotName(), "window");
    EXPECT_EQ(m_camera.GetPendingShotName(), "");
}

TEST_F(Camera, StartsWithTheSceneZoomWhenTheBackdropHasNoShot)
{
    StartScene(NARROW);
    EXPECT_EQ(m_backdrop.GetZoom(), 0.82f);
}

TEST_F(Camera, WithoutAnActiveBackdropOnlyListens)
{
    int calls = 0;
    m_camera.AddShotGenerator("avatar", std::make_unique<CountingGenerator>(calls, cl_Shot()));
    m_camera.InitScene(m_world.ogreCamera);
    m_world.gameTime.Update(0.1f);
    EXPECT_FALSE(m_camera.IsRunning());
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(m_backdrop.GetZoom(), 1.0f);
}

TEST_F(Camera, AppliesTheRunningGeneratorEveryFrameUntilSuspended)
{
    int calls = 0;
    m_camera.AddShotGenerator("avatar",
                              std::make_unique<CountingGenerator>(
                                  calls, cl_Shot(Ogre::Vector3(5, -500, 5), 0.7f, 0.0f, "current")));
    StartScene(NARROW);
    EXPECT_EQ(m_camera.GetGeneratorName(), "avatar");
    EXPECT_EQ(m_backdrop.GetLookAtPoint(), Ogre::Vector3(5, -500, 5));
    const int started = calls;
    m_world.gameTime.Update(0.1f);
    m_world.gameTime.Update(0.1f);
    EXPECT_EQ(calls, started + 2);

    EXPECT_TRUE(Send("Suspend", {}));
    m_world.gameTime.Update(0.1f);
    EXPECT_EQ(calls, started + 2);
    EXPECT_TRUE(Send("Resume", {}));
    m_world.gameTime.Update(0.1f);
    EXPECT_EQ(calls, started + 3);

    m_camera.Reset();
    EXPECT_FALSE(m_camera.HasShot("avatar"));
    EXPECT_FALSE(m_camera.IsRunning());
    // Until the next scene starts, the camera no longer listens to the game time.
    int after = 0;
    m_camera.AddShotGenerator("avatar", std::make_unique<CountingGenerator>(after, cl_Shot()));
    m_camera.ActivateShot("avatar");
    m_world.gameTime.Update(0.1f);
    EXPECT_EQ(after, 1);
}

TEST_F(Camera, ActivatesShotsOnCommand)
{
    Shot("window", 0.6f);
    StartScene(NARROW);
    EXPECT_TRUE(Send("ActivateShot", {"window", "ignored"}));
    EXPECT_EQ(m_camera.GetStaticShotName(), "window");
    EXPECT_FALSE(Send("ActivateShot", {}));
    EXPECT_TRUE(m_world.log.Contains(
        "Receiver 'camera' refused the command 'ActivateShot': the argument 'string shot' is missing."));
    EXPECT_FALSE(Send("Zoom", {"2"}));
}

TEST_F(Camera, FollowsANodeOnCommand)
{
    Ogre::SceneNode& crane = m_world.AddNode("crane", Ogre::Vector3(0, 100, 0));
    StartScene(NARROW);
    EXPECT_TRUE(Send("AttachTo", {"crane"}));
    EXPECT_EQ(m_world.ogreCamera->getParentSceneNode(), &crane);
    EXPECT_FALSE(m_camera.IsRunning());

    EXPECT_FALSE(Send("AttachTo", {"nowhere"}));
    EXPECT_EQ(m_world.ogreCamera->getParentSceneNode(), nullptr);
    EXPECT_TRUE(m_world.log.Contains("There is no scene node 'nowhere' for the camera to follow"));

    crane.attachObject(m_world.ogreCamera);
    EXPECT_TRUE(Send("AttachTo", {""}));
    EXPECT_EQ(m_world.ogreCamera->getParentSceneNode(), nullptr);
    EXPECT_TRUE(m_camera.IsRunning());
}

TEST_F(Camera, AGeneratorOfATakenIdReplacesTheOld)
{
    int first = 0;
    int second = 0;
    m_camera.AddShotGenerator("follow", std::make_unique<CountingGenerator>(first, cl_Shot()));
    m_camera.AddShotGenerator("follow", std::make_unique<CountingGenerator>(second, cl_Shot()));
    m_camera.GetShot("follow");
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 1);
    EXPECT_TRUE(m_world.log.Contains("A Shot Generator with the id 'follow' already is registered.",
                                     cl_Logger::LEVEL_ERROR));
}

TEST_F(Camera, AGeneratorAskingForItsOwnShotGetsTheCurrentOne)
{
    m_camera.AddShotGenerator("a", std::make_unique<AskingGenerator>("b"));
    m_camera.AddShotGenerator("b", std::make_unique<AskingGenerator>("a"));
    StartScene(NARROW);
    m_camera.ApplyShot(cl_Shot(Ogre::Vector3(1, 1, 1), 0.9f, 0.0f, "current"));
    EXPECT_EQ(m_camera.GetShot("a").zoom, 0.9f);
    EXPECT_EQ(m_camera.GetShot("a").zoom, 0.9f);
    size_t warnings = 0;
    for (const LogCapture::Line& line : m_world.log.Lines())
        warnings += line.text.find("The shot generator 'a' asks for its own shot") == 0;
    EXPECT_EQ(warnings, 1u);
}

TEST_F(Camera, BlendsShotsByTheirWeights)
{
    const cl_Shot a(Ogre::Vector3(0, 0, 0), 1.0f, 10.0f, "hall");
    const cl_Shot b(Ogre::Vector3(10, 20, 30), 3.0f, 50.0f, "cellar");
    const cl_Shot blend = cl_Camera::InterpolateShots(a, b, 0.5f, 0.0f, 1.0f);
    EXPECT_EQ(blend.position, Ogre::Vector3(5, 10, 15));
    EXPECT_EQ(blend.zoom, 1.0f);
    EXPECT_EQ(blend.rotation, 50.0f);
    EXPECT_EQ(blend.backdrop, "current");
    EXPECT_EQ(cl_Camera::InterpolateShots(a, b, 0.25f).zoom, 1.5f);
}

TEST_F(Camera, AppliesAShotToTheActiveBackdropRollingAtItsNextUpdate)
{
    StartScene(NARROW);
    const Ogre::Vector3 up = m_world.ogreCamera->getDerivedUp();
    m_camera.ApplyShot(cl_Shot(m_backdrop.BackdropToWorld(600, 200), 0.5f, 90.0f, "default"));
    EXPECT_EQ(m_backdrop.GetZoom(), 0.5f);
    EXPECT_EQ(m_backdrop.GetLookAtPoint(), m_backdrop.BackdropToWorld(600, 200));
    EXPECT_NEAR(m_backdrop.GetRoll(), Ogre::Math::HALF_PI, 1e-6f);
    EXPECT_TRUE(m_world.ogreCamera->getDerivedUp().positionEquals(up));
    m_backdrop.UpdateCamera();
    EXPECT_FALSE(m_world.ogreCamera->getDerivedUp().positionEquals(up));
}

TEST_F(Camera, SeesPointsFromTheBackdropsEye)
{
    StartScene(NARROW);
    EXPECT_TRUE(
        m_camera.ProjectOnBackdrop(Ogre::Vector3(100, 0, 0)).positionEquals(Ogre::Vector3(200, -500, 0)));
    const cl_Shot below(Ogre::Vector3(0, -500, 0), 1.0f, 0.0f, "current");
    const cl_Shot aside(Ogre::Vector3(1000, -500, 0), 1.0f, 0.0f, "current");
    EXPECT_NEAR(m_camera.AngleOnBackdrop(below, aside), Ogre::Math::PI / 4.0f, 1e-6f);
}
