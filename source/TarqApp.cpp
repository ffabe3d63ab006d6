#include "TarqApp.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/CommandArguments.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/OgreConfigFile.h"
#include "common/OgreResources.h"
#include "common/ResourceLocations.h"
#include "common/StringHelpers.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "common/cl_Config.h"
#include "common/cl_ControllerManager.h"
#include "common/cl_Localizer.h"
#include "common/cl_LuaCommandReceiver.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_OgreGameTime.h"
#include "common/cl_SyncManager.h"
#include "common/cl_TarqLog.h"
#include "common/cl_TarqdataLoader.h"
#include "common/cl_ValueSourceManager.h"
#include "common/cl_logIngame.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_EffectManager.h"
#include "graphics/cl_EntityEmitterFactory.h"
#include "graphics/cl_FocusTargetControl.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_TriggerManager.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_GameLoadingScreen.h"
#include "gui/cl_IngameMenu.h"
#include "gui/cl_MainMenu.h"
#include "minigames/cl_Minigame.h"
#include "minigames/cl_MinigameManager.h"
#include "platform/FatalError.h"
#include "platform/HardwareCursor.h"
#include "platform/PointerPosition.h"
#include "platform/StopSignals.h"
#include "platform/UserFolders.h"
#include "platform/particles/ParticleSystemManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"
#include "statechart/cl_StateChartSystem.h"

#include <OgreCamera.h>
#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreMath.h>
#include <OgrePass.h>
#include <OgreRenderQueue.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreViewport.h>
#include <Overlay/OgreOverlaySystem.h>
#include <boost/filesystem/operations.hpp>
#include <boost/thread/thread.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>

namespace
{
const char* const PREFERENCE_KEYS[] = {"resolution", "quality", "FSAA", "subtitle"};

std::string StandardPath(const std::string& path)
{
    return Ogre::StringUtil::standardisePath(path);
}

// The mouse's position on one axis from 0 to 1; 0 while the window has no size. OIS on X11 does not clip
// the position to the window while it does not grab the mouse.
float Normalised(const OIS::Axis& axis, int size)
{
    if (size <= 0)
        return 0.0f;
    return Ogre::Math::Clamp(static_cast<float>(axis.abs) / static_cast<float>(size), 0.0f, 1.0f);
}

bool HasSceneWithBackdrop(const cl_SceneManager& scenes)
{
    const cl_Scene* scene = scenes.GetLoadedScene();
    return scene && scene->HasBackdrop();
}
} // namespace

TarqApp::TarqApp() : TarqApp(cl_GameComponents::Components()) {}

TarqApp::TarqApp(cl_GameComponents::Components components)
{
    m_userFolder = StandardPath(platform::DocumentsFolder() + "/Quillmere/");
    m_workingFolder = StandardPath(platform::CurrentDirectory());

    m_loader = std::make_unique<cl_TarqdataLoader>();
    m_log = std::make_unique<cl_TarqLog>();
    m_log->SetMask(m_log->GetMask() & ~static_cast<uint32_t>(cl_Logger::TOPIC_10));
    m_log->SetClock(&cl_GameTime::CurrentMilliseconds);
    CreateDirectories(m_userFolder); // logs a folder it cannot create
    m_config = std::make_unique<cl_Config>(m_userFolder, m_workingFolder, "");
    m_scriptSystem = std::make_unique<cl_LuaScriptSystem>();
    m_scriptSystem->LoadLuaFile(m_workingFolder + "ExportedFunctions.lua");
    m_gameTime = std::make_unique<cl_OgreGameTime>(*m_scriptSystem);
    m_valueSources = std::make_unique<cl_ValueSourceManager>(*m_scriptSystem, *m_gameTime);
    m_controllers = std::make_unique<cl_ControllerManager>();
    m_gameState = std::make_unique<cl_GameState>();
    m_logIngame = std::make_unique<cl_logIngame>();
    m_triggerManager = std::make_unique<cl_TriggerManager>(*m_scriptSystem);
    m_gameComponents = std::make_unique<cl_GameComponents>(*m_scriptSystem, std::move(components));
    // The save games come with the hub, which starts the chapters through them.
    m_saveGames = std::make_unique<cl_SaveGameManager>();
    // A chapter that starts is played: the main menu and its book give way to the game first.
    m_gameComponents->SetChapterStarter(
        [this](const std::string& chapterId, int32_t difficulty, std::string& failure)
        {
            SetMode(MODE_INGAME);
            const bool started = m_saveGames->StartChapter(chapterId, difficulty);
            failure = m_saveGames->GetFailure();
            return started;
        });
    m_poolManager = std::make_unique<cl_PoolManager>(*m_scriptSystem);
    m_guiSystem = std::make_unique<cl_GUISystem>(*m_scriptSystem);
    m_scenes = std::make_unique<cl_SceneManager>(*m_scriptSystem);
    m_characterManager = std::make_unique<cl_CharacterManager>(*m_scriptSystem);
    m_itemManager = std::make_unique<cl_ItemManager>(*m_scriptSystem);
    m_cameraSystem = std::make_unique<cl_Camera>(*m_scriptSystem);
    m_stateChartSystem = std::make_unique<cl_StateChartSystem>();
    m_sound = std::make_unique<cl_Sound>(*m_scriptSystem);
    m_syncManager = std::make_unique<cl_SyncManager>();
    m_minigameManager = std::make_unique<cl_MinigameManager>();
    m_localizer = std::make_unique<cl_Localizer>();
    m_effectManager = std::make_unique<cl_EffectManager>(*m_scriptSystem);
    for (const char* key : PREFERENCE_KEYS)
        m_config->AddListener(key, this);

    m_scriptSystem->RegisterCmdReceiver("tarq", this);
    m_config->Load("config.xml");
    WarnAboutDataFolder("gamedata", m_config->GetGameDataPath(),
                        "the game's data: its .tdf files and the folders interface, sound and lang");
    WarnAboutDataFolder("pimbdata", m_config->GetPimbDataPath(),
                        "the chapters' logic (asset pools, state charts) and Functions.lua");
    m_scriptSystem->LoadLuaFile(m_config->GetPimbDataPath() + "Functions.lua");
    m_guiSystem->GetIngameMenu().SetCursorOwner(this);
    // State-chart scripts keep their line breaks, so no XML read from here on condenses whitespace.
    TiXmlBase::SetCondenseWhiteSpace(false);
}

