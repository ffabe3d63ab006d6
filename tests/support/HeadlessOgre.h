#pragma once

#include <memory>

namespace Ogre
{
class DefaultHardwareBufferManager;
class LogManager;
class Root;
} // namespace Ogre

// OGRE without a window: a root, vertex and index buffers in system memory and initialised materials,
// enough to build, load and read meshes. One at a time; every mesh is removed when it goes.
class HeadlessOgre
{
public:
    HeadlessOgre();
    ~HeadlessOgre();
    HeadlessOgre(const HeadlessOgre&) = delete;
    HeadlessOgre& operator=(const HeadlessOgre&) = delete;

private:
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    std::unique_ptr<Ogre::DefaultHardwareBufferManager> m_buffers;
};
