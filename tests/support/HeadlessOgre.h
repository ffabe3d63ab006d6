#pragma once

#include <memory>

namespace Ogre
{
class DefaultHardwareBufferManager;
class LogManager;
class Root;
class SceneManager;
} // namespace Ogre

// OGRE without a render system or window: a Root, a software buffer manager, initialised materials and one
// default scene manager. Meshes, skeletons, entities, lights and ray scene queries work; nothing renders.
// OGRE's own log goes nowhere. Drop every mesh and entity pointer before this dies.
class HeadlessOgre
{
public:
    HeadlessOgre();
    ~HeadlessOgre();
    HeadlessOgre(const HeadlessOgre&) = delete;
    HeadlessOgre& operator=(const HeadlessOgre&) = delete;

    Ogre::SceneManager& SceneManager() const { return *m_sceneManager; }

private:
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> m_buffers;
    Ogre::SceneManager* m_sceneManager = nullptr;
};
