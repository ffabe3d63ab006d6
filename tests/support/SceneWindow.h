#pragma once

#include "common/cl_LuaScriptSystem.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_SceneLoader.h"
#include "graphics/cl_SceneManager.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class Camera;
class LogManager;
class RenderWindow;
class Root;
class SceneManager;
} // namespace Ogre

class cl_Scene;

// The laid-out demo's locations in a small window under Xvfb: OGRE with the GL render system, the demo's
// data folders as the game's resource groups ("GAMEDATA" data/common, "CHAPTERDATA" data/chapter1, both
// initialised), the camera "LocationCam" with the game's 33.75 degrees, the node "_game", and the
// singletons a scene load reaches here (script system, game time, scene manager, camera). Scenes are
// loaded by the scene loader from the demo's scenes.tdf.
class SceneWindow
{
public:
    // An RGB pixel of the last frame.
    struct Colour
    {
        int r, g, b;
    };

    SceneWindow(int width, int height);
    // Unloads the loaded scene first.
    ~SceneWindow();
    SceneWindow(const SceneWindow&) = delete;
    SceneWindow& operator=(const SceneWindow&) = delete;

    // Makes the demo's `scene` element of that asset id the loaded scene and loads it at the quality
    // level on its backdrop "default"; false when scenes.tdf has no such scene.
    bool Load(const std::string& sceneId, int qualityLevel);
    cl_Scene& Scene() const;
    Ogre::SceneManager& SceneManager() const { return *m_sceneManager; }

    // Renders a frame and keeps its pixels.
    void Render();
    Colour At(int x, int y) const;
    // The box of the pixels of that colour: left, top, right, bottom (inclusive).
    std::vector<int> Extent(const Colour& colour) const;

    // Within 8 of each other in every channel.
    static bool Matches(const Colour& seen, const Colour& expected);
    static testing::AssertionResult Near(const Colour& seen, const Colour& expected);

    const int width;
    const int height;
    LogCapture log;

private:
    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::Camera* m_camera = nullptr;
    std::vector<uint8_t> m_pixels;

public:
    cl_LuaScriptSystem script;
    ManualGameTime gameTime{script};
    cl_SceneManager scenes{script};
    cl_Camera camera{script};
    cl_SceneLoader loader;
};
