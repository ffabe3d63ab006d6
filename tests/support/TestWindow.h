#pragma once

#include <OgrePrerequisites.h>

#include <cstdint>
#include <memory>
#include <vector>

// OGRE on the GL render system with a small window, a default scene manager, one camera at (0, 0, 500)
// looking down -z (a 45 degree field of view) and a black viewport; for tests that check what a player
// sees. Needs an X display.
class TestWindow
{
public:
    struct Colour
    {
        int r, g, b;
    };

    TestWindow(int width, int height);
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    Ogre::Root& Root() const { return *m_root; }
    Ogre::SceneManager& SceneManager() const { return *m_sceneManager; }
    Ogre::Camera& Camera() const { return *m_camera; }
    Ogre::Viewport& Viewport() const { return *m_viewport; }

    // Renders a frame (OGRE's frame listeners run with it) and keeps its pixels.
    void Render();
    Colour At(int x, int y) const;

private:
    int m_width;
    int m_height;
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    Ogre::Viewport* m_viewport = nullptr;
    std::vector<uint8_t> m_pixels;
};