TarqApp::~TarqApp()
{
    m_scriptSystem->UnRegisterCmdReceiver("tarq");
    for (const char* key : PREFERENCE_KEYS)
        m_config->RemoveListener(key, this);
    m_guiSystem->GetIngameMenu().SetCursorOwner(nullptr);

    m_logIngame.reset();
    m_localizer.reset();
    m_syncManager.reset();
    m_minigameManager.reset();
    m_scenes.reset();
    m_effectManager.reset();
    if (m_particles)
        m_particles->destroyAllTemplates();
    m_particles.reset();
    m_cameraSystem.reset();
    m_itemManager.reset();
    m_characterManager.reset();
    m_guiSystem.reset();
    m_gameComponents.reset();
    m_saveGames.reset();
    m_poolManager.reset();
    m_triggerManager.reset();
    m_valueSources.reset();
    m_sound.reset();
    m_gameTime.reset();
    m_stateChartSystem.reset();
    // The "root" receiver goes with the script system it is registered with.
    m_rootReceiver.reset();
    m_scriptSystem.reset();
    m_gameState.reset();
    m_controllers.reset();
    m_config.reset();
    m_log.reset();
    m_loader.reset();

    for (const auto& entry : m_cursors)
    {
        platform::DestroyCursor(entry.second.normal);
        platform::DestroyCursor(entry.second.small);
    }
    m_cursors.clear();
}

// ---------------------------------------------------------------------------------------------------
// Set-up

void TarqApp::WarnAboutDataFolder(const std::string& setting, const std::string& folder,
                                  const std::string& contents) const
{
    // An empty setting means the working folder itself; a relative one is read from there.
    const std::string shown = folder.empty() || folder[0] != '/' ? m_workingFolder + folder : folder;
    boost::system::error_code error;
    const char* problem = nullptr;
    if (!boost::filesystem::exists(shown, error))
        problem = "is missing";
    else if (!boost::filesystem::is_directory(shown, error))
        problem = "is no folder";
    else if (boost::filesystem::is_empty(shown, error))
        problem = "is empty";
    if (problem)
        platform::ShowWarning(Format("the folder %s, which the setting \"%s\" names, %s; it should hold %s.",
                                     shown.c_str(), setting.c_str(), problem, contents.c_str()));
}

bool TarqApp::setup()
{
    // OGRE would start without its plug-ins and end with a message that only the log shows.
    boost::system::error_code error;
    if (!boost::filesystem::is_regular_file(m_workingFolder + "plugins.cfg", error))
    {
        ReportFatalError(STARTUP_FAILED,
                         Format("cannot find plugins.cfg in %s. The game starts in its working folder, the "
                                "one that holds plugins.cfg, config.xml and the game data (see the README).",
                                m_workingFolder.c_str()));
        return false;
    }
    return BaseApplication::setup();
}

