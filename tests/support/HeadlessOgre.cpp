#include "support/HeadlessOgre.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSkeletonManager.h>

HeadlessOgre::HeadlessOgre()
{
    m_logManager = std::make_unique<Ogre::LogManager>();
    m_logManager->createLog("headless.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    m_buffers = std::make_unique<Ogre::DefaultHardwareBufferManager>();
    Ogre::MaterialManager::getSingleton().initialise();
    m_sceneManager = m_root->createSceneManager();
}

HeadlessOgre::~HeadlessOgre()
{
    // Entities hold buffers of the buffer manager, and so do the meshes: both go before it.
    m_root->destroySceneManager(m_sceneManager);
    Ogre::MeshManager::getSingleton().removeAll();
    Ogre::SkeletonManager::getSingleton().removeAll();
    m_buffers.reset();
    m_root.reset();
    m_logManager.reset();
}
