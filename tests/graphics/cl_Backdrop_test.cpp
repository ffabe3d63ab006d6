#include "graphics/cl_Backdrop.h"

#include "common/XmlParse.h"
#include "common/cl_Argument.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_ShotGenerator.h"
#include "graphics/cl_ShotGeneratorFactory.h"
#include "graphics/cl_TexturePane.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreMath.h>
#include <OgreRay.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <cmath>
#include <string>

namespace
{
class Backdrop : public testing::Test
{
protected:
    // Where the world point lands in the camera's view, from (-1, -1) bottom left to (1, 1) top right.
    Ogre::Vector2 OnScreen(const Ogre::Vector3& point) const
    {
        const Ogre::Camera& camera = *m_world.ogreCamera;
        const Ogre::Vector3 projected = camera.getProjectionMatrix() * (camera.getViewMatrix() * point);
        return Ogre::Vector2(projected.x, projected.y);
    }

    std::string Hooks()
    {
        cl_Argument value;
        return m_world.script.GetGlobal("hooks", value) ? value.GetString() : std::string();
    }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("hall");
};
} // namespace

TEST_F(Backdrop, ShowsItsPatchesOnlyWhileActive)
{
    EXPECT_EQ(m_backdrop.GetPlaneNode()->getParent(), m_world.root);
    EXPECT_EQ(m_backdrop.GetRootNode()->getParent(), nullptr);
    m_backdrop.Activate();
    EXPECT_EQ(m_backdrop.GetRootNode()->getParent(), m_world.root);
    m_backdrop.Deactivate();
    EXPECT_EQ(m_backdrop.GetRootNode()->getParent(), nullptr);
}

TEST_F(Backdrop, AdvancesItsPatchesEveryFrameActiveOrNot)
{
    TiXmlDocument document;
    ParseXml(document, R"(<animatedpatch width="8" height="8" src="torch.png" duration="4">
        <framelayout count="4"/></animatedpatch>)",
             "torch");
    auto* torch = static_cast<cl_AnimatedPatch*>(m_backdrop.LoadPatch(*document.RootElement()));
    m_world.gameTime.Update(0.5f);
    EXPECT_EQ(torch->GetTimePosition(), 0.5f);
    m_backdrop.Activate();
    m_world.gameTime.Update(0.5f);
    EXPECT_EQ(torch->GetTimePosition(), 1.0f);
}

TEST_F(Backdrop, RunsItsHooks)
{
    m_backdrop.SetHook("OnActivate", "hooks = (hooks or '') .. 'A'");
    m_backdrop.SetHook("OnUpdate", "hooks = (hooks or '') .. 'U'");
    m_backdrop.SetHook("OnDeactivate", "hooks = (hooks or '') .. 'D'");
    m_backdrop.Activate();
    m_backdrop.Activate();
    m_backdrop.SetZoom(2.0f);
    m_backdrop.Deactivate();
    m_backdrop.Deactivate();
    m_backdrop.SetZoom(1.0f);
    EXPECT_EQ(Hooks(), "AUUD");
}

TEST_F(Backdrop, WithoutASceneManagerBuildsNothing)
{
    cl_Backdrop backdrop(100.0f, 100.0f, "cellar");
    EXPECT_FALSE(backdrop.Init(m_world.root, nullptr, "camera", false));
    EXPECT_FALSE(backdrop.IsInitialised());
    backdrop.Activate();
    EXPECT_FALSE(backdrop.IsActive());
    EXPECT_TRUE(m_world.log.Contains("Backdrop 'cellar' has no scene manager or node to hang under."));
}

