#include "support/SceneWindow.h"

#include "common/XmlParse.h"
#include "graphics/cl_Scene.h"
#include "support/GlRenderSystem.h"
#include "support/LoadedLibraries.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>

SceneWindow::SceneWindow(int windowWidth, int windowHeight) : width(windowWidth), height(windowHeight)
{
    m_logManager = std::make_unique<Ogre::LogManager>();
    m_logManager->createLog("scene_window.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    UseGlRenderSystem(*m_root);
    m_root->initialise(false);
    m_window = m_root->createRenderWindow("scene", width, height, false);
    KeepLoadedLibraries();

    m_sceneManager = m_root->createSceneManager();
    m_camera = m_sceneManager->createCamera("LocationCam");
    m_camera->setFOVy(Ogre::Degree(33.75f));
    Ogre::Viewport* viewport = m_window->addViewport(m_camera);
    viewport->setBackgroundColour(Ogre::ColourValue::Black);
    m_camera->setAspectRatio(static_cast<float>(width) / static_cast<float>(height));
    m_sceneManager->getRootSceneNode()->createChildSceneNode("_game");
    // The game's Lua has the table of its script variables from the start.
    script.ExecuteString("_globals = {}");

    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    // OGRE's shadow programs, as the demo's resources.cfg names them.
    groups.addResourceLocation("/usr/share/OGRE/Media/ShadowVolume", "FileSystem", Ogre::RGN_INTERNAL);
    groups.initialiseResourceGroup(Ogre::RGN_INTERNAL);
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/common", "FileSystem", "GAMEDATA");
    groups.addResourceLocation(QUILLMERE_BUILT_DEMO_DIR "data/chapter1", "FileSystem", "CHAPTERDATA");
    groups.initialiseResourceGroup("GAMEDATA");
    groups.initialiseResourceGroup("CHAPTERDATA");
}

SceneWindow::~SceneWindow()
{
    if (cl_Scene* scene = scenes.GetLoadedScene())
        loader.UnloadScene(*scene, false);
    scenes.SetLoadedScene(nullptr);
}

bool SceneWindow::Load(const std::string& sceneId, int qualityLevel)
{
    TiXmlDocument document;
    if (!LoadXmlFile(document, QUILLMERE_BUILT_DEMO_DIR "data/chapter1/scenes.tdf") ||
        !document.RootElement())
        return false;
    for (const TiXmlElement* element = document.RootElement()->FirstChildElement("scene"); element;
         element = element->NextSiblingElement("scene"))
    {
        if (element->Attribute("assetref") && element->Attribute("assetref") == sceneId)
        {
            if (cl_Scene* loaded = scenes.GetLoadedScene())
                loader.UnloadScene(*loaded, false);
            auto scene = std::make_unique<cl_Scene>(*element);
            scene->SetSceneManager(m_sceneManager);
            scene->SetCamera(m_camera);
            scenes.SetLoadedScene(std::move(scene));
            loader.LoadScene(Scene(), qualityLevel, false, "default");
            return true;
        }
    }
    return false;
}

cl_Scene& SceneWindow::Scene() const
{
    return *scenes.GetLoadedScene();
}

void SceneWindow::Render()
{
    m_root->renderOneFrame();
    m_pixels.assign(static_cast<size_t>(width * height * 3), 0);
    const Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGB, m_pixels.data());
    m_window->copyContentsToMemory(box, box);
}

SceneWindow::Colour SceneWindow::At(int x, int y) const
{
    const uint8_t* pixel = &m_pixels[static_cast<size_t>((y * width + x) * 3)];
    return Colour{pixel[0], pixel[1], pixel[2]};
}

std::vector<int> SceneWindow::Extent(const Colour& colour) const
{
    std::vector<int> box{width, height, -1, -1};
    for (int y = 0; y < height; ++y)
    {
        for (int x = 0; x < width; ++x)
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

bool SceneWindow::Matches(const Colour& seen, const Colour& expected)
{
    const int tolerance = 8;
    return std::abs(seen.r - expected.r) <= tolerance && std::abs(seen.g - expected.g) <= tolerance &&
           std::abs(seen.b - expected.b) <= tolerance;
}

testing::AssertionResult SceneWindow::Near(const Colour& seen, const Colour& expected)
{
    if (Matches(seen, expected))
        return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "seen (" << seen.r << ", " << seen.g << ", " << seen.b << "), expected (" << expected.r << ", "
           << expected.g << ", " << expected.b << ")";
}
