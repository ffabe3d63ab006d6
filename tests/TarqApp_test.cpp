#include "TarqApp.h"

#include "assets/cl_GameState.h"
#include "common/cl_Command.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_Localizer.h"
#include "common/cl_Logger.h"
#include "common/cl_ScriptSystem.h"
#include "common/cl_SyncManager.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_EffectManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_TriggerManager.h"
#include "gui/cl_GUISystem.h"
#include "minigames/cl_MinigameManager.h"
#include "platform/StopSignals.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "support/ArgumentText.h"
#include "support/CursorFileBuilder.h"
#include "support/DemoWorkingFolder.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <OgreFrameListener.h>
#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace
{
TEST(FrameCap, ComesFromTheFpscapSetting)
{
    const struct
    {
        const char* setting;
        int cap; // 0: no cap
    } cases[] = {
        {"60", 60},     {"5", 10}, {"1", 10}, {"10", 10}, {"11", 11}, {"999", 999}, {"1000", 1000},
        {"5000", 1000}, {"0", 0},  {"-3", 0}, {"abc", 0}, {"", 0},    {" 42", 42},  {"42fps", 42},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TarqApp::FrameCap(c.setting), c.cap) << '"' << c.setting << '"';
}

TEST(FrameCap, SleepsAwayWhatIsLeftOfTheFrameBudget)
{
    const struct
    {
        int cap;
        uint32_t elapsed;
        int sleep;
    } cases[] = {
        {100, 3, 7}, {100, 0, 10}, {100, 10, 0}, {100, 15, 0}, // over budget: the next frame at once
        {60, 0, 16}, {60, 16, 0},  {1000, 0, 1}, {10, 40, 60}, {0, 0, 0}, // no cap
    };
    for (const auto& c : cases)
        EXPECT_EQ(TarqApp::FrameSleep(c.cap, c.elapsed), c.sleep) << c.cap << " fps, " << c.elapsed << " ms";
}

// The application built in a copy of the source demo, with HOME in a temporary folder; its log captured.
class Application : public testing::Test
{
protected:
    void SetUp() override { Restart(); }
    void TearDown() override { Stop(); }

    // A new application in the same working folder and home, for the next case of a table.
    void Restart()
    {
        Stop();
        m_app = std::make_unique<TarqApp>();
        m_log = std::make_unique<LogCapture>();
    }
    void Stop()
    {
        m_log.reset();
        m_app.reset();
    }

    static std::string Lua(const std::string& code) { return ReturnedText(code); }

    static bool Frame(TarqApp& app, float seconds)
    {
        Ogre::FrameEvent event{};
        event.timeSinceLastFrame = seconds;
        return app.UpdateFrame(event);
    }

    // How many log lines mention the text.
    size_t Mentions(const std::string& text) const
    {
        size_t count = 0;
        for (const LogCapture::Line& line : m_log->Lines())
            count += line.text.find(text) != std::string::npos;
        return count;
    }

    static void RegisterMinigame(const char* name)
    {
        TiXmlElement minigame("minigame");
        minigame.SetAttribute("name", name);
        cl_MinigameManager::GetInstance()->ParseElement(&minigame, "GAMEDATA", false);
    }

    static cl_IngameMenu& IngameMenu() { return cl_GUISystem::GetInstance()->GetIngameMenu(); }
    static cl_MainMenu& MainMenu() { return cl_GUISystem::GetInstance()->GetMainMenu(); }
    static float DefaultTimeFlow() { return cl_GameTime::GetInstance()->GetTimeGroup("default").timeFlow; }
    // "0110": channels 1 and 2 muted.
    static std::string MutedChannels()
    {
        std::string muted;
        for (int channel = 0; channel < cl_Sound::CHANNEL_COUNT; ++channel)
            muted += cl_Sound::GetInstance()->GetChannel(channel).IsMuted() ? '1' : '0';
        return muted;
    }

    DemoWorkingFolder m_game{QUILLMERE_DEMO_DIR};
    std::unique_ptr<TarqApp> m_app;
    std::unique_ptr<LogCapture> m_log;
};

TEST_F(Application, StartsWithTheSettingsAndLuaFilesOfTheWorkingFolder)
{
    EXPECT_EQ(m_app->GetWorkingFolder(), m_game.Path().string() + "/");
    EXPECT_EQ(m_app->GetUserFolder(), m_game.UserFile(""));
    EXPECT_TRUE(boost::filesystem::is_directory(m_app->GetUserFolder()));
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_NONE);
    // config.xml of the working folder, ExportedFunctions.lua beside it, Functions.lua in the pimbdata
    // folder.
    EXPECT_EQ(cl_Config::GetInstance()->GetValue("language"), "de");
    EXPECT_EQ(Lua("return type(Quit), _globals.difficulty"), "string function, int 1");
    // The settings' announcement of their values reached the application.
    EXPECT_TRUE(IngameMenu().HasSubtitles());
}