TEST_F(Backdrop, LeavesNoNodeBehind)
{
    const unsigned short children = m_world.root->numChildren();
    {
        cl_Backdrop backdrop(100.0f, 100.0f, "cellar");
        ASSERT_TRUE(backdrop.Init(m_world.root, &m_world.ogre.SceneManager(), "camera", false));
        backdrop.CreatePatch("wall.png", -1.0f, 0, 0, 0, 0, 0, 0, 8, 8);
        backdrop.Activate();
        ASSERT_TRUE(backdrop.Init(m_world.root, &m_world.ogre.SceneManager(), "camera", false));
        EXPECT_TRUE(backdrop.GetPatches().empty());
        EXPECT_EQ(m_world.root->numChildren(), children + 1);
    }
    EXPECT_EQ(m_world.root->numChildren(), children);
}

TEST_F(Backdrop, ScalesItsPlaneToFillTheView)
{
    // Horizontal: the plane's width fills the field of view 1000 from the eye.
    EXPECT_NEAR(m_backdrop.GetPlaneScale(), 1.0f, 1e-6f);
    EXPECT_TRUE(m_backdrop.GetPlaneNode()->getPosition().positionEquals(Ogre::Vector3(0, -500, 0)));
    EXPECT_TRUE(
        m_backdrop.BackdropToWorld(0.0f, 0.0f).positionEquals(Ogre::Vector3(-400, -500, -300), 1e-3f));

    // Vertical: the field of view is widened to 4:3, and the plane a little more against the lens.
    cl_Backdrop vertical(800.0f, 600.0f, "vertical");
    vertical.Init(m_world.root, &m_world.ogre.SceneManager(), "camera", false);
    m_world.SetUpBackdrop(vertical);
    const float half = std::atan(0.4f / 0.75f);
    EXPECT_NEAR(vertical.GetFieldOfView(), 2.0f * half, 1e-6f);
    const float fill = 2.0f * std::tan(half) * 1000.0f / 800.0f;
    EXPECT_NEAR(vertical.GetPlaneScale(), fill * ((1.0f / std::cos(half) - 1.0f) * 0.6f + 1.0f), 1e-5f);
}

TEST_F(Backdrop, TouchesNoCameraBeforeItHasOne)
{
    cl_Backdrop backdrop(100.0f, 100.0f, "cellar");
    ASSERT_TRUE(backdrop.Init(m_world.root, &m_world.ogre.SceneManager(), "camera", false));
    backdrop.Activate();
    backdrop.SetZoom(2.0f);
    backdrop.RotateCamera(0.1f, 0.2f);
    EXPECT_FALSE(m_world.ogreCamera->isCustomProjectionMatrixEnabled());
    EXPECT_EQ(backdrop.GetZoom(), 2.0f);
}

TEST_F(Backdrop, PutsTheCameraAtTheEyeLookingAtThePlane)
{
    // The camera hangs on a node of its own: the backdrop places it in the world all the same.
    m_world.ogre.SceneManager()
        .getRootSceneNode()
        ->createChildSceneNode(Ogre::Vector3(0, 0, 1))
        ->attachObject(m_world.ogreCamera);
    m_backdrop.Activate();
    const Ogre::Camera& camera = *m_world.ogreCamera;
    EXPECT_TRUE(camera.getDerivedPosition().positionEquals(BackdropWorld::EYE, 1e-3f));
    EXPECT_TRUE(camera.getDerivedDirection().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Y, 1e-5f));
    EXPECT_TRUE(camera.getDerivedUp().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Z, 1e-5f));
    EXPECT_TRUE(OnScreen(m_backdrop.BackdropToWorld(400, 300)).positionEquals(Ogre::Vector2::ZERO, 1e-5f));

    m_backdrop.SetRoll(Ogre::Math::HALF_PI);
    EXPECT_TRUE(camera.getDerivedUp().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_Z, 1e-5f));
    m_backdrop.UpdateCamera();
    EXPECT_TRUE(camera.getDerivedUp().positionEquals(Ogre::Vector3::NEGATIVE_UNIT_X, 1e-5f));
}