void TarqApp::createRoot()
{
    m_ogreConfigFile = m_userFolder + OgreConfigFile::NAME;
    m_root = new Ogre::Root(m_workingFolder + "plugins.cfg", m_ogreConfigFile, m_userFolder + "welk.log");
    // OGRE would echo the whole log to the terminal; the log file keeps it.
    Ogre::LogManager::getSingleton().getDefaultLog()->setDebugOutputEnabled(false);
    m_log->WritePendingToOgre();
}

void TarqApp::setupResources()
{
    ResourceLocations::AddFromFile(m_workingFolder + "resources.cfg");

    std::string language = m_config->GetValue("language");
    if (language.empty())
        language = "de";
    const std::string data = m_config->GetGameDataPath();
    const struct
    {
        const char* group;
        std::string folder;
    } locations[] = {
        {"INTERFACEDATA", data + "interface"},
        {"INTERFACEDATA", data + "interface/materials"},
        {"INTERFACEDATA", data + "interface/textures"},
        {"GAMEDATA", data},
        {"GAMEDATA", data + "common"},
        {"GAMEDATA", data + "sound"},
        {"GAMEDATA", data + "video"},
    };
    const std::string source = "The game data (setting 'gamedata')";
    for (const auto& location : locations)
        ResourceLocations::Add(location.folder, "FileSystem", location.group, source);

    for (const char* extension : {".tdz", ".zip"})
    {
        std::vector<std::string> archives;
        ListFilesRecursive(archives, data + "sound/", extension);
        for (const std::string& archive : archives)
            ResourceLocations::Add(archive, "Zip", "GAMEDATA", source);
    }

    ResourceLocations::Add(data + "screensaver", "FileSystem", "GAMEDATA", source);
    ResourceLocations::Add(data + "lang/" + language, "FileSystem", "GAMEDATA", source);
    ResourceLocations::Add(data + "lang/" + language + "/movies", "FileSystem", "GAMEDATA", source);
    ResourceLocations::Add(data + "lang/" + language + "/interface", "FileSystem", "INTERFACEDATA", source);
}

void TarqApp::createCamera()
{
    m_camera = m_sceneManager->createCamera("LocationCam");
    m_camera->setFOVy(Ogre::Degree(33.75f));
    m_camera->setNearClipDistance(5.0f);
    Ogre::SceneNode* node = m_sceneManager->getRootSceneNode()->createChildSceneNode("LocationCamNode");
    node->attachObject(m_camera);
    node->setPosition(0, 0, 1);
    node->lookAt(Ogre::Vector3::ZERO, Ogre::Node::TS_WORLD);
}

void TarqApp::createViewports()
{
    m_window->removeAllViewports();
    Ogre::Viewport* viewport = m_window->addViewport(m_camera, 0, 0, 0, 1, 1);
    viewport->setBackgroundColour(Ogre::ColourValue(0, 0, 0, 1));
    m_camera->setAspectRatio(Ogre::Real(viewport->getActualWidth()) /
                             Ogre::Real(viewport->getActualHeight()));
    m_currentCamera = m_camera;
}

void TarqApp::initGame()
{
    // Only warnings and errors reach OGRE's log from here on: the data author still learns what is wrong.
    m_log->SetOgreOutputMask(cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING);
    m_log->SetRecording(false);
    Ogre::MaterialManager::getSingleton().setDefaultTextureFiltering(Ogre::TFO_ANISOTROPIC);
    Ogre::MaterialManager::getSingleton().setDefaultAnisotropy(8);
    m_window->setVSyncEnabled(true);
    m_sceneManager->setShadowTextureSize(1024);
    Ogre::ResourceGroupManager::getSingleton()._registerScriptLoader(m_loader.get());
    m_particles = std::make_unique<particles::ParticleSystemManager>();
    m_particles->addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
    m_rootReceiver = std::make_unique<cl_LuaCommandReceiver>(*m_scriptSystem, "root");

    WriteToOgreLog("Set the timeflow");
    const struct
    {
        const char* group;
        float maxCap;
    } groups[] = {{"default", 1.0f}, {"gui", 0.1f}, {"fx", 0.2f}};
    for (const auto& group : groups)
    {
        TimeGroup& timeGroup = m_gameTime->GetTimeGroup(group.group);
        timeGroup.timeFlow = 1.0f;
        timeGroup.maxCap = group.maxCap;
    }

    WriteToOgreLog("Init sound");
    m_sound->Init();
    LoadSoundDefinitions();
    WriteToOgreLog("Load savegames");
    m_saveGames->ScanSaveGames();
    m_saveGames->UnlockChapter("chapter1");
    WriteToOgreLog("Init scene manager");
    m_scenes->CreateCurtain(m_sceneManager, m_camera);
    WriteToOgreLog("Init character manager");
    m_characterManager->Init(m_sceneManager);
    WriteToOgreLog("Init item manager");
    m_itemManager->Init(m_sceneManager);
}

