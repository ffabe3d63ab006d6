#include "support/HeadlessOgre.h"

#include <OgreDefaultHardwareBufferManager.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMeshManager.h>
#include <OgreRoot.h>

HeadlessOgre::HeadlessOgre()
    : m_logManager(std::make_unique<Ogre::LogManager>())
{
    m_logManager->createLog("headless.log", true, false, true);
    m_root = std::make_unique<Ogre::Root>("", "", "");
    m_buffers = std::make_unique<Ogre::DefaultHardwareBufferManager>();
    Ogre::MaterialManager::getSingleton().initialise();
}

HeadlessOgre::~HeadlessOgre()
{
    // Meshes hold buffers of the buffer manager: they go first.
    Ogre::MeshManager::getSingleton().removeAll();
    m_buffers.reset();
    m_root.reset();
}