TEST_F(Backdrop, ShiftsTheLookAtPointToTheMiddle)
{
    m_backdrop.Activate();
    const Ogre::Vector3 corner = m_backdrop.BackdropToWorld(0, 0);
    const Ogre::Vector2 cornerAtZoom1 = OnScreen(corner);
    EXPECT_TRUE(cornerAtZoom1.positionEquals(Ogre::Vector2(-1, 1), 1e-4f));

    // The window lies 200 to the right of the plane's centre and 100 up; the shift divides by the slant
    // distance to it, which puts it near the middle.
    const Ogre::Vector3 window = m_backdrop.BackdropToWorld(600, 200);
    m_backdrop.SetLookAtPoint(window);
    m_backdrop.UpdateCamera();
    const float slant = (window - BackdropWorld::EYE).length();
    EXPECT_NEAR(m_backdrop.GetShiftX(), 200.0f / slant, 1e-6f);
    EXPECT_NEAR(m_backdrop.GetShiftY(), 100.0f / slant, 1e-6f);
    EXPECT_TRUE(OnScreen(window).positionEquals(Ogre::Vector2::ZERO, 0.02f));

    // Zoom 2 halves the picture around the place of the plane's centre, where the shift put it.
    const Ogre::Vector2 centre = OnScreen(m_backdrop.BackdropToWorld(400, 300));
    const Ogre::Vector2 cornerAtShift = OnScreen(corner);
    m_backdrop.SetZoom(2.0f);
    EXPECT_TRUE(OnScreen(m_backdrop.BackdropToWorld(400, 300)).positionEquals(centre, 1e-5f));
    EXPECT_TRUE(OnScreen(corner).positionEquals(centre + (cornerAtShift - centre) / 2.0f, 1e-5f));
}

TEST_F(Backdrop, TurnsTheLookAtPointAroundTheEye)
{
    m_backdrop.Activate();
    const Ogre::Vector3 before = m_backdrop.GetLookAtPoint() - BackdropWorld::EYE;
    m_backdrop.RotateCamera(0.1f, 0.0f);
    const Ogre::Vector3 after = m_backdrop.GetLookAtPoint() - BackdropWorld::EYE;
    EXPECT_NEAR(before.angleBetween(after).valueRadians(), 0.1f, 1e-5f);
    EXPECT_NEAR(after.length(), before.length(), 1e-2f);
    // Turned around the picture's up axis, the look-at point moves along the picture's x.
    EXPECT_NEAR(after.z, 0.0f, 1e-3f);
}

TEST_F(Backdrop, ConvertsBetweenWorldAndBackdropOnAnyPlane)
{
    cl_Backdrop tilted(640.0f, 480.0f, "tilted");
    tilted.Init(m_world.root, &m_world.ogre.SceneManager(), "camera", false);
    const Ogre::Quaternion turn(Ogre::Degree(37.0f), Ogre::Vector3(1.0f, 2.0f, 3.0f).normalisedCopy());
    tilted.SetCamera(m_world.ogreCamera, Ogre::Vector3(10, 20, 30), Ogre::Vector3(15, 10, 40), 0.9f,
                     Ogre::Quaternion::IDENTITY, turn);
    const Ogre::Vector2 points[] = {{0, 0}, {640, 480}, {123.5f, 17.25f}, {-50, 900}};
    for (const Ogre::Vector2& point : points)
    {
        const Ogre::Vector2 back = tilted.WorldToBackdrop(tilted.BackdropToWorld(point.x, point.y));
        EXPECT_TRUE(back.positionEquals(point, 1e-2f)) << point;
    }
}

TEST_F(Backdrop, MeetsItsPlaneAlongARay)
{
    const Ogre::Vector3 eye = BackdropWorld::EYE;
    EXPECT_TRUE(m_backdrop.RayToBackdropPlane(Ogre::Ray(eye, Ogre::Vector3(0.2f, -1.0f, 0.1f)))
                    .positionEquals(Ogre::Vector3(200, -500, 100), 1e-2f));
    EXPECT_EQ(m_backdrop.RayToBackdropPlane(Ogre::Ray(eye, Ogre::Vector3::UNIT_Y)), eye);
}

