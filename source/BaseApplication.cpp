#include "BaseApplication.h"

#include "common/LogCall.h"
#include "common/OgreConfigFile.h"
#include "common/OgreResources.h"
#include "common/StringHelpers.h"
#include "platform/Desktop.h"
#include "platform/FatalError.h"
#include "platform/HardwareCursor.h"

#include <OgreCamera.h>
#include <OgreException.h>
#include <OgreRenderWindow.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreStringConverter.h>
#include <OgreTextureManager.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlay.h>
#include <Overlay/OgreOverlayElement.h>
#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreOverlaySystem.h>

#include <cstdlib>

const char* const BaseApplication::RENDER_SYSTEM = "OpenGL Rendering Subsystem";
const char* const BaseApplication::WINDOW_TITLE = "The Quillmere";
const char* const BaseApplication::DEFAULT_VIDEO_MODE = "800 x 600 @ 32-bit colour";
const char* const BaseApplication::STARTUP_FAILED = "The Quillmere can't start";

namespace
{
// "1280 x 1024 @ 32-bit colour" and "1280 x 1024" name the same mode.
std::string ModeSize(const std::string& mode)
{
    const size_t at = mode.find('@');
    std::string size = at == std::string::npos ? mode : mode.substr(0, at);
    Ogre::StringUtil::trim(size);
    return size;
}

const std::string* FindMode(const std::vector<std::string>& modes, const std::string& wanted)
{
    for (const std::string& mode : modes)
    {
        if (ModeSize(mode) == ModeSize(wanted))
            return &mode;
    }
    return nullptr;
}
} // namespace

BaseApplication::BaseApplication() = default;

BaseApplication::~BaseApplication()
{
    if (m_window)
    {
        OgreBites::WindowEventUtilities::removeWindowEventListener(m_window, this);
        OgreBites::WindowEventUtilities::_removeRenderWindow(m_window);
    }
    DestroyInput();
    if (m_root)
        m_root->shutdown();
    m_overlaySystem.reset();
    delete m_root;
}

void BaseApplication::DestroyInput()
{
    if (!m_inputManager)
        return;
    m_inputManager->destroyInputObject(m_mouse);
    m_inputManager->destroyInputObject(m_keyboard);
    OIS::InputManager::destroyInputSystem(m_inputManager);
    m_mouse = nullptr;
    m_keyboard = nullptr;
    m_inputManager = nullptr;
}

void BaseApplication::ReportFatalError(const std::string& caption, const std::string& text)
{
    platform::ShowFatalError(caption, text);
    MarkFailed();
}

std::string BaseApplication::DescribeException(const Ogre::Exception& exception)
{
    return exception.getDescription() + " in " + exception.getSource();
}

bool BaseApplication::setup()
{
    // Without a display OGRE's render system fails inside the root's constructor, with a message that
    // means nothing to a player.
    const std::string displayProblem = platform::DisplayProblem();
    if (!displayProblem.empty())
    {
        ReportFatalError(STARTUP_FAILED, displayProblem +
                                             ". The game needs a graphical desktop (an X server): start it "
                                             "from a desktop session.");
        return false;
    }
    platform::PrepareWindowClosing();
    createRoot();
    // Overlays need their system right after the root, whoever made the root.
    m_overlaySystem = std::make_unique<Ogre::OverlaySystem>();
    WriteToOgreLog("Setup Resources:");
    setupResources();
    WriteToOgreLog("Configure:");
    if (!configure())
        return false;
    WriteToOgreLog("Init Ogre:");
    chooseSceneManager();
    createCamera();
    createViewports();
    Ogre::TextureManager::getSingleton().setDefaultNumMipmaps(5);
    initGame();
    createFrameListener();
    createResourceListener();
    WriteToOgreLog("Load Resources:");
    loadResources();
    createScene();
    return m_exitCode == EXIT_SUCCESS;
}

void BaseApplication::createRoot()
{
    m_ogreConfigFile = OgreConfigFile::NAME;
    m_root = new Ogre::Root("plugins.cfg", m_ogreConfigFile, "Ogre.log");
}

std::string BaseApplication::ChooseVideoMode(const std::string& savedMode, bool configRestored,
                                             const std::string& desktopMode,
                                             const std::vector<std::string>& possibleModes)
{
    if (configRestored)
    {
        if (const std::string* mode = FindMode(possibleModes, savedMode))
            return *mode;
    }
    if (const std::string* mode = FindMode(possibleModes, desktopMode))
        return *mode;
    if (const std::string* mode = FindMode(possibleModes, DEFAULT_VIDEO_MODE))
        return *mode;
    return DEFAULT_VIDEO_MODE;
}

