#pragma once

#include <OgreColourValue.h>

#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
class LogManager;
class OverlaySystem;
class RenderWindow;
class Root;
class SceneManager;
class Viewport;
} // namespace Ogre

// OGRE on the GL render system with a plain window of the given size (needs an X display): one scene
// manager with a camera filling the window's viewport with black, the overlay system, the "TarqTextArea"
// element type, and the laid-out demo game's interface (fonts, materials, pictures) loaded in the group
// "INTERFACEDATA". Render draws one frame; Pixel reads it back.
class OverlayWindow
{
public:
    OverlayWindow(int width, int height);
    ~OverlayWindow();
    OverlayWindow(const OverlayWindow&) = delete;
    OverlayWindow& operator=(const OverlayWindow&) = delete;

    // The colour the viewport clears to (black at first).
    void SetBackground(const Ogre::ColourValue& colour);
    void Render();
    // The colour of the window pixel at (x, y) of the last frame, read once per frame.
    Ogre::ColourValue Pixel(int x, int y);
    // Whether some pixel of the rectangle (inclusive, clipped to the window) is brighter than threshold
    // in every channel.
    bool HasBrightPixel(int left, int top, int right, int bottom, float threshold = 0.5f);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    Ogre::RenderWindow& Window() const { return *m_window; }
    Ogre::SceneManager& SceneManager() const { return *m_sceneManager; }

private:
    void ReadPixels();

    int m_width;
    int m_height;
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    std::vector<unsigned char> m_pixels;
};