void TarqApp::LoadSoundDefinitions()
{
    TiXmlDocument document;
    if (!OpenGameDataResource("sounds.xml", document))
        return;
    if (document.Error())
    {
        LOG_ERROR("A parse error occured in 'sounds.xml' in row %i col %i: %s", document.ErrorRow(),
                  document.ErrorCol(), document.ErrorDesc());
        return;
    }
    const TiXmlElement* sounds = document.FirstChildElement("sounds");
    if (!sounds)
    {
        LOG_ERROR("'sounds.xml' has no element 'sounds'.");
        return;
    }
    m_sound->GetSoundPool().Load(*sounds);
}

void TarqApp::loadResources()
{
    WriteToOgreLog("load resources");
    // While loading, the window shows the bar and nothing of the game's scene.
    m_sceneManager->addSpecialCaseRenderQueue(Ogre::RENDER_QUEUE_OVERLAY);
    m_sceneManager->setSpecialCaseRenderQueueMode(Ogre::SceneManager::SCRQM_INCLUDE);
    cl_GameLoadingScreen loadingScreen;
    loadingScreen.SetRenderWindow(m_window);
    loadingScreen.SetShares(0.0f, 7, 3, 0);
    loadingScreen.OnStart();
    m_window->update(true);
    m_mode = MODE_LOADING;
    Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
    resources.addResourceGroupListener(&loadingScreen);
    // A file the data names but nobody shipped (a font, a texture) costs that resource, not the start.
    const auto attempt = [](const std::string& step, const auto& action)
    {
        try
        {
            action();
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("%s failed: %s", step.c_str(), exception.getDescription().c_str());
        }
    };
    for (const std::string& group : resources.getResourceGroups())
        attempt("Initialising the resource group " + group,
                [&] { resources.initialiseResourceGroup(group); });
    for (const std::string& group :
         {resources.getWorldResourceGroupName(), std::string("INTERFACEDATA"), std::string("GAMEDATA")})
        attempt("Loading the resource group " + group, [&] { resources.loadResourceGroup(group); });
    loadingScreen.OnEnd();
    loadingScreen.SetRenderWindow(nullptr);
    resources.removeResourceGroupListener(&loadingScreen);
    m_sceneManager->clearSpecialCaseRenderQueues();
    m_sceneManager->setSpecialCaseRenderQueueMode(Ogre::SceneManager::SCRQM_EXCLUDE);
}

void TarqApp::createScene()
{
    m_sceneManager->getRootSceneNode()->createChildSceneNode("_game", Ogre::Vector3::ZERO,
                                                             Ogre::Quaternion::IDENTITY);
    m_guiSystem->Init(m_sceneManager, m_camera, m_scriptSystem->GetLuaState());
    // The setting names the log levels to show on the screen (absent or 0: none).
    if (const auto levels =
            static_cast<uint32_t>(std::strtoul(m_config->GetValue("ingamelog").c_str(), nullptr, 0)))
        m_logIngame->Enable(levels);
    m_menuSceneManager =
        m_root->createSceneManager(Ogre::DefaultSceneManagerFactory::FACTORY_TYPE_NAME, "sm_menu");
    m_menuSceneManager->addRenderQueueListener(m_overlaySystem.get());
    m_guiSystem->GetMainMenu().CreatePageTextures(m_menuSceneManager);
    m_gameComponents->SetSelectedItem(nullptr);
    m_gameComponents->SetMouseOverObject(nullptr);
    m_mode = MODE_MAINMENU;
    m_guiSystem->GetMainMenu().CreateScene("");
    cl_IngameMenu& ingameMenu = m_guiSystem->GetIngameMenu();
    ingameMenu.SetFontSize(0.03375f);
    ingameMenu.SetHardwareCursor(Ogre::StringConverter::parseBool(m_config->GetValue("hwcursor")));
    if (m_minigameManager->IsRegistered("startsplash"))
        SetMode(MODE_STARTSPLASH);
    m_sound->GetMixer().PlayMusic("artefaktthema", 0.0f, true, false);
}

// ---------------------------------------------------------------------------------------------------
// Main loop and modes

int TarqApp::FrameCap(const std::string& setting)
{
    const int number = std::atoi(setting.c_str());
    if (number <= 0)
        return 0;
    if (number <= 10)
        return 10;
    if (number >= 1000)
        return 1000;
    return number;
}

int TarqApp::FrameSleep(int cap, uint32_t elapsedMilliseconds)
{
    if (cap <= 0)
        return 0;
    const float budget = 1000.0f / static_cast<float>(cap);
    const float elapsed = static_cast<float>(elapsedMilliseconds);
    return budget > elapsed ? static_cast<int>(budget - elapsed) : 0;
}

