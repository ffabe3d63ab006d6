#include "TarqApp.h"

#include "assets/cl_PoolManager.h"
#include "assets/cl_SpokentextAsset.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_Logger.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_TarqdataLoader.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_FocusTargetControl.h"
#include "gui/cl_GUISystem.h"
#include "platform/Desktop.h"
#include "platform/particles/ParticleSystemManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"
#include "support/DemoWorkingFolder.h"
#include "support/LoadedLibraries.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <OgreCamera.h>
#include <OgreRenderWindow.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreViewport.h>
#include <boost/filesystem/operations.hpp>

#include <X11/Xlib.h>

#include <memory>
#include <string>

namespace
{
// The real application with its set-up steps in reach of the test, and a frame listener of the test's own
// that sends "quit" from Lua in the frame it is told to.
class TestedApp : public TarqApp
{
public:
    using TarqApp::setup;

    struct QuitInFrame : Ogre::FrameListener
    {
        bool frameStarted(const Ogre::FrameEvent&) override
        {
            if (++started == quitFrame)
                cl_ScriptSystem::GetInstance()->ExecuteString("sendcmd('tarq', 'quit')");
            return true;
        }
        int quitFrame = 0;
        int started = 0;
    };

    ~TestedApp() override
    {
        if (m_root)
            m_root->removeFrameListener(&m_frames);
    }

    QuitInFrame m_frames;

protected:
    void createScene() override
    {
        TarqApp::createScene();
        m_root->addFrameListener(&m_frames);
    }
};

// The demo game as the build lays it out, as working folder, with HOME in a temporary folder.
class StartedGame : public testing::Test
{
protected:
    void Start()
    {
        m_app = std::make_unique<TestedApp>();
        m_log = std::make_unique<LogCapture>();
        ASSERT_TRUE(m_app->setup());
        KeepLoadedLibraries();
    }
    void TearDown() override
    {
        m_log.reset();
        m_app.reset();
    }

    std::string UserFile(const std::string& name) const { return ReadTextFile(m_game.UserFile(name)); }

    // The title the X server shows for the window.
    static std::string WindowTitle(Ogre::RenderWindow& window)
    {
        unsigned long id = 0;
        window.getCustomAttribute("WINDOW", &id);
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return "(no display)";
        char* name = nullptr;
        std::string title = XFetchName(display, id, &name) && name ? name : "";
        if (name)
            XFree(name);
        XCloseDisplay(display);
        return title;
    }

