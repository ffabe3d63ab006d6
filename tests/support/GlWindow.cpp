#include "support/GlWindow.h"

#include "support/LoadedLibraries.h"

#include <OgreCamera.h>
#include <OgreHardwarePixelBuffer.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreTexture.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlaySystem.h>

#include <stdexcept>

namespace
{
const char* const PLUGINS = "/usr/lib/x86_64-linux-gnu/OGRE/";
} // namespace

GlWindow::GlWindow(int width, int height)
{
    m_logManager = std::make_unique<Ogre::LogManager>();
    m_logManager->createLog("gl-window.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    m_root->loadPlugin(std::string(PLUGINS) + "RenderSystem_GL");
    m_root->loadPlugin(std::string(PLUGINS) + "Codec_STBI");
    m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
    Ogre::RenderSystem* renderSystem = m_root->getRenderSystemByName("OpenGL Rendering Subsystem");
    if (!renderSystem)
        throw std::runtime_error("no GL render system");
    renderSystem->setConfigOption("Full Screen", "No");
    renderSystem->setConfigOption("Video Mode", std::to_string(width) + " x " + std::to_string(height));
    m_root->setRenderSystem(renderSystem);
    m_root->initialise(false);
    m_window = m_root->createRenderWindow("gl-window", width, height, false);
    KeepLoadedLibraries();
    m_sceneManager = m_root->createSceneManager();
    m_sceneManager->addRenderQueueListener(m_overlaySystem.get());
    // The overlay manager learns the viewport's size only from a frame that shows overlays.
    Ogre::Camera* camera = m_sceneManager->createCamera("gl-window");
    m_sceneManager->getRootSceneNode()->createChildSceneNode()->attachObject(camera);
    m_window->addViewport(camera)->setBackgroundColour(Ogre::ColourValue::Black);
    m_root->renderOneFrame();
}

GlWindow::~GlWindow()
{
    m_sceneManager->removeRenderQueueListener(m_overlaySystem.get());
    m_root->destroySceneManager(m_sceneManager);
    m_overlaySystem.reset();
    m_root.reset();
    m_logManager.reset();
}

std::vector<uint8_t> GlWindow::ReadPixels(Ogre::Texture& texture)
{
    const size_t width = texture.getWidth();
    const size_t height = texture.getHeight();
    std::vector<uint8_t> pixels(width * height * 4);
    const Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGBA, pixels.data());
    texture.getBuffer()->blitToMemory(box);
    return pixels;
}

std::vector<uint8_t> GlWindow::ReadWindow() const
{
    const size_t width = m_window->getWidth();
    const size_t height = m_window->getHeight();
    std::vector<uint8_t> pixels(width * height * 4);
    const Ogre::PixelBox box(width, height, 1, Ogre::PF_BYTE_RGBA, pixels.data());
    m_window->copyContentsToMemory(box, box);
    return pixels;
}
