#include "graphics/cl_Backdrop.h"

#include "common/XmlNumbers.h"
#include "common/XmlParse.h"
#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_LightPatch.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "support/LoadedLibraries.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <tinyxml.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace
{
const int WIDTH = 400;
const int HEIGHT = 300;

struct Colour
{
    int r, g, b;
};

bool Matches(const Colour& seen, const Colour& expected)
{
    const int tolerance = 8;
    return std::abs(seen.r - expected.r) <= tolerance && std::abs(seen.g - expected.g) <= tolerance &&
           std::abs(seen.b - expected.b) <= tolerance;
}

::testing::AssertionResult Near(const Colour& seen, const Colour& expected)
{
    if (Matches(seen, expected))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "seen (" << seen.r << ", " << seen.g << ", " << seen.b << "), expected (" << expected.r << ", "
           << expected.g << ", " << expected.b << ")";
}

const Colour WALL{138, 122, 102};
const Colour FLOOR{107, 68, 35};
const Colour WINDOW{48, 96, 208};
const Colour PILLAR{80, 80, 80};
const Colour DOORWAY{40, 30, 25};
const Colour TORCH[] = {{230, 30, 30}, {30, 200, 30}, {30, 30, 230}, {230, 230, 30}};

// The demo's tower hall on a 400 × 300 window, its backdrop read from the laid-out demo as the scene
// loader reads it and set up for the hall's camera, its shots filed with the camera.
class HallBackdrop : public testing::Test
{
protected:
    void SetUp() override
    {
        m_logManager = std::make_unique<Ogre::LogManager>();
        m_logManager->createLog("backdrop.log", true, false, true);
        m_root = std::make_unique<Ogre::Root>("", "", "");
        m_root->loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/RenderSystem_GL");
        m_root->loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/Codec_STBI");
        Ogre::RenderSystem* renderSystem = m_root->getRenderSystemByName("OpenGL Rendering Subsystem");
        ASSERT_NE(renderSystem, nullptr);
        renderSystem->setConfigOption("Full Screen", "No");
        renderSystem->setConfigOption("Video Mode", "400 x 300");
        m_root->setRenderSystem(renderSystem);
        m_root->initialise(false);
        m_window = m_root->createRenderWindow("hall", WIDTH, HEIGHT, false);
        KeepLoadedLibraries();

        Ogre::SceneManager* sceneManager = m_root->createSceneManager();
        m_ogreCamera = sceneManager->createCamera("LocationCam");
        m_ogreCamera->setFOVy(Ogre::Degree(33.75f));
        Ogre::Viewport* viewport = m_window->addViewport(m_ogreCamera);
        viewport->setBackgroundColour(Ogre::ColourValue::Black);
        m_ogreCamera->setAspectRatio(static_cast<float>(WIDTH) / HEIGHT);

        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
        groups.initialiseResourceGroup("CHAPTERDATA");

        m_script = std::make_unique<cl_LuaScriptSystem>();
        m_gameTime = std::make_unique<ManualGameTime>(*m_script);
        m_scenes = std::make_unique<cl_SceneManager>(*m_script);
        m_camera = std::make_unique<cl_Camera>(*m_script);
        auto scene = std::make_unique<cl_Scene>(TiXmlElement("scene"));
        m_scene = scene.get();
        m_scene->SetSceneManager(sceneManager);
        m_scenes->SetLoadedScene(std::move(scene));
        Ogre::SceneNode* root = sceneManager->getRootSceneNode()->createChildSceneNode("_game");

        TiXmlDocument document;
        ASSERT_TRUE(LoadXmlFile(document, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/scenes.tdf"));
        const TiXmlElement* hall = document.RootElement()->FirstChildElement("scene");
        ASSERT_EQ(TextAttribute(*hall, "assetref", ""), "scenes_tower");
        const TiXmlElement& element = *hall->FirstChildElement("backdrop");
        m_backdrop = m_scene->AddBackdrop(std::make_unique<cl_Backdrop>(NumberAttribute(element, "width", 0),
                                                                        NumberAttribute(element, "height", 0),
                                                                        TextAttribute(element, "name", "")));
        ASSERT_TRUE(m_backdrop->Init(root, sceneManager, TextAttribute(element, "cam", ""),
                                     TextAttribute(element, "fov", "") == "horizontal"));
        for (const TiXmlElement* child = element.FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            cl_Patch* patch = m_backdrop->LoadPatch(*child);
            ASSERT_NE(patch, nullptr) << child->ValueStr();
            if (const std::string* id = child->Attribute(std::string("id")))
                m_scene->AddPatch(*id, patch);
        }
        // The hall's camera as the scene document describes it: no rotation, looking straight down.
        const Ogre::Vector3 eye(0, 500, 0);
        const Ogre::Quaternion tilting(-Ogre::Vector3::UNIT_X, -Ogre::Vector3::UNIT_Z,
                                       -Ogre::Vector3::UNIT_Y);
        m_backdrop->SetCamera(m_ogreCamera, eye, eye + Ogre::Vector3(0, -100, 0), 0.7647f,
                              Ogre::Quaternion::IDENTITY, tilting);
        for (const TiXmlElement* shot = hall->FirstChildElement("shots")->FirstChildElement("shot"); shot;
             shot = shot->NextSiblingElement("shot"))
        {
            m_camera->AddShot(TextAttribute(*shot, "name", ""),
                              Ogre::Vector3(NumberAttribute(*shot, "x", 0), NumberAttribute(*shot, "y", 0),
                                            NumberAttribute(*shot, "z", 0)),
                              NumberAttribute(*shot, "zoom", 1.0f), NumberAttribute(*shot, "rotation", 0.0f),
                              TextAttribute(*shot, "backdrop", "default"));
        }
        m_scene->ActivateBackdrop("default");
        m_camera->InitScene(m_ogreCamera);
    }

    void TearDown() override
    {
        m_camera.reset();
        m_scenes.reset();
        m_gameTime.reset();
        m_script.reset();
        m_root.reset();
        m_logManager.reset();
    }

    // Renders a frame and keeps its pixels.
    void Render()
    {
        m_root->renderOneFrame();
        m_pixels.assign(WIDTH * HEIGHT * 3, 0);
        const Ogre::PixelBox box(WIDTH, HEIGHT, 1, Ogre::PF_BYTE_RGB, m_pixels.data());
        m_window->copyContentsToMemory(box, box);
    }
    Colour At(int x, int y) const
    {
        const uint8_t* pixel = &m_pixels[(y * WIDTH + x) * 3];
        return Colour{pixel[0], pixel[1], pixel[2]};
    }
    // The point of the picture at zoom 1 with the whole picture shown: half a pixel per backdrop unit.
    Colour AtBackdrop(int x, int y) const { return At(x / 2, y / 2); }

    // The box of the pixels of that colour: left, top, right, bottom (inclusive).
    std::vector<int> Extent(const Colour& colour) const
    {
        std::vector<int> box{WIDTH, HEIGHT, -1, -1};
        for (int y = 0; y < HEIGHT; ++y)
        {
            for (int x = 0; x < WIDTH; ++x)
            {
                if (Matches(At(x, y), colour))
                {
                    box[0] = std::min(box[0], x);
                    box[1] = std::min(box[1], y);
                    box[2] = std::max(box[2], x);
                    box[3] = std::max(box[3], y);
                }
            }
        }
        return box;
    }

    template <class Patch> Patch& FirstPatch()
    {
        for (const std::unique_ptr<cl_Patch>& patch : m_backdrop->GetPatches())
        {
            if (auto* found = dynamic_cast<Patch*>(patch.get()))
                return *found;
        }
        throw std::runtime_error("no such patch");
    }

    LogCapture m_log;
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::Camera* m_ogreCamera = nullptr;
    std::unique_ptr<cl_LuaScriptSystem> m_script;
    std::unique_ptr<ManualGameTime> m_gameTime;
    std::unique_ptr<cl_SceneManager> m_scenes;
    std::unique_ptr<cl_Camera> m_camera;
    cl_Scene* m_scene = nullptr;
    cl_Backdrop* m_backdrop = nullptr;
    std::vector<uint8_t> m_pixels;
};
} // namespace

TEST_F(HallBackdrop, ShowsThePictureWhereItsRegionsAre)
{
    // The demo's hall loads without a complaint.
    for (const LogCapture::Line& line : m_log.Lines())
        ADD_FAILURE() << line.text;
    m_camera->ActivateShot("default");
    Render();
    EXPECT_TRUE(Near(AtBackdrop(300, 100), WALL));
    EXPECT_TRUE(Near(AtBackdrop(600, 500), FLOOR));
    EXPECT_TRUE(Near(AtBackdrop(600, 160), WINDOW));
    EXPECT_TRUE(Near(AtBackdrop(140, 300), PILLAR));
    EXPECT_TRUE(Near(AtBackdrop(400, 330), DOORWAY));
    // The window's corners: the picture is neither mirrored nor shifted.
    const std::vector<int> window = Extent(WINDOW);
    const int corners[] = {270, 50, 329, 109};
    for (int side = 0; side < 4; ++side)
        EXPECT_NEAR(window[side], corners[side], 1) << "side " << side;
}

TEST_F(HallBackdrop, ShowsTheTorchsFrameOfTheTime)
{
    m_camera->ActivateShot("default");
    cl_AnimatedPatch& torch = FirstPatch<cl_AnimatedPatch>();
    for (int frame = 0; frame < 4; ++frame)
    {
        torch.SetTimePosition(0.5f * frame + 0.25f);
        Render();
        EXPECT_TRUE(Near(AtBackdrop(278, 198), TORCH[frame])) << "frame " << frame;
    }
}

TEST_F(HallBackdrop, TheLightBrightensOrDarkensItsRectangle)
{
    m_camera->ActivateShot("default");
    cl_LightPatch& light = FirstPatch<cl_LightPatch>();
    light.Hide();
    Render();
    EXPECT_TRUE(Near(AtBackdrop(284, 364), WALL));
    light.Show();
    Render();
    const Colour lit = AtBackdrop(284, 364);
    EXPECT_GT(lit.r, WALL.r + 40);
    EXPECT_GT(lit.g, WALL.g + 40);
    EXPECT_TRUE(Near(AtBackdrop(140, 364), PILLAR));

    light.SetLightMode(cl_LightPatch::LIGHT_DARKEN);
    light.SetColor(Ogre::ColourValue(0.1f, 0.1f, 0.1f));
    Render();
    const Colour darkened = AtBackdrop(284, 364);
    EXPECT_LT(darkened.r, WALL.r - 40);
    EXPECT_LT(darkened.g, WALL.g - 40);
}

TEST_F(HallBackdrop, AShotLooksAtItsPointInTheMiddle)
{
    struct Case
    {
        const char* name;
        float zoom;
        double windowWidth;
    };
    // The demo's close-up of the window is zoomed, and looks further out to show it in the middle.
    const Case cases[] = {{"", 1.0f, 60.0}, {"hall_window", 0.5f, 120.0}};
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        if (*test.name)
            m_camera->ActivateShot(test.name);
        else
            m_camera->ApplyShot(cl_Shot(m_backdrop->BackdropToWorld(600, 160), test.zoom, 0.0f, "default"));
        Render();
        EXPECT_TRUE(Near(At(WIDTH / 2, HEIGHT / 2), WINDOW));
        const std::vector<int> window = Extent(WINDOW);
        EXPECT_NEAR((window[0] + window[2]) / 2.0, WIDTH / 2, 4.0);
        EXPECT_NEAR((window[1] + window[3]) / 2.0, HEIGHT / 2, 4.0);
        EXPECT_NEAR(window[2] - window[0] + 1, test.windowWidth, 2.0);
    }
}

TEST_F(HallBackdrop, ZoomTwoHalvesThePictureAroundTheShiftedCentre)
{
    m_camera->ApplyShot(cl_Shot(m_backdrop->BackdropToWorld(600, 160), 1.0f, 0.0f, "default"));
    Render();
    const std::vector<int> near = Extent(WINDOW);
    const double width = near[2] - near[0] + 1;
    const double centreX = (near[0] + near[2]) / 2.0;
    const double centreY = (near[1] + near[3]) / 2.0;
    // Where the picture's centre shows, 200 units left of the window's centre and 140 below.
    const double pixelsPerUnit = width / 120.0;
    const double fixedX = centreX - 200.0 * pixelsPerUnit;
    const double fixedY = centreY + 140.0 * pixelsPerUnit;

    m_backdrop->SetZoom(2.0f);
    Render();
    const std::vector<int> far = Extent(WINDOW);
    EXPECT_NEAR(far[2] - far[0] + 1, width / 2.0, 1.5);
    EXPECT_NEAR((far[0] + far[2]) / 2.0, fixedX + (centreX - fixedX) / 2.0, 1.5);
    EXPECT_NEAR((far[1] + far[3]) / 2.0, fixedY + (centreY - fixedY) / 2.0, 1.5);
}

TEST_F(HallBackdrop, APaneOfHigherPriorityDrawsOverItsGroup)
{
    m_camera->ActivateShot("default");
    // Both over the doorway, in the picture's group: the window first but in front, then the pillar.
    m_backdrop->CreatePatch("hall.png", -1.0f, 0, 5, 360, 250, 540, 100, 80, 80);
    m_backdrop->CreatePatch("hall.png", -1.0f, 0, 3, 360, 250, 100, 100, 80, 80);
    Render();
    EXPECT_TRUE(Near(AtBackdrop(400, 290), WINDOW));
}