    DemoWorkingFolder m_game{QUILLMERE_BUILT_DEMO_DIR};
    std::unique_ptr<TestedApp> m_app;
    std::unique_ptr<LogCapture> m_log;
};

TEST_F(StartedGame, OpensItsWindowOnTheMainMenu)
{
    Start();
    Ogre::RenderWindow& window = *m_app->GetWindow();
    EXPECT_EQ(WindowTitle(window), "The Quillmere");
    EXPECT_TRUE(window.isFullScreen());

    // A first start: the desktop's mode, full screen, written to the user folder with OGRE's log.
    const platform::ScreenSize desktop = platform::DesktopSize();
    const std::string ogreConfig = UserFile("ogre.cfg");
    EXPECT_NE(ogreConfig.find("Render System=OpenGL Rendering Subsystem"), std::string::npos) << ogreConfig;
    EXPECT_NE(ogreConfig.find("Full Screen=Yes"), std::string::npos) << ogreConfig;
    EXPECT_NE(ogreConfig.find("Video Mode=" + std::to_string(desktop.width) + " x " +
                              std::to_string(desktop.height)),
              std::string::npos)
        << ogreConfig;
    EXPECT_NE(UserFile("welk.log").find("Finished loading resource group GAMEDATA"), std::string::npos);

    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
    EXPECT_TRUE(cl_GUISystem::GetInstance()->GetMainMenu().IsShown());
    EXPECT_EQ(cl_Sound::GetInstance()->GetMixer().GetCurrentMusicName(), "artefaktthema");
    // The data files of the groups were read while they were initialised.
    std::vector<std::string> chapters;
    cl_TarqdataLoader::GetInstance()->GetChapterIds(chapters);
    EXPECT_EQ(chapters, std::vector<std::string>{"chapter1"});

    ASSERT_EQ(window.getNumViewports(), 1u);
    Ogre::Viewport& viewport = *window.getViewport(0);
    EXPECT_EQ(viewport.getZOrder(), 0);
    EXPECT_EQ(viewport.getActualWidth(), static_cast<int>(window.getWidth()));
    EXPECT_EQ(viewport.getActualHeight(), static_cast<int>(window.getHeight()));
    EXPECT_EQ(viewport.getBackgroundColour(), Ogre::ColourValue::Black);
    // The main menu shows its book through its own camera; the game's comes back when the game starts.
    EXPECT_EQ(viewport.getCamera()->getName(), "MenuCam");
    EXPECT_EQ(viewport.getCamera(), m_app->GetCamera());
    ASSERT_NE(m_app->GetPreviousCamera(), nullptr);
    Ogre::Camera& camera = *m_app->GetPreviousCamera();
    EXPECT_EQ(camera.getName(), "LocationCam");
    EXPECT_FLOAT_EQ(camera.getFOVy().valueDegrees(), 33.75f);
    EXPECT_FLOAT_EQ(camera.getNearClipDistance(), 5.0f);
    EXPECT_EQ(camera.getDerivedPosition(), Ogre::Vector3(0, 0, 1));
    EXPECT_TRUE(camera.getDerivedDirection().positionEquals(Ogre::Vector3(0, 0, -1)));

    // The game's particle emitter is there, and the demo's particle scripts were read with GAMEDATA.
    const particles::ParticleSystemManager& library = particles::ParticleSystemManager::getSingleton();
    EXPECT_NE(library.getEmitterFactory("Entity"), nullptr);
    EXPECT_NE(library.getSystemTemplate("Demo/TorchFire"), nullptr);
    EXPECT_NE(library.getSystemTemplate("Demo/DoorDust"), nullptr);
    EXPECT_FALSE(m_log->Contains("effects.psys"));

    cl_GameTime& time = *cl_GameTime::GetInstance();
    EXPECT_EQ(time.GetTimeGroup("default").maxCap, 1.0f);
    EXPECT_EQ(time.GetTimeGroup("gui").maxCap, 0.1f);
    EXPECT_EQ(time.GetTimeGroup("fx").maxCap, 0.2f);
}

TEST_F(StartedGame, QuitFromLuaEndsTheLoopAtTheEndOfThatFrame)
{
    // Without "fpscap" the loop repairs it to 100 and saves the settings before the first frame.
    const std::string config = m_game.PathOf("config.xml");
    std::string text = ReadTextFile(config);
    text.erase(text.find("    <fpscap>"), std::string("    <fpscap>60</fpscap>\n").size());
    WriteTextFile(config, text);

    m_app = std::make_unique<TestedApp>();
    m_app->m_frames.quitFrame = 2;
    m_app->go();
    KeepLoadedLibraries();
    EXPECT_EQ(m_app->m_frames.started, 2);
    EXPECT_TRUE(m_app->IsQuitRequested());
    EXPECT_FALSE(m_app->GetWindow()->isClosed());
    EXPECT_NE(UserFile("config.xml").find("<fpscap>100</fpscap>"), std::string::npos)
        << UserFile("config.xml");
}

TEST_F(StartedGame, BrokenDataCostsOnlyWhatIsBroken)
{
    // A font file nobody shipped and an OGRE setting the render system does not know.
    const std::string fonts = m_game.PathOf("data/interface/quillmere.fontdef");
    std::string text = ReadTextFile(fonts);
    text.replace(text.find("DejaVuSerif.ttf"), std::string("DejaVuSerif.ttf").size(), "Missing.ttf");
    WriteTextFile(fonts, text);
    WriteTextFile(m_game.UserFile("ogre.cfg"), "Render System=OpenGL Rendering Subsystem\n\n"
                                               "[OpenGL Rendering Subsystem]\nNo Such Option=1\n");

    Start();
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
    EXPECT_TRUE(m_log->Contains("Missing.ttf", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(UserFile("ogre.cfg").find("No Such Option"), std::string::npos);
    EXPECT_NE(UserFile("welk.log").find("No Such Option"), std::string::npos);
}

TEST_F(StartedGame, RenderSettingsChangeWhenTheSettingsAreSaved)
{
    Start();
    namespace fs = boost::filesystem;
    fs::remove(m_game.UserFile("ogre.cfg"));
    // A change made in the settings pages waits until the settings are saved.
    m_app->OnPreferenceChanged("resolution", "1280 x 1024", true);
    m_app->OnPreferenceChanged("FSAA", "4", true);
    EXPECT_FALSE(fs::exists(m_game.UserFile("ogre.cfg")));

    // The GL render system keeps only a video mode it offers (Xvfb offers its screen's); OGRE's settings are
    // written either way.
    m_app->OnPreferenceChanged("resolution", "1280 x 1024", false);
    EXPECT_NE(UserFile("ogre.cfg").find("Video Mode=1280 x 1024"), std::string::npos) << UserFile("ogre.cfg");
    m_app->OnPreferenceChanged("FSAA", "4", false);
    EXPECT_NE(UserFile("ogre.cfg").find("FSAA=4"), std::string::npos) << UserFile("ogre.cfg");

    // A configuration that cannot be written is logged; the game goes on.
    fs::remove(m_game.UserFile("ogre.cfg"));
    fs::create_directory(m_game.UserFile("ogre.cfg"));
    m_app->OnPreferenceChanged("FSAA", "0", false);
    EXPECT_TRUE(m_log->Contains("Couldn't change the render setting 'FSAA'", cl_Logger::LEVEL_ERROR));
}

TEST_F(StartedGame, SetCameraShowsAnotherCameraInTheMainViewport)
{
    Start();
    Ogre::Camera* menuCamera = m_app->GetRoot()->getSceneManager("sm_menu")->createCamera("menu");
    m_app->SetCamera(menuCamera);
    EXPECT_EQ(m_app->GetWindow()->getViewport(0)->getCamera(), menuCamera);
    EXPECT_EQ(m_app->GetWindow()->getViewport(0)->getBackgroundColour(), Ogre::ColourValue::Black);
    EXPECT_EQ(m_app->GetCamera(), menuCamera);
    EXPECT_TRUE(m_app->GetRoot()->renderOneFrame());
}

TEST_F(StartedGame, SetCameraRemembersTheCameraItReplacesUntilItIsGivenBack)
{
    Start();
    Ogre::Camera* location = m_app->GetCamera();
    Ogre::SceneManager* menuScene = m_app->GetRoot()->getSceneManager("sm_menu");
    Ogre::Camera* menu = menuScene->createCamera("menu");
    Ogre::Camera* shot = menuScene->createCamera("shot");

    m_app->SetCamera(menu);
    EXPECT_EQ(m_app->GetPreviousCamera(), location);
    m_app->SetCamera(shot);
    EXPECT_EQ(m_app->GetPreviousCamera(), menu);

    m_app->RestorePreviousCamera();
    EXPECT_EQ(m_app->GetCamera(), menu);
    EXPECT_EQ(m_app->GetWindow()->getViewport(0)->getCamera(), menu);
    EXPECT_EQ(m_app->GetPreviousCamera(), nullptr);
    m_app->RestorePreviousCamera();
    EXPECT_EQ(m_app->GetCamera(), menu) << "nothing to give back";
}

TEST_F(StartedGame, LoadingAChapterShowsTheLoadingCameraThroughTheCameraSwitchAndGivesTheOldOneBack)
{
    Start();
    // Notes which camera the game shows while the chapter's resources load.
    struct CameraWhileLoading : Ogre::ResourceGroupListener
    {
        explicit CameraWhileLoading(TarqApp& app) : app(app) {}
        void resourceGroupLoadStarted(const Ogre::String& group, size_t) override
        {
            if (group == "CHAPTERDATA")
                seen = app.GetCamera()->getName() + " " +
                       app.GetWindow()->getViewport(0)->getCamera()->getName();
        }
        TarqApp& app;
        std::string seen;
    } whileLoading(*m_app);
    Ogre::Camera* location = m_app->GetCamera();
    Ogre::ResourceGroupManager::getSingleton().addResourceGroupListener(&whileLoading);
    cl_TarqdataLoader::GetInstance()->LoadChapter("chapter1");
    Ogre::ResourceGroupManager::getSingleton().removeResourceGroupListener(&whileLoading);

    EXPECT_EQ(whileLoading.seen, "loadingscreencam loadingscreencam");
    EXPECT_EQ(m_app->GetCamera(), location);
    EXPECT_EQ(m_app->GetWindow()->getViewport(0)->getCamera(), location);
    EXPECT_EQ(m_app->GetPreviousCamera(), nullptr);
    EXPECT_FALSE(m_app->GetRoot()->hasSceneManager("loading_screen"));
    const std::string log = UserFile("welk.log");
    const size_t loading = log.find("LoadChapter");
    ASSERT_NE(loading, std::string::npos);
    EXPECT_NE(log.find("SetCamera", loading), std::string::npos);
    EXPECT_NE(log.find("SetCamera", log.find("Loading Done", loading)), std::string::npos);
}

TEST_F(StartedGame, FocusSetsAndClearsTheTargetOfTheCurrentCharactersFocusControl)
{
    Start();
    cl_TarqdataLoader::GetInstance()->LoadChapter("chapter1");
    cl_ScriptSystem& lua = *cl_ScriptSystem::GetInstance();
    lua.ExecuteString("sendcmd('game', 'SetCurrentCharacter', 'characters_hero')");
    cl_Character* hero = cl_CharacterManager::GetInstance()->GetCharacter("characters_hero");
    ASSERT_NE(hero, nullptr);
    const auto* focus = dynamic_cast<const cl_FocusTargetControl*>(hero->GetPuppet()->GetControl("focus"));
    ASSERT_NE(focus, nullptr);

    lua.ExecuteString("sendcmd('tarq', 'focus', 10, 170.5, -200)");
    EXPECT_TRUE(focus->HasTarget());
    EXPECT_EQ(focus->GetTargetPosition(), Ogre::Vector3(10, 170.5f, -200));
    EXPECT_TRUE(hero->IsFocusing());
    lua.ExecuteString("sendcmd('tarq', 'focus', 40)");
    EXPECT_EQ(focus->GetTargetPosition(), Ogre::Vector3(10, 170.5f, -200)) << "refused";

    // Left alone with a glance due, he keeps looking where he was told.
    hero->UpdateGlances();
    EXPECT_TRUE(focus->HasTarget());
    EXPECT_EQ(focus->GetTargetPosition(), Ogre::Vector3(10, 170.5f, -200));

    lua.ExecuteString("sendcmd('tarq', 'focus')");
    EXPECT_FALSE(focus->HasTarget());
    EXPECT_FALSE(hero->IsFocusing()) << "his glances may look round again";
}

TEST_F(StartedGame, TheKeepersAnswerSpeaksWithTheVoiceOfTheChaptersSpeechFolder)
{
    Start();
    cl_TarqdataLoader::GetInstance()->LoadChapter("chapter1");
    const auto* line = dynamic_cast<cl_SpokentextAsset*>(
        cl_PoolManager::GetInstance()->FindAsset("spokentexts_keeper_tower"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetLeafId(), "keeper_tower");
    cl_Sound& sound = *cl_Sound::GetInstance();
    EXPECT_TRUE(sound.GetSoundPool().SoundExists("keeper_tower"));
    EXPECT_TRUE(sound.GetMixer().PlaySpokenText(*line, nullptr));
    EXPECT_FALSE(m_log->Contains("No Speach file"));
}
} // namespace