void TarqApp::go()
{
    OgreBites::WindowEventUtilities::messagePump();
    if (!setup())
        return;

    if (m_config->GetValue("fpscap").empty())
        m_config->SetValue("fpscap", "100");
    m_config->Save();
    const int cap = FrameCap(m_config->GetValue("fpscap"));

    uint32_t start = m_gameTime->GetMilliseconds();
    for (;;)
    {
        OgreBites::WindowEventUtilities::messagePump();
        if (!m_root->renderOneFrame())
            break;
        const int sleep = FrameSleep(cap, m_gameTime->GetMilliseconds() - start);
        if (sleep > 0)
            boost::this_thread::sleep(boost::posix_time::milliseconds(sleep));
        start = m_gameTime->GetMilliseconds();
    }
    destroyScene();
}

bool TarqApp::frameStarted(const Ogre::FrameEvent& event)
{
    ShowCurrentCursor();
    return BaseApplication::frameStarted(event);
}

void TarqApp::ShowCurrentCursor()
{
    if (!m_currentCursor)
        platform::SetCursor(nullptr);
    else
        platform::SetCursor(m_smallCursor ? m_currentCursor->small : m_currentCursor->normal);
}

bool TarqApp::frameEnded(const Ogre::FrameEvent& event)
{
    if (!UpdateFrame(event))
        return false;
    updateStats();
    return true;
}

bool TarqApp::UpdateFrame(const Ogre::FrameEvent& event)
{
    if (const int signal = platform::TakeStopSignal())
    {
        WriteToOgreLog(signal == SIGINT ? "Quit on SIGINT" : "Quit on SIGTERM");
        RequestQuit();
    }
    if (HasSceneWithBackdrop(*m_scenes))
        UpdateMouseOver(m_mouseX, m_mouseY);
    m_gameTime->Update(event.timeSinceLastFrame);

    const bool minigameRunning = m_minigameManager->GetCurrentMinigame() != nullptr;
    if (m_mode == MODE_STARTSPLASH && !minigameRunning)
        SetMode(MODE_MAINMENU);
    if (m_mode == MODE_EASY && !minigameRunning)
        SetMode(MODE_MAINMENU);
    if (m_mode == MODE_ENDSPLASH && !minigameRunning)
        return false;
    if (m_quitRequested && m_mode != MODE_ENDSPLASH)
    {
        if (!m_minigameManager->IsRegistered("endsplash"))
            return false;
        SetMode(MODE_ENDSPLASH);
    }
    m_idleTime += event.timeSinceLastFrame;
    return true;
}

void TarqApp::windowFocusChange(Ogre::RenderWindow* window)
{
    window->setActive(window->isVisible());
}

void TarqApp::SetMode(int mode)
{
    if (mode == m_mode)
        return;
    LeaveMode(m_mode);
    EnterMode(mode);
    m_mode = mode;
}

void TarqApp::LeaveMode(int mode)
{
    cl_IngameMenu& ingameMenu = m_guiSystem->GetIngameMenu();
    cl_Minigame* minigame = m_minigameManager->GetCurrentMinigame();
    switch (mode)
    {
    case MODE_MAINMENU:
        m_guiSystem->GetMainMenu().DestroyScene();
        ingameMenu.Show();
        break;
    case MODE_INGAME:
        ingameMenu.Reset();
        ingameMenu.Hide();
        m_gameTime->GetTimeGroup("default").timeFlow = 0.0f;
        m_sound->GetChannel(2).Mute();
        m_sound->GetChannel(1).Mute();
        if (minigame)
            minigame->Hide();
        break;
    case MODE_IDLE:
    case MODE_STARTSPLASH:
    case MODE_ENDSPLASH:
        ingameMenu.ShowMouse();
        m_minigameManager->StopMinigame();
        break;
    case MODE_EASY:
        m_minigameManager->StopMinigame();
        break;
    default:
        break;
    }
}