TEST_F(Backdrop, MakesPatchesForMenusAndMinigames)
{
    cl_Patch* overlay = m_backdrop.CreatePatch("menu.png", -1.0f, 95, 7, 10, 20, 0, 0, 64, 32);
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->GetPane().getRenderQueueGroup(), 95);
    EXPECT_EQ(overlay->GetPane().GetPriority(), 7);
    EXPECT_FALSE(overlay->GetDepthCheck());
    EXPECT_TRUE(overlay->GetManualAlpha());
    EXPECT_EQ(overlay->GetPosition(), Ogre::Vector2(10, 20));

    cl_Patch* inScene = m_backdrop.CreatePatch("menu.png", 250.0f, 0, 2, 400, 300, 0, 0, 64, 32);
    EXPECT_EQ(inScene->GetPane().getRenderQueueGroup(), 70);
    EXPECT_TRUE(inScene->GetDepthCheck());
    EXPECT_TRUE(inScene->GetSceneNode()->getPosition().positionEquals(Ogre::Vector3(0, 250, 0), 1e-3f));

    cl_LightPatch* light = m_backdrop.CreateLightPatch("glow.png", 5, 6, 0, 0, 16, 16);
    EXPECT_EQ(light->GetPane().getRenderQueueGroup(), 75);
    EXPECT_EQ(light->GetPane().GetPriority(), 0);
    EXPECT_TRUE(light->GetDepthCheck());
    EXPECT_EQ(light->GetLightMode(), cl_LightPatch::LIGHT_ADD);
    EXPECT_EQ(m_backdrop.GetPatches().size(), 3u);
}

TEST_F(Backdrop, GivesTheCameraItsClipDistances)
{
    m_backdrop.SetNearClipDistance(2.0f);
    m_backdrop.SetFarClipDistance(5000.0f);
    m_backdrop.SetNearClipDistance(0.0f);
    EXPECT_EQ(m_world.ogreCamera->getNearClipDistance(), 2.0f);
    EXPECT_EQ(m_world.ogreCamera->getFarClipDistance(), 5000.0f);
    EXPECT_TRUE(m_world.log.Contains("Backdrop 'hall': a near clip distance of 0.000000 is not above 0"));
}

TEST(DemoBackdrops, LoadWithoutAComplaint)
{
    BackdropWorld world;
    world.AddNode("sp_default", Ogre::Vector3::ZERO);
    world.AddNode("sp_scenes_yard", Ogre::Vector3(100, 0, 0));
    TiXmlDocument document;
    ASSERT_TRUE(LoadXmlFile(document, QUILLMERE_DEMO_DIR "data/chapter1/scenes.tdf"));
    int backdrops = 0;
    for (const TiXmlElement* scene = document.RootElement()->FirstChildElement("scene"); scene;
         scene = scene->NextSiblingElement("scene"))
    {
        for (const TiXmlElement* element = scene->FirstChildElement("backdrop"); element;
             element = element->NextSiblingElement("backdrop"), ++backdrops)
        {
            cl_Backdrop& backdrop = world.AddBackdrop("default");
            for (const TiXmlElement* patch = element->FirstChildElement(); patch;
                 patch = patch->NextSiblingElement())
                EXPECT_NE(backdrop.LoadPatch(*patch), nullptr) << patch->ValueStr();
        }
        for (const TiXmlElement* activator =
                 scene->FirstChildElement("shots")->FirstChildElement("shotactivator");
             activator; activator = activator->NextSiblingElement("shotactivator"))
            EXPECT_NE(cl_ShotGeneratorFactory::Create(*activator), nullptr);
    }
    EXPECT_EQ(backdrops, 2);
    for (const LogCapture::Line& line : world.log.Lines())
        ADD_FAILURE() << line.text;
}