bool BaseApplication::configure()
{
    const platform::ScreenSize desktop = platform::DesktopSize();
    const std::string desktopMode = Format("%i x %i @ 32-bit colour", desktop.width, desktop.height);

    Ogre::RenderSystem* renderSystem = m_root->getRenderSystemByName(RENDER_SYSTEM);
    if (!renderSystem)
    {
        ReportFatalError(STARTUP_FAILED,
                         Format("the render system '%s' is not available: plugins.cfg names no plug-in "
                                "that provides it, or the plug-in did not load (the log says why).",
                                RENDER_SYSTEM));
        return false;
    }
    m_root->setRenderSystem(renderSystem);
    // Settings that cannot be used are replaced by the ones written below.
    const bool restored = OgreConfigFile::Restore(*m_root, m_ogreConfigFile);

    const Ogre::ConfigOptionMap& options = renderSystem->getConfigOptions();
    const std::string savedMode = options.count("Video Mode") ? options.at("Video Mode").currentValue : "";
    renderSystem->setConfigOption("Full Screen", "Yes");

    const Ogre::ConfigOptionMap& current = renderSystem->getConfigOptions();
    const auto videoMode = current.find("Video Mode");
    const std::vector<std::string> possible =
        videoMode == current.end() ? std::vector<std::string>() : videoMode->second.possibleValues;
    renderSystem->setConfigOption("Video Mode", ChooseVideoMode(savedMode, restored, desktopMode, possible));
    OgreConfigFile::Save(*m_root, m_ogreConfigFile); // logs a file it cannot write

    m_window = m_root->initialise(true, WINDOW_TITLE);
    // The message pump serves only the windows it was told of.
    OgreBites::WindowEventUtilities::_addRenderWindow(m_window);
    unsigned long windowHandle = 0;
    m_window->getCustomAttribute("WINDOW", &windowHandle);
    platform::SetWindowIcon(windowHandle);
    platform::SetCursorWindow(windowHandle);
    return true;
}

void BaseApplication::chooseSceneManager()
{
    m_sceneManager =
        m_root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "sm_game");
    m_sceneManager->addRenderQueueListener(m_overlaySystem.get());
}

void BaseApplication::createCamera()
{
    m_camera = m_sceneManager->createCamera("PlayerCam");
}

void BaseApplication::createViewports()
{
    Ogre::Viewport* viewport = m_window->addViewport(m_camera);
    viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0));
    m_camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                             Ogre::Real(viewport->getActualHeight()));
}

void BaseApplication::createFrameListener()
{
    m_debugOverlay = Ogre::OverlayManager::getSingleton().getByName("Core/DebugOverlay");
    WriteToOgreLog("*** Initializing OIS ***");

    size_t windowHandle = 0;
    m_window->getCustomAttribute("WINDOW", &windowHandle);
    OIS::ParamList parameters;
    parameters.insert(std::make_pair("WINDOW", std::to_string(windowHandle)));
    // OIS would otherwise grab and hide the pointer and keyboard of the whole desktop.
    parameters.insert(std::make_pair("x11_mouse_grab", "false"));
    parameters.insert(std::make_pair("x11_keyboard_grab", "false"));
    parameters.insert(std::make_pair("x11_mouse_hide", "false"));
    m_inputManager = OIS::InputManager::createInputSystem(parameters);
    m_keyboard = static_cast<OIS::Keyboard*>(m_inputManager->createInputObject(OIS::OISKeyboard, true));
    m_mouse = static_cast<OIS::Mouse*>(m_inputManager->createInputObject(OIS::OISMouse, true));

    m_mouse->setEventCallback(this);
    m_keyboard->setEventCallback(this);
    m_keyboard->setTextTranslation(OIS::Keyboard::Unicode);

    windowResized(m_window);
    OgreBites::WindowEventUtilities::addWindowEventListener(m_window, this);

    m_window->resetStatistics();
    if (m_debugOverlay)
        m_debugOverlay->hide();
    m_root->addFrameListener(this);
}

void BaseApplication::loadResources()
{
    Ogre::ResourceGroupManager::getSingleton().initialiseAllResourceGroups();
}

bool BaseApplication::frameStarted(const Ogre::FrameEvent&)
{
    if (!m_window || m_window->isClosed() || !m_inputManager)
        return false;
    m_keyboard->capture();
    m_mouse->capture();
    return true;
}

bool BaseApplication::frameEnded(const Ogre::FrameEvent&)
{
    updateStats();
    return true;
}

void BaseApplication::updateStats()
{
    if (!m_debugOverlay)
        return;
    Ogre::OverlayManager& overlays = Ogre::OverlayManager::getSingleton();
    const Ogre::RenderTarget::FrameStats& stats = m_window->getStatistics();
    const struct
    {
        const char* element;
        const char* prefix;
        std::string value;
    } lines[] = {
        {"Core/CurrFps", "Current FPS: ", Ogre::StringConverter::toString(stats.lastFPS)},
        {"Core/AverageFps", "Average FPS: ", Ogre::StringConverter::toString(stats.avgFPS)},
        {"Core/BestFps", "Best FPS: ", Ogre::StringConverter::toString(stats.bestFPS)},
        {"Core/WorstFps", "Worst FPS: ", Ogre::StringConverter::toString(stats.worstFPS)},
        {"Core/NumTris", "Triangle Count: ", Ogre::StringConverter::toString(stats.triangleCount)},
        {"Core/DebugText", "", m_debugText},
    };
    for (const auto& line : lines)
    {
        if (overlays.hasOverlayElement(line.element))
            overlays.getOverlayElement(line.element)->setCaption(line.prefix + line.value);
    }
}

void BaseApplication::windowResized(Ogre::RenderWindow* window)
{
    if (!m_mouse)
        return;
    const OIS::MouseState& state = m_mouse->getMouseState();
    state.width = static_cast<int>(window->getWidth());
    state.height = static_cast<int>(window->getHeight());
}

void BaseApplication::windowClosed(Ogre::RenderWindow* window)
{
    if (window != m_window)
        return;
    DestroyInput();
    platform::SetCursorWindow(0);
}