void TarqApp::EnterMode(int mode)
{
    cl_IngameMenu& ingameMenu = m_guiSystem->GetIngameMenu();
    cl_Minigame* minigame = m_minigameManager->GetCurrentMinigame();
    switch (mode)
    {
    case MODE_MAINMENU:
        if (ingameMenu.IsShown())
            ingameMenu.Hide();
        m_guiSystem->GetMainMenu().CreateScene(m_scenes->GetCurrentSceneName().empty() ? "" : "MainPage");
        break;
    case MODE_INGAME:
        ingameMenu.Reset();
        ingameMenu.Show();
        m_gameTime->GetTimeGroup("default").timeFlow = 1.0f;
        m_sound->GetChannel(1).Unmute();
        m_sound->GetChannel(2).Unmute();
        if (minigame)
            minigame->Show();
        break;
    case MODE_STARTSPLASH:
        ingameMenu.HideMouse();
        m_minigameManager->StartMinigame("startsplash", nullptr);
        break;
    case MODE_ENDSPLASH:
        ingameMenu.HideMouse();
        m_minigameManager->StartMinigame("endsplash", nullptr);
        break;
    case MODE_EASY:
        m_minigameManager->StartMinigame("easy", nullptr);
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------------------------------------------
// Cursors and camera

void TarqApp::LoadCursor(const std::string& name)
{
    auto found = m_cursors.find(name);
    if (found == m_cursors.end())
    {
        const std::string folder = m_config->GetGameDataPath() + "interface/textures/";
        CursorPair pair;
        pair.normal = platform::LoadCursorFromFile(folder + name + ".cur");
        pair.small = platform::LoadCursorFromFile(folder + name + "_small.cur");
        found = m_cursors.emplace(name, pair).first;
    }
    m_currentCursor = &found->second;
}

void TarqApp::PutCursorAside()
{
    if (m_asideCursor)
        return;
    m_asideCursor = m_currentCursor;
    m_currentCursor = nullptr;
}

void TarqApp::RestoreCursor()
{
    if (!m_asideCursor)
        return;
    m_currentCursor = m_asideCursor;
    m_asideCursor = nullptr;
}

void TarqApp::SetCamera(Ogre::Camera* camera)
{
    // Pass maps of the old camera's queues would otherwise outlive the passes they point at.
    if (m_root)
    {
        for (const auto& entry : m_root->getSceneManagers())
        {
            Ogre::RenderQueue* queue = entry.second->getRenderQueue();
            queue->clear(true);
        }
        Ogre::Pass::processPendingPassUpdates();
    }
    WriteToOgreLog("SetCamera");
    // Before OGRE runs there is no viewport yet; the camera is still the one the hover pass looks at.
    Ogre::Viewport* viewport =
        m_window && m_window->getNumViewports() > 0 ? m_window->getViewport(0) : nullptr;
    m_previousCamera = viewport ? viewport->getCamera() : m_currentCamera;
    if (viewport)
        viewport->setCamera(camera);
    m_currentCamera = camera;
}

void TarqApp::RestorePreviousCamera()
{
    if (!m_previousCamera)
        return;
    SetCamera(m_previousCamera);
    m_previousCamera = nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Settings and commands

void TarqApp::SetRenderSystemOption(const std::string& option, const std::string& value)
{
    if (!m_root || !m_root->getRenderSystem())
        return;
    try
    {
        m_root->getRenderSystem()->setConfigOption(option, value);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't change the render setting '%s': %s", option.c_str(),
                  exception.getDescription().c_str());
        return;
    }
    if (!OgreConfigFile::Save(*m_root, m_ogreConfigFile))
        LOG_ERROR("Couldn't change the render setting '%s' for the next start: %s cannot be written",
                  option.c_str(), m_ogreConfigFile.c_str());
}

void TarqApp::OnPreferenceChanged(const std::string& key, const std::string& value, bool live)
{
    if (live)
        return;
    if (key == "resolution")
        SetRenderSystemOption("Video Mode", value);
    else if (key == "quality")
        m_scenes->SetQualityLevel(value == "mid" ? 1 : value == "high" ? 2 : 0);
    else if (key == "FSAA")
        SetRenderSystemOption("FSAA", value);
    else if (key == "subtitle")
        m_guiSystem->GetIngameMenu().SetSubtitles(value == "true");
}

bool TarqApp::ExecuteCmd(cl_Command& cmd)
{
    using Run = void (*)(TarqApp & app, const CommandArguments& args, cl_Command& cmd);
    // The receiver "tarq", in the order the names are matched.
    static const struct
    {
        const char* name;
        const char* arguments;
        bool answer;
        Run run;
    } COMMANDS[] = {
        // The main loop ends at the end of the frame.
        {"quit", "", true, [](TarqApp& app, const CommandArguments&, cl_Command&) { app.RequestQuit(); }},
        // Loads the quick-save entry when it holds a game.
        {"quickload", "", false,
         [](TarqApp& app, const CommandArguments&, cl_Command&)
         {
             if (app.m_saveGames->GetQuicksaveEntry().date.time != 0)
                 app.m_saveGames->LoadEntry(app.m_saveGames->GetQuicksaveEntry());
         }},
        {"quicksave", "", false,
         [](TarqApp& app, const CommandArguments&, cl_Command&) { app.m_saveGames->Quicksave(); }},
        // Loads the autosave entry when it holds a game.
        {"autoload", "", false,
         [](TarqApp& app, const CommandArguments&, cl_Command&) { app.m_saveGames->LoadAutosave(); }},
        {"autosave", "", false,
         [](TarqApp& app, const CommandArguments&, cl_Command&) { app.m_saveGames->Autosave(); }},
        // The current character's control "focus" looks at the world point; without numbers it looks
        // ahead again. One or two numbers are refused. When the control is the character's own focus
        // control, the character holds the look, so that his glances leave it alone until it is let go.
        {"focus", "[number x, number y, number z]", false,
         [](TarqApp& app, const CommandArguments& args, cl_Command&)
         {
             if (args.Count() > 0 && !args.Require("number x, number y, number z"))
                 return;
             cl_Character* character = app.m_gameComponents->GetCurrentCharacter();
             auto* focus =
                 character && character->GetPuppet()
                     ? dynamic_cast<cl_FocusTargetControl*>(character->GetPuppet()->GetControl("focus"))
                     : nullptr;
             if (!focus)
             {
                 LOG_WARNING("The command 'focus' finds no focus control 'focus' of a current character.");
                 return;
             }
             const bool own = focus == character->GetFocusControl();
             if (args.Count() == 0)
             {
                 if (own)
                     character->StopFocus();
                 focus->ClearTarget();
                 return;
             }
             const Ogre::Vector3 point(args.Float(0), args.Float(1), args.Float(2));
             if (own)
                 character->FocusOnPoint(point, false, 0.0f, focus->GetGlanceAmplitude(), nullptr);
             // Also a disabled control takes the point, as it always did.
             focus->SetTarget(point);
             focus->ResetGlanceTimer();
         }},
        // Answers the setting's value, "" when it has none.
        {"GetConfigValue", "string key", false,
         [](TarqApp& app, const CommandArguments& args, cl_Command& command)
         { command.m_results.GetArg(-1)->SetString(app.m_config->GetValue(args.String(0))); }},
    };
    // A command that is not listed has no effect.
    const CommandArguments args(cmd, "tarq");
    const auto* command = args.Find(COMMANDS, false);
    if (!command)
        return false;
    command->run(*this, args, cmd);
    return command->answer;
}

// ---------------------------------------------------------------------------------------------------
// Input

bool TarqApp::keyPressed(const OIS::KeyEvent& event)
{
    if (event.key == OIS::KC_ESCAPE)
        HandleEscape();
    if (cl_Minigame* minigame = m_minigameManager->GetCurrentMinigame())
        minigame->KeyPressed(event.key);
    m_guiSystem->KeyPressed(event);
    return true;
}

void TarqApp::HandleEscape()
{
    cl_VideoPlayer& video = m_gameComponents->GetVideoPlayer();
    if (video.IsPlaying())
    {
        video.Stop();
        return;
    }
    if (m_mode == MODE_MAINMENU)
    {
        if (m_scenes->GetLoadedScene())
            SetMode(MODE_INGAME);
    }
    else if (m_mode == MODE_INGAME)
    {
        cl_DialogSystem& dialogs = m_gameComponents->GetDialogSystem();
        if (dialogs.IsDialogActive())
            dialogs.ChooseExitTopic();
        else if (!m_minigameManager->GetCurrentMinigame() && m_gameComponents->CanInteract())
            SetMode(MODE_MAINMENU);
    }
}

bool TarqApp::keyReleased(const OIS::KeyEvent& event)
{
    if (cl_Minigame* minigame = m_minigameManager->GetCurrentMinigame())
        minigame->KeyReleased(event.key);
    m_idleTime = 0.0f;
    m_guiSystem->KeyReleased(event);
    return true;
}

void TarqApp::AlignMouseState(const OIS::MouseState& state, bool atFrameEnd)
{
    if (m_mouseAligned && !atFrameEnd)
        return;
    unsigned long window = 0;
    if (m_window)
        m_window->getCustomAttribute("WINDOW", &window);
    int x = 0;
    int y = 0;
    if (!platform::PointerPosition(window, x, y))
        return;
    // The state is OIS's own, handed out read-only; OIS counts its later moves on from what it holds, so
    // the correction also carries to them.
    auto& aligned = const_cast<OIS::MouseState&>(state);
    aligned.X.abs = std::clamp(x, 0, state.width);
    aligned.Y.abs = std::clamp(y, 0, state.height);
    m_mouseAligned = true;
}

bool TarqApp::mouseMoved(const OIS::MouseEvent& event)
{
    // OIS tells of a frame's moves once, after its button events.
    AlignMouseState(event.state, true);
    m_idleTime = 0.0f;
    UpdateSystemCursor(event.state);
    if (HasSceneWithBackdrop(*m_scenes))
    {
        m_mouseX = Normalised(event.state.X, event.state.width);
        m_mouseY = Normalised(event.state.Y, event.state.height);
    }
    m_guiSystem->MouseMoved(event);
    return true;
}

void TarqApp::UpdateSystemCursor(const OIS::MouseState& state) const
{
    if (m_guiSystem->GetIngameMenu().HasHardwareCursor())
        return;
    // Beyond the border counts as on it: OIS on X11 lets the position leave the window.
    const bool atBorder =
        state.X.abs <= 0 || state.X.abs >= state.width || state.Y.abs <= 0 || state.Y.abs >= state.height;
    // Called only until the count crosses its threshold, so that moves inside the window do not drive it
    // ever further down.
    if (atBorder)
    {
        for (int count = platform::CursorDisplayCount(); count < 0;)
            count = platform::ShowCursor(true);
    }
    else
    {
        for (int count = platform::CursorDisplayCount(); count >= 0;)
            count = platform::ShowCursor(false);
    }
}

bool TarqApp::mousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button)
{
    AlignMouseState(event.state, false);
    m_guiSystem->MousePressed(event, button);
    return true;
}

bool TarqApp::mouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button)
{
    AlignMouseState(event.state, false);
    m_idleTime = 0.0f;
    const float x = Normalised(event.state.X, event.state.width);
    const float y = Normalised(event.state.Y, event.state.height);
    if (!m_guiSystem->GetMainMenu().IsShown())
    {
        cl_Minigame* minigame = m_minigameManager->GetCurrentMinigame();
        if (button == OIS::MB_Left)
        {
            if (minigame)
                minigame->MouseClick(x, y, 0);
            else
                HandleLeftClick(x, y);
        }
        else if (button == OIS::MB_Right)
        {
            if (minigame)
                minigame->MouseClick(x, y, 1);
            else
                m_gameComponents->Examine();
        }
    }
    m_guiSystem->MouseReleased(event, button);
    return true;
}