TEST_F(Application, EverySubsystemLivesExactlyAsLongAsTheApplication)
{
    const auto alive = []
    {
        return std::vector<bool>{
            cl_TarqdataLoader::GetInstance() != nullptr,  cl_Logger::GetInstance() != nullptr,
            cl_Config::GetInstance() != nullptr,          cl_ScriptSystem::GetInstance() != nullptr,
            cl_GameTime::GetInstance() != nullptr,        cl_GameState::GetInstance() != nullptr,
            cl_TriggerManager::GetInstance() != nullptr,  cl_GUISystem::GetInstance() != nullptr,
            cl_SceneManager::GetInstance() != nullptr,    cl_CharacterManager::GetInstance() != nullptr,
            cl_ItemManager::GetInstance() != nullptr,     cl_Camera::GetInstance() != nullptr,
            cl_Sound::GetInstance() != nullptr,           cl_SyncManager::GetInstance() != nullptr,
            cl_MinigameManager::GetInstance() != nullptr, cl_Localizer::GetInstance() != nullptr,
            cl_EffectManager::GetInstance() != nullptr,   BaseApplication::GetInstance() != nullptr,
            cl_GameComponents::GetInstance() != nullptr,
        };
    };
    EXPECT_EQ(alive(), std::vector<bool>(19, true));

    // The loader came first: every parser found it and registered, so data files reach them.
    cl_TarqdataLoader::GetInstance()->ParseTdf(
        "GAMEDATA",
        "<tarqdata><minigame name='probe'/><language><tokens>probe|Sonde</tokens></language></tarqdata>",
        "probe.tdf", false);
    EXPECT_TRUE(cl_MinigameManager::GetInstance()->IsRegistered("probe"));
    EXPECT_EQ(cl_Localizer::GetInstance()->FindToken("probe"), "Sonde");
    // The script system came before every receiver: each one answers.
    for (const char* receiver : {"tarq", "gametime", "triggermanager", "game", "gui", "scenemanager",
                                 "charactermanager", "itemmanager", "camera", "sound", "effectmanager"})
        Lua(std::string("sendcmd('") + receiver + "', 'NoSuchCommand')");
    EXPECT_EQ(Mentions("does not exist"), 0u);

    Stop();
    EXPECT_EQ(alive(), std::vector<bool>(19, false));
}

TEST_F(Application, AnotherApplicationCanFollowAndKeepsXmlWhitespace)
{
    Stop();
    TiXmlBase::SetCondenseWhiteSpace(true);
    m_app = std::make_unique<TarqApp>();
    const bool condensed = TiXmlBase::IsWhiteSpaceCondensed();
    TiXmlBase::SetCondenseWhiteSpace(false);
    EXPECT_FALSE(condensed);
}

