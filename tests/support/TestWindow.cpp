#include "support/TestWindow.h"

#include "support/GlRenderSystem.h"
#include "support/LoadedLibraries.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreViewport.h>

#include <string>

TestWindow::TestWindow(int width, int height) : m_width(width), m_height(height)
{
    m_logManager = std::make_unique<Ogre::LogManager>();
    m_logManager->createLog("window.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    UseGlRenderSystem(*m_root);
    m_root->initialise(false);
    m_window = m_root->createRenderWindow("test", width, height, false);
    KeepLoadedLibraries();

    m_sceneManager = m_root->createSceneManager();
    m_camera = m_sceneManager->createCamera("TestCamera");
    m_camera->setNearClipDistance(1.0f);
    m_camera->setFOVy(Ogre::Degree(45));
    m_camera->setAspectRatio(static_cast<float>(width) / height);
    Ogre::SceneNode* eye = m_sceneManager->getRootSceneNode()->createChildSceneNode(Ogre::Vector3(0, 0, 500));
    eye->attachObject(m_camera);
    m_viewport = m_window->addViewport(m_camera);
    m_viewport->setBackgroundColour(Ogre::ColourValue::Black);
}

TestWindow::~TestWindow()
{
    m_root.reset();
    m_logManager.reset();
}

void TestWindow::Render()
{
    m_root->renderOneFrame();
    m_pixels.assign(static_cast<size_t>(m_width) * m_height * 3, 0);
    const Ogre::PixelBox box(m_width, m_height, 1, Ogre::PF_BYTE_RGB, m_pixels.data());
    m_window->copyContentsToMemory(box, box);
}

TestWindow::Colour TestWindow::At(int x, int y) const
{
    const uint8_t* pixel = &m_pixels[(static_cast<size_t>(y) * m_width + x) * 3];
    return Colour{pixel[0], pixel[1], pixel[2]};
}