void TarqApp::HandleLeftClick(float x, float y)
{
    if (m_gameComponents->Interact() || m_gameComponents->GetSelectedItem())
        return;
    cl_Scene* scene = m_scenes->GetLoadedScene();
    if (!scene || scene->HandleExitClick(x, y))
        return;
    Ogre::Vector3 point;
    if (!scene->RayQuery(x, y, cl_Scene::QUERY_WALKABLE, point) || !m_gameComponents->GetCurrentCharacter())
        return;
    SendToCurrentCharacter("character.Move");
    // The event's chart may have started a sequence that holds the player, or let go of the character.
    cl_Character* character = m_gameComponents->GetCurrentCharacter();
    if (character && m_gameComponents->CanInteract())
        character->MoveAlongPath(point, this);
}

void TarqApp::OnDone(int)
{
    SendToCurrentCharacter("character.Moved");
}

void TarqApp::OnStarted() {}

void TarqApp::TimeOut(float)
{
    OnDone(RESULT_ABORTED);
}

void TarqApp::SendToCurrentCharacter(const std::string& event) const
{
    cl_Asset* asset = m_poolManager->FindAsset(m_gameState->GetCurrentCharacterId());
    if (cl_AssetLogic* logic = asset ? asset->GetLogic() : nullptr)
        logic->SendEvent(event, nullptr);
}

