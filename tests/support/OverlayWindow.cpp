#include "support/OverlayWindow.h"

#include "gui/cl_TarqTextAreaOverlayElementFactory.h"
#include "support/GlRenderSystem.h"
#include "support/LoadedLibraries.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgrePixelFormat.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <algorithm>

OverlayWindow::OverlayWindow(int width, int height) : m_width(width), m_height(height)
{
    m_logManager = std::make_unique<Ogre::LogManager>();
    m_logManager->createLog("overlay-window.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
    UseGlRenderSystem(*m_root);
    m_root->getRenderSystem()->setConfigOption("Video Mode",
                                               std::to_string(width) + " x " + std::to_string(height));
    m_window = m_root->initialise(true, "overlay window");
    KeepLoadedLibraries();
    m_sceneManager = m_root->createSceneManager();
    m_sceneManager->addRenderQueueListener(m_overlaySystem.get());
    Ogre::Camera* camera = m_sceneManager->createCamera("camera");
    m_window->addViewport(camera)->setBackgroundColour(Ogre::ColourValue::Black);
    cl_TarqTextAreaOverlayElementFactory::AddTo(Ogre::OverlayManager::getSingleton());

    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    const std::string interface = std::string(QUILLMERE_BUILT_DEMO_DIR) + "data/interface";
    for (const std::string& folder : {interface, interface + "/materials", interface + "/textures",
                                      std::string("/usr/share/fonts/truetype/dejavu")})
        groups.addResourceLocation(folder, "FileSystem", "INTERFACEDATA");
    groups.initialiseResourceGroup("INTERFACEDATA");
    groups.loadResourceGroup("INTERFACEDATA");
}

OverlayWindow::~OverlayWindow()
{
    Ogre::OverlayManager::getSingleton().destroyAll();
    Ogre::OverlayManager::getSingleton().destroyAllOverlayElements();
    m_sceneManager->removeRenderQueueListener(m_overlaySystem.get());
    m_root->shutdown();
    m_overlaySystem.reset();
    m_root.reset();
    m_logManager.reset();
}

void OverlayWindow::SetBackground(const Ogre::ColourValue& colour)
{
    m_window->getViewport(0)->setBackgroundColour(colour);
}

void OverlayWindow::Render()
{
    m_root->renderOneFrame();
    m_pixels.clear();
}

void OverlayWindow::ReadPixels()
{
    m_pixels.resize(static_cast<size_t>(m_width) * m_height * 4);
    Ogre::PixelBox box(m_width, m_height, 1, Ogre::PF_BYTE_RGBA, m_pixels.data());
    m_window->copyContentsToMemory(box, box);
}

Ogre::ColourValue OverlayWindow::Pixel(int x, int y)
{
    if (m_pixels.empty())
        ReadPixels();
    const unsigned char* pixel = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 4];
    return Ogre::ColourValue(pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f, 1.0f);
}

bool OverlayWindow::HasBrightPixel(int left, int top, int right, int bottom, float threshold)
{
    for (int y = std::max(top, 0); y <= std::min(bottom, m_height - 1); ++y)
    {
        for (int x = std::max(left, 0); x <= std::min(right, m_width - 1); ++x)
        {
            const Ogre::ColourValue colour = Pixel(x, y);
            if (colour.r > threshold && colour.g > threshold && colour.b > threshold)
                return true;
        }
    }
    return false;
}
