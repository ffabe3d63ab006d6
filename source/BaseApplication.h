#pragma once

#include "ISingleton.h"

#include <Bites/OgreWindowEventUtilities.h>
#include <OIS.h>
#include <OgreFrameListener.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace Ogre
{
class Camera;
class Exception;
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
    // The caption of the message that tells why the game did not start.
    static const char* const STARTUP_FAILED;

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

    // What the program returns: EXIT_SUCCESS, or EXIT_FAILURE once the run failed.
    int GetExitCode() const { return m_exitCode; }
    // Tells the user why the game cannot go on (caption and text on standard error and in the log) and
    // makes the run a failure; the caller ends it (set-up steps make setup() return false).
    void ReportFatalError(const std::string& caption, const std::string& text);
    // An OGRE exception's description and where it was raised. Its file name is left out: that text lies
    // in the plug-in that threw, which OGRE may have unloaded by the time the exception is caught.
    static std::string DescribeException(const Ogre::Exception& exception);

    // Picks the video mode: the saved one when the render system still offers it, else the desktop mode
    // when offered, else the default. Modes are compared on their "W x H" part, as the GL render system
    // words them differently from the saved text.
    static std::string ChooseVideoMode(const std::string& savedMode, bool configRestored,
                                       const std::string& desktopMode,
                                       const std::vector<std::string>& possibleModes);

protected:
    // Set-up steps in the order setup() runs them, after a check that the X display opens; false, with the
    // fatal error reported, when there is no display or no window could be configured, and false when a
    // step made the run a failure.
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
    // Makes the program end with a failure code, however the run ends.
    void MarkFailed() { m_exitCode = EXIT_FAILURE; }

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
    int m_exitCode = EXIT_SUCCESS;

    void DestroyInput();
};