TEST_F(Application, ModesSwitchMenusTimeSoundAndSplashes)
{
    const struct
    {
        const char* name;
        std::vector<int> modes; // entered in this order from mode 0
        bool ingameMenuShown;
        bool pointerHidden;
        bool mainMenuShown;
        float defaultTimeFlow;
        const char* mutedChannels;
        const char* startedMinigame; // "" for none
    } cases[] = {
        {"entering the game", {3}, true, false, false, 1.0f, "0000", ""},
        {"leaving the game pauses it and mutes channels 2 and 1",
         {3, 1},
         false,
         false,
         true,
         0.0f,
         "0110",
         ""},
        {"entering the game again", {3, 1, 3}, true, false, false, 1.0f, "0000", ""},
        {"the main menu hides the in-game menu", {1}, false, false, true, 1.0f, "0000", ""},
        {"start splash", {1, 5}, true, true, false, 1.0f, "0000", "startsplash"},
        {"start splash left for the main menu", {1, 5, 1}, false, false, true, 1.0f, "0000", "startsplash"},
        {"end splash after the game", {3, 6}, false, true, false, 0.0f, "0110", "endsplash"},
        {"easy minigame leaves the pointer", {1, 7}, true, false, false, 1.0f, "0000", "easy"},
        {"the game from the easy minigame", {1, 7, 3}, true, false, false, 1.0f, "0000", "easy"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        for (int mode : c.modes)
            m_app->SetMode(mode);
        EXPECT_EQ(m_app->GetMode(), c.modes.back());
        EXPECT_EQ(IngameMenu().IsShown(), c.ingameMenuShown);
        EXPECT_EQ(IngameMenu().IsMouseHidden(), c.pointerHidden);
        EXPECT_EQ(MainMenu().IsShown(), c.mainMenuShown);
        EXPECT_EQ(DefaultTimeFlow(), c.defaultTimeFlow);
        EXPECT_EQ(MutedChannels(), c.mutedChannels);
        for (const char* minigame : {"startsplash", "endsplash", "easy"})
            EXPECT_EQ(Mentions(std::string("'") + minigame + "'"), std::string(minigame) == c.startedMinigame)
                << minigame;
    }
}

TEST_F(Application, TheModeItIsInAlreadyChangesNothing)
{
    m_app->SetMode(TarqApp::MODE_INGAME);
    // Changed behind the application's back: a second SetMode(3) would undo each of these.
    cl_Sound::GetInstance()->GetChannel(1).Mute();
    cl_GameTime::GetInstance()->GetTimeGroup("default").timeFlow = 0.5f;
    IngameMenu().Hide();
    IngameMenu().HideMouse();

    m_app->SetMode(TarqApp::MODE_INGAME);
    EXPECT_EQ(MutedChannels(), "0100");
    EXPECT_EQ(DefaultTimeFlow(), 0.5f);
    EXPECT_FALSE(IngameMenu().IsShown());
    EXPECT_TRUE(IngameMenu().IsMouseHidden());
}

TEST_F(Application, FramesEndSplashesAndQuit)
{
    const struct
    {
        const char* name;
        int mode;
        bool endSplashRegistered;
        bool quit;
        // Per frame: whether it lets the program go on, then the mode after it.
        std::vector<std::pair<bool, int>> frames;
        size_t endSplashStarts;
    } cases[] = {
        {"a frame in the game", 3, false, false, {{true, 3}, {true, 3}}, 0},
        {"start splash over", 5, false, false, {{true, 1}}, 0},
        {"easy minigame over", 7, false, false, {{true, 1}}, 0},
        {"end splash over", 6, false, false, {{false, 6}}, 0},
        {"quit without end splash ends the same frame", 3, false, true, {{false, 3}}, 0},
        {"quit with end splash shows it, then ends", 1, true, true, {{true, 6}, {false, 6}}, 1},
        {"quit in the start splash goes to the end splash", 5, true, true, {{true, 6}, {false, 6}}, 1},
        {"quit during the end splash does not restart it", 6, true, true, {{false, 6}}, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Restart();
        if (c.endSplashRegistered)
            RegisterMinigame("endsplash");
        m_app->SetMode(c.mode);
        m_log->Clear();
        if (c.quit)
            Lua("sendcmd('tarq', 'quit')");
        float idle = 0.0f;
        for (const auto& frame : c.frames)
        {
            EXPECT_EQ(Frame(*m_app, 0.25f), frame.first);
            EXPECT_EQ(m_app->GetMode(), frame.second);
            idle += frame.first ? 0.25f : 0.0f;
        }
        EXPECT_EQ(Mentions("'endsplash'"), c.endSplashStarts);
        EXPECT_EQ(m_app->GetIdleTime(), idle);
        if (m_app->GetMode() == TarqApp::MODE_MAINMENU)
        {
            EXPECT_FALSE(IngameMenu().IsMouseHidden());
        }
    }
}

TEST_F(Application, FramesDriveTheGameTime)
{
    m_app->SetMode(TarqApp::MODE_INGAME);
    const float played = cl_GameTime::GetInstance()->GetPlayedTime();
    Frame(*m_app, 0.5f);
    EXPECT_FLOAT_EQ(cl_GameTime::GetInstance()->GetPlayedTime() - played, 0.5f);
}

TEST_F(Application, AFatalErrorIsToldOnStandardErrorAndMakesTheRunAFailure)
{
    testing::internal::CaptureStderr();
    m_app->ReportFatalError("The Quillmere can't start", "cannot find plugins.cfg in /games/.");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "The Quillmere can't start: cannot find plugins.cfg in /games/.\n");
    EXPECT_TRUE(m_log->Contains("cannot find plugins.cfg in /games/.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_app->GetExitCode(), EXIT_FAILURE);
}

TEST_F(Application, AStopSignalEndsTheFrameAsQuitDoes)
{
    platform::CatchStopSignals();
    m_app->SetMode(TarqApp::MODE_INGAME);
    ASSERT_EQ(std::raise(SIGTERM), 0);
    EXPECT_FALSE(m_app->IsQuitRequested());
    EXPECT_FALSE(Frame(*m_app, 0.25f));
    EXPECT_TRUE(m_app->IsQuitRequested());
    EXPECT_EQ(m_app->GetExitCode(), EXIT_SUCCESS);
}

TEST_F(Application, AnswersTheTarqCommandsFromLua)
{
    const struct
    {
        const char* call;
        const char* results;
        bool quits;
        const char* warning; // "" for none
    } cases[] = {
        {"'quit'", "", true, ""},
        {"'quit', 'now'", "", true, ""},
        {"'quitx'", "", false, ""},
        {"'qui'", "", false, ""},
        {"'Quit'", "", false, ""},
        {"'GetConfigValue', 'language'", "string de", false, ""},
        {"'GetConfigValue', 'nosuchkey'", "string ", false, ""},
        {"'GetConfigValue', 'language', 'extra'", "string de", false, ""},
        {"'GetConfigValue'", "", false,
         "Receiver 'tarq' refused the command 'GetConfigValue': the argument 'string key' is missing."},
        {"'GetConfigValue', true", "string ", false, "not a 'string'"},
        // Without a running game and without saves these do nothing (the save games show what they do).
        {"'quickload'", "", false, ""},
        {"'quicksave'", "", false, ""},
        {"'autoload'", "", false, ""},
        {"'autosave'", "", false, ""},
        {"'focus', 1, 2, 3", "", false, "finds no focus control 'focus' of a current character"},
        {"'focus'", "", false, "finds no focus control 'focus' of a current character"},
        {"'focus', 1, 2", "", false,
         "Receiver 'tarq' refused the command 'focus': the argument 'number z' is missing."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.call);
        Restart();
        EXPECT_EQ(Lua(std::string("return sendcmd('tarq', ") + c.call + ")"), c.results);
        EXPECT_EQ(m_app->IsQuitRequested(), c.quits);
        EXPECT_EQ(m_app->GetExitCode(), EXIT_SUCCESS) << "a player's quit is no failure";
        if (*c.warning)
        {
            EXPECT_TRUE(m_log->Contains(c.warning, cl_Logger::LEVEL_WARNING));
        }
        else
        {
            EXPECT_TRUE(m_log->Lines().empty());
        }
    }
}

TEST_F(Application, OnlyQuitAnswersTrue)
{
    for (const char* name : {"quit", "GetConfigValue", "quicksave", "Unknown"})
    {
        cl_Command command(name);
        command.m_arguments.GetArg(-1)->SetString("language");
        EXPECT_EQ(m_app->ExecuteCmd(command), std::string(name) == "quit") << name;
    }
}

TEST_F(Application, AppliesSettingsWhenTheyAreLoadedOrSaved)
{
    // The demo's settings ask for quality "high".
    const int demo = 2;
    const struct
    {
        const char* key;
        const char* value;
        int quality;
        bool subtitles;
    } cases[] = {
        {"quality", "mid", 1, true},        {"quality", "high", 2, true},
        {"quality", "MID", 0, true},        {"quality", "low", 0, true},
        {"subtitle", "false", demo, false}, {"subtitle", "TRUE", demo, false},
        {"subtitle", "true", demo, true},   {"unknown", "high", demo, true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.key) + " " + c.value);
        Restart();
        // A change made in the settings pages waits until the settings are saved.
        m_app->OnPreferenceChanged(c.key, c.value, true);
        EXPECT_EQ(cl_SceneManager::GetInstance()->GetQualityLevel(), demo);
        EXPECT_TRUE(IngameMenu().HasSubtitles());

        m_app->OnPreferenceChanged(c.key, c.value, false);
        EXPECT_EQ(cl_SceneManager::GetInstance()->GetQualityLevel(), c.quality);
        EXPECT_EQ(IngameMenu().HasSubtitles(), c.subtitles);
    }
}

TEST_F(Application, SavingTheSettingsAppliesWhatWasChanged)
{
    cl_Config& config = *cl_Config::GetInstance();
    config.SetValue("quality", "mid");
    EXPECT_EQ(cl_SceneManager::GetInstance()->GetQualityLevel(), 2) << "the demo's high";
    config.Save();
    EXPECT_EQ(cl_SceneManager::GetInstance()->GetQualityLevel(), 1);

    // Before OGRE runs there is no render setting to change and nothing to save for it.
    config.SetValue("resolution", "1024 x 768 @ 32-bit colour");
    config.SetValue("FSAA", "4");
    config.Save();
    EXPECT_FALSE(boost::filesystem::exists(m_game.UserFile("ogre.cfg")));
}

TEST_F(Application, ReadsACursorsFilesOnlyTheFirstTimeItIsAsked)
{
    CursorBitmap bitmap;
    bitmap.width = 2;
    bitmap.height = 2;
    bitmap.colours = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    const std::string folder = m_game.PathOf("data/interface/textures/");
    boost::filesystem::create_directories(folder);
    for (const char* file : {"probe.cur", "probe_small.cur"})
        ASSERT_TRUE(WriteBytes(folder + file, EncodeCursorFile(bitmap, 0, 0)));
    m_app->LoadCursor("probe");

    // Gone now: reading them again would be logged.
    boost::filesystem::remove(folder + "probe.cur");
    boost::filesystem::remove(folder + "probe_small.cur");
    m_log->Clear();
    m_app->LoadCursor("probe");
    EXPECT_EQ(Mentions("probe"), 0u);

    m_app->LoadCursor("missing");
    EXPECT_EQ(Mentions("data/interface/textures/missing.cur"), 1u);
    EXPECT_EQ(Mentions("data/interface/textures/missing_small.cur"), 1u);
    m_log->Clear();
    m_app->LoadCursor("missing");
    EXPECT_EQ(Mentions("missing"), 0u);
}
} // namespace
