#pragma once

#include "ISingleton.h"

#include <Bites/OgreWindowEventUtilities.h>
#include <OIS.h>
#include <OgreFrameListener.h>

#include <memory>
#include <string>

namespace Ogre
{
class Camera;
class Overlay;
class OverlaySystem;
class RenderWindow;
class Root;
class SceneManager;
} // namespace Ogre

// The OGRE framework under the application: owns the root, the render window, the game scene manager,
// its camera and viewport and the input devices, and runs the fixed order of set-up steps that the
// application fills in. It is OGRE's frame and window-event listener and OIS's key and mouse listener.
class BaseApplication : public Ogre::FrameListener,
                        public OgreBites::WindowEventListener,
                        public OIS::KeyListener,
                        public OIS::MouseListener,
                        public ISingleton<BaseApplication>
{
public:
    // The render system that stands where the original program named Direct3D 9.
    static const char* const RENDER_SYSTEM;
    static const char* const WINDOW_TITLE;
    static const char* const DEFAULT_VIDEO_MODE;

    BaseApplication();
    ~BaseApplication() override;

    bool frameStarted(const Ogre::FrameEvent& event) override;
    bool frameEnded(const Ogre::FrameEvent& event) override;

    void windowResized(Ogre::RenderWindow* window) override;
    void windowClosed(Ogre::RenderWindow* window) override;

    Ogre::Root* GetRoot() const { return m_root; }
    Ogre::RenderWindow* GetWindow() const { return m_window; }
    Ogre::SceneManager* GetSceneManager() const { return m_sceneManager; }
    Ogre::OverlaySystem* GetOverlaySystem() const { return m_overlaySystem.get(); }

    // Picks the video mode: the saved one when the render system still offers it, else the desktop mode
    // when offered, else the default. Modes are compared on their "W x H" part, as the GL render system
    // words them differently from the saved text.
    static std::string ChooseVideoMode(const std::string& savedMode, bool configRestored,
                                       const std::string& desktopMode,
                                       const std::vector<std::string>& possibleModes);

protected:
    // Set-up steps in the order setup() runs them; false when no window could be configured.
    virtual bool setup();
    virtual bool configure();
    virtual void chooseSceneManager();
    virtual void createRoot();
    virtual void createCamera();
    virtual void createFrameListener();
    virtual void createScene() = 0;
    virtual void destroyScene() {}
    virtual void createViewports();
    virtual void initGame() = 0;
    virtual void setupResources() {}
    virtual void createResourceListener() {}
    virtual void loadResources();
    virtual void updateStats();

    Ogre::Camera* m_camera = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    Ogre::RenderWindow* m_window = nullptr;
    Ogre::Root* m_root = nullptr;
    // Where OGRE's render settings are kept; createRoot decides.
    std::string m_ogreConfigFile;
    std::unique_ptr<Ogre::OverlaySystem> m_overlaySystem;
    Ogre::Overlay* m_debugOverlay = nullptr;
    std::string m_debugText;
    OIS::InputManager* m_inputManager = nullptr;
    OIS::Mouse* m_mouse = nullptr;
    OIS::Keyboard* m_keyboard = nullptr;

private:
    void DestroyInput();
};