void TarqApp::UpdateMouseOver(float x, float y)
{
    cl_GameComponents& hub = *m_gameComponents;
    const bool dialogActive = hub.GetDialogSystem().IsDialogActive();
    cl_Scene* scene = m_scenes->GetLoadedScene();
    const bool allowed = !dialogActive && !m_minigameManager->GetCurrentMinigame() && !m_scenes->IsBusy() &&
                         m_currentCamera && m_currentCamera->getName() == "LocationCam";
    if (!allowed)
    {
        // The hub keeps the object under the mouse while a dialog is active.
        hub.SetMouseOverPortrait(nullptr);
        hub.SetMouseOverObject(nullptr);
        return;
    }

    const std::string id = m_guiSystem->GetIngameMenu().GetIdAt(x, y);
    if (auto* portrait = dynamic_cast<cl_CharacterAsset*>(m_poolManager->GetCharacterPool()->FindAsset(id)))
    {
        hub.SetMouseOverPortrait(portrait);
        hub.SetMouseOverObject(nullptr);
        return;
    }
    cl_ItemAsset* object = dynamic_cast<cl_ItemAsset*>(m_poolManager->GetItemPool()->FindAsset(id));
    if (!object && scene)
        object = scene->PickItem(x, y);
    hub.SetMouseOverPortrait(nullptr);
    hub.SetMouseOverObject(object);
}
