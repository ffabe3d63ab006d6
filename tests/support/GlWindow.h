#pragma once

#include <OgrePixelFormat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class LogManager;
class OverlaySystem;
class RenderWindow;
class Root;
class SceneManager;
class Texture;
} // namespace Ogre

// OGRE on the GL render system with a small window of its own and the overlay system, the way the
// program runs it, for tests that draw and read pixels back. OGRE's own log goes nowhere. Only one may
// live at a time.
class GlWindow
{
public:
    GlWindow(int width, int height);
    ~GlWindow();
    GlWindow(const GlWindow&) = delete;
    GlWindow& operator=(const GlWindow&) = delete;

    Ogre::Root& Root() const { return *m_root; }
    Ogre::RenderWindow& Window() const { return *m_window; }
    // A scene manager with the overlay system as render-queue listener.
    Ogre::SceneManager& SceneManager() const { return *m_sceneManager; }

    // The texture's pixels as bytes R, G, B, A per pixel, row by row from the top.
    static std::vector<uint8_t> ReadPixels(Ogre::Texture& texture);
    // The window's last frame, the same way.
    std::vector<uint8_t> ReadWindow() const;

private:
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
};
