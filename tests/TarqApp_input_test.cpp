#include "TarqApp.h"

#include "assets/cl_Asset.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "common/FileHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_VideoPlayer.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "minigames/cl_MinigameManager.h"
#include "platform/HardwareCursor.h"
#include "support/DemoWorkingFolder.h"
#include "support/FunctionReceiver.h"
#include "support/GameComponentsStandIns.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/RecordingMinigame.h"

#include <OIS.h>
#include <OgreCamera.h>
#include <OgreFrameListener.h>
#include <OgreSceneManager.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const int WIDTH = 640;
const int HEIGHT = 480;

// "0.25 0.5": a normalised point as the records show it.
std::string Point(float x, float y)
{
    std::ostringstream text;
    text << x << ' ' << y;
    return text.str();
}

// A loaded scene whose queries answer as the test sets them, and note where they were asked.
class ProbeScene final : public cl_Scene
{
public:
    ProbeScene(Calls& seen, bool hasBackdrop)
        : cl_Scene(TiXmlElement("scene")), m_hasBackdrop(hasBackdrop), m_seen(seen)
    {
    }

    bool HasBackdrop() const override { return m_hasBackdrop; }

    cl_ItemAsset* PickItem(float x, float y) const override
    {
        m_seen.push_back("pick " + Point(x, y));
        return picked;
    }
    bool RayQuery(float x, float y, uint32_t mask, Ogre::Vector3& position) const override
    {
        m_seen.push_back("ray " + Point(x, y) + " mask " + std::to_string(mask));
        if (groundHit)
            position = Ogre::Vector3(1, 0, 2);
        return groundHit;
    }
    bool HandleExitClick(float x, float y) override
    {
        m_seen.push_back("exit " + Point(x, y));
        return exitTakesClick;
    }

    cl_ItemAsset* picked = nullptr;
    bool groundHit = false;
    bool exitTakesClick = false;

private:
    bool m_hasBackdrop;
    Calls& m_seen;
};

// The hero's chart of the demo, reduced to passing on the events the input routing sends him.
const char* const HERO_CHART = R"(<?xml version="1.0" encoding="UTF-8"?>
<scxml initialstate="here">
  <state id="here">
    <transition event="character.Move"><script>sendcmd("probe", "character.Move")</script></transition>
    <transition event="character.Moved"><script>sendcmd("probe", "character.Moved")</script></transition>
    <transition event="character.Interact"><script>sendcmd("probe", "character.Interact")</script></transition>
  </state>
</scxml>
)";

// How a case finds the game before its input, as words of SETTING_WORDS.
using Setting = std::vector<std::string>;
const Setting SETTING_WORDS = {
    "main menu",
    "no scene",
    "no backdrop",
    "minigame",
    "video",
    "dialog",
    "interaction blocked",
    "scene switch",
    "door under the mouse",
    "key held",
    "exit",
    "no ground",
    "nobody controlled",
    "blocking sequence on move",
};

// The application over the demo's new game, in the game mode, with the hero as the controlled character.
// Its hub has recording stand-ins for the sequence player and the dialog system. What the minigame, the
// scene's queries and the hero's logic saw goes to m_seen in order; what the hub asked of its stand-ins
// to m_hubCalls.
class Input : public testing::Test
{
protected:
    void SetUp() override { Start(); }
    void TearDown() override { Stop(); }

    void Start()
    {
        std::ofstream(m_game.PathOf("pimb/chapter1/charts/hero.scxml")) << HERO_CHART;
        cl_GameComponents::Components components;
        components.sequencePlayer = std::make_unique<RecordingSequencePlayer>(m_hubCalls);
        components.dialogSystem = std::make_unique<RecordingDialogSystem>(m_hubCalls);
        components.videoPlayer = std::make_unique<RecordingVideoPlayer>();
        m_app = std::make_unique<TarqApp>(std::move(components));
        m_log = std::make_unique<LogCapture>();
        m_probe = std::make_unique<FunctionReceiver>(*cl_ScriptSystem::GetInstance(), "probe",
                                                     [this](cl_Command& command)
                                                     {
                                                         m_seen.push_back("event " + command.m_name);
                                                         if (m_onEvent)
                                                             m_onEvent(command.m_name);
                                                         return true;
                                                     });

        cl_GameState& gameState = *cl_GameState::GetInstance();
        gameState.SwitchChapter(m_game.PathOf("pimb/chapter1/"), "", nullptr);
        TiXmlDocument document;
        document.Parse(ReadTextFile(m_game.PathOf("pimb/chapter1/gamestate.xml")).c_str());
        ASSERT_TRUE(document.RootElement() && gameState.ReplaceTree(*document.RootElement()));
        cl_CharacterManager::GetInstance()->AddCharacter(
            std::make_unique<cl_Character>(m_ogre.SceneManager(), nullptr, HERO));
        Hub().SetCurrentCharacter(HERO);
        ASSERT_NE(Hub().GetCurrentCharacter(), nullptr);
        m_app->SetMode(TarqApp::MODE_INGAME);
    }

    void Stop()
    {
        m_onEvent = nullptr;
        m_probe.reset();
        m_log.reset();
        m_app.reset();
    }

    // A new application in the mode, with a loaded scene (with a backdrop, ground under the mouse and the
    // key as its pick) unless the setting says otherwise; the records are emptied.
    void Arrange(int mode, const Setting& setting)
    {
        Stop();
        Start();
        const auto has = [&setting](const char* word)
        { return std::find(setting.begin(), setting.end(), word) != setting.end(); };
        for (const std::string& word : setting)
        {
            if (std::find(SETTING_WORDS.begin(), SETTING_WORDS.end(), word) == SETTING_WORDS.end())
                ADD_FAILURE() << "no such setting: " << word;
        }

        // Added first, so that the splash and "easy" modes start it in their own way.
        if (has("minigame"))
            cl_MinigameManager::GetInstance()->AddMinigame(
                "default", std::make_unique<RecordingMinigame>("minigame", m_seen));
        m_app->SetMode(has("main menu") ? TarqApp::MODE_MAINMENU : mode);
        if (has("minigame") && !cl_MinigameManager::GetInstance()->GetCurrentMinigame())
            cl_MinigameManager::GetInstance()->StartMinigame("puzzle", nullptr);
        if (!has("no scene"))
        {
            ProbeScene& scene = LoadScene(!has("no backdrop"));
            scene.groundHit = !has("no ground");
            scene.exitTakesClick = has("exit");
        }
        if (has("door under the mouse"))
            Hub().SetMouseOverObject(Item("items_door"));
        if (has("key held"))
            Hub().SetSelectedItem(Item("items_key"));
        if (has("video"))
            Hub().GetVideoPlayer().Play("intro.ogv");
        Dialogs().queryPending = has("dialog");
        Scenes().SetInteractionBlocked(has("interaction blocked"));
        Scenes().SetChangePending(has("scene switch"));
        if (has("nobody controlled"))
            cl_CharacterManager::GetInstance()->UnloadCharacters();
        if (has("blocking sequence on move"))
            m_onEvent = [this](const std::string& event)
            {
                if (event == "character.Move")
                    Sequences().Play("cutscene", false);
            };
        m_seen.clear();
        m_hubCalls.clear();
    }

    static cl_GameComponents& Hub() { return *cl_GameComponents::GetInstance(); }
    RecordingSequencePlayer& Sequences()
    {
        return static_cast<RecordingSequencePlayer&>(Hub().GetSequencePlayer());
    }
    RecordingDialogSystem& Dialogs() { return static_cast<RecordingDialogSystem&>(Hub().GetDialogSystem()); }
    static cl_IngameMenu& IngameMenu() { return cl_GUISystem::GetInstance()->GetIngameMenu(); }
    static cl_SceneManager& Scenes() { return *cl_SceneManager::GetInstance(); }
    static cl_ItemAsset* Item(const std::string& id)
    {
        return dynamic_cast<cl_ItemAsset*>(cl_PoolManager::GetInstance()->FindAsset(id));
    }
    // Puts a probe scene in place as the loaded scene, with the key as its pick, and returns it.
    ProbeScene& LoadScene(bool hasBackdrop)
    {
        auto scene = std::make_unique<ProbeScene>(m_seen, hasBackdrop);
        ProbeScene& probe = *scene;
        probe.picked = Item("items_key");
        Scenes().SetLoadedScene(std::move(scene));
        return probe;
    }

public:
    // The events as the devices send them, with the mouse at (x, y) in a window of WIDTH x HEIGHT.
    void KeyPressed(OIS::KeyCode key) { Keys().keyPressed(OIS::KeyEvent(nullptr, key, 0)); }
    void KeyReleased(OIS::KeyCode key) { Keys().keyReleased(OIS::KeyEvent(nullptr, key, 0)); }
    void MouseMoved(int x, int y) { Mouse().mouseMoved(MouseEvent(x, y)); }
    void MousePressed(int x, int y, OIS::MouseButtonID button)
    {
        Mouse().mousePressed(MouseEvent(x, y), button);
    }
    void MouseReleased(int x, int y, OIS::MouseButtonID button)
    {
        Mouse().mouseReleased(MouseEvent(x, y), button);
    }

protected:
    bool Frame(float seconds)
    {
        Ogre::FrameEvent event{};
        event.timeSinceLastFrame = seconds;
        return m_app->UpdateFrame(event);
    }

    static const char* const HERO;

    // The hero and the hover pass's cameras need OGRE.
    HeadlessOgre m_ogre;
    DemoWorkingFolder m_game{QUILLMERE_DEMO_DIR};
    Calls m_seen;
    Calls m_hubCalls;
    // Run by the probe after noting an event that reached the hero's logic.
    std::function<void(const std::string& event)> m_onEvent;
    std::unique_ptr<TarqApp> m_app;

private:
    OIS::KeyListener& Keys() { return *m_app; }
    OIS::MouseListener& Mouse() { return *m_app; }
    // The event keeps a reference to the state it was made of.
    OIS::MouseEvent MouseEvent(int x, int y)
    {
        m_mouseState.width = WIDTH;
        m_mouseState.height = HEIGHT;
        m_mouseState.X.abs = x;
        m_mouseState.Y.abs = y;
        return OIS::MouseEvent(nullptr, m_mouseState);
    }

    OIS::MouseState m_mouseState;
    std::unique_ptr<LogCapture> m_log;
    std::unique_ptr<FunctionReceiver> m_probe;
};

const char* const Input::HERO = "characters_hero";

TEST_F(Input, EscapeStopsAVideoOrSwitchesBetweenGameAndMainMenu)
{
    const struct
    {
        const char* name;
        int mode;
        Setting setting;
        int modeAfter;
        Calls seen; // by the minigame
        Calls hubCalls;
    } cases[] = {
        {"main menu with a loaded scene: back to the game", 1, {}, 3, {}, {}},
        {"main menu without a scene stays", 1, {"no scene"}, 1, {}, {}},
        {"game: to the main menu", 3, {}, 1, {}, {}},
        {"game during a dialog: out of the dialog", 3, {"dialog"}, 3, {}, {"ChooseExitTopic"}},
        {"game with a minigame running", 3, {"minigame"}, 3, {"minigame key pressed 1"}, {}},
        {"game while the player may not interact", 3, {"interaction blocked"}, 3, {}, {}},
        {"video in the game: only the video stops", 3, {"video"}, 3, {}, {}},
        {"video in the main menu: only the video stops", 1, {"video"}, 1, {}, {}},
        {"video during a dialog: the dialog goes on", 3, {"video", "dialog"}, 3, {}, {}},
        {"video with a minigame: the minigame still gets the key",
         3,
         {"video", "minigame"},
         3,
         {"minigame key pressed 1"},
         {}},
        {"loading", 2, {}, 2, {}, {}},
        {"start splash", 5, {"minigame"}, 5, {"minigame key pressed 1"}, {}},
        {"end splash", 6, {"minigame"}, 6, {"minigame key pressed 1"}, {}},
        {"easy minigame", 7, {"minigame"}, 7, {"minigame key pressed 1"}, {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Arrange(c.mode, c.setting);
        KeyPressed(OIS::KC_ESCAPE);
        EXPECT_EQ(m_app->GetMode(), c.modeAfter);
        EXPECT_FALSE(Hub().GetVideoPlayer().IsPlaying());
        EXPECT_EQ(m_seen, c.seen);
        EXPECT_EQ(m_hubCalls, c.hubCalls);
    }
}

TEST_F(Input, OtherKeysGoToTheMinigameAndChangeNothingElse)
{
    Arrange(TarqApp::MODE_INGAME, {"video", "minigame"});
    KeyPressed(OIS::KC_SPACE);
    KeyReleased(OIS::KC_SPACE);
    KeyReleased(OIS::KC_ESCAPE);
    EXPECT_EQ(m_seen,
              (Calls{"minigame key pressed 57", "minigame key released 57", "minigame key released 1"}));
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_INGAME);
    EXPECT_TRUE(Hub().GetVideoPlayer().IsPlaying());
}

TEST_F(Input, ButtonReleasesGoToTheMinigameTheHubTheExitOrAWalk)
{
    const Calls walk = {"exit 0.25 0.5", "ray 0.25 0.5 mask 4", "event character.Move",
                        "event character.Moved"};
    const Calls noWalk = {"exit 0.25 0.5", "ray 0.25 0.5 mask 4"};
    const struct
    {
        const char* name;
        OIS::MouseButtonID button;
        Setting setting;
        Calls seen;
        const char* heldAfter;
    } cases[] = {
        // The press reaches the running minigame through the GUI, also under the main menu.
        {"main menu: the GUI only",
         OIS::MB_Left,
         {"main menu", "minigame", "door under the mouse"},
         {"minigame pressed 0.25 0.5 0"},
         "null"},
        {"main menu, right button: the GUI only", OIS::MB_Right, {"main menu", "key held"}, {}, "items_key"},
        {"a running minigame takes a left click",
         OIS::MB_Left,
         {"minigame", "door under the mouse"},
         {"minigame pressed 0.25 0.5 0", "minigame click 0.25 0.5 0"},
         "null"},
        {"a running minigame takes a right click",
         OIS::MB_Right,
         {"minigame", "key held"},
         {"minigame pressed 0.25 0.5 1", "minigame click 0.25 0.5 1"},
         "items_key"},
        {"an object under the mouse: the hub interacts",
         OIS::MB_Left,
         {"door under the mouse"},
         {"event character.Interact"},
         "null"},
        {"a held item ends a click the hub did not use", OIS::MB_Left, {"key held"}, {}, "items_key"},
        {"the scene's exit takes the click", OIS::MB_Left, {"exit"}, {"exit 0.25 0.5"}, "null"},
        {"a walk on the ground", OIS::MB_Left, {}, walk, "null"},
        {"a blocking sequence: the hero hears of the move but does not walk",
         OIS::MB_Left,
         {"blocking sequence on move"},
         {"exit 0.25 0.5", "ray 0.25 0.5 mask 4", "event character.Move"},
         "null"},
        {"no ground under the mouse", OIS::MB_Left, {"no ground"}, noWalk, "null"},
        {"nobody to walk", OIS::MB_Left, {"nobody controlled"}, noWalk, "null"},
        {"no scene loaded", OIS::MB_Left, {"no scene"}, {}, "null"},
        {"right button: the hub examines, dropping the held item", OIS::MB_Right, {"key held"}, {}, "null"},
        {"middle button: the GUI only",
         OIS::MB_Middle,
         {"door under the mouse", "key held"},
         {},
         "items_key"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Arrange(TarqApp::MODE_INGAME, c.setting);
        MousePressed(WIDTH / 4, HEIGHT / 2, c.button);
        MouseReleased(WIDTH / 4, HEIGHT / 2, c.button);
        EXPECT_EQ(m_seen, c.seen);
        EXPECT_EQ(IdOf(Hub().GetSelectedItem()), c.heldAfter);
    }
}

TEST_F(Input, ClicksBeyondTheWindowCountAsOnItsBorder)
{
    Arrange(TarqApp::MODE_INGAME, {"minigame"});
    // OIS on X11 lets the position leave the window while it does not grab the mouse.
    MouseReleased(-6, HEIGHT + 2, OIS::MB_Left);
    MouseReleased(WIDTH + 1, -1, OIS::MB_Right);
    EXPECT_EQ(m_seen, (Calls{"minigame click 0 1 0", "minigame click 1 0 1"}));
}

TEST_F(Input, TheEndOfAWalkIsToldToTheCurrentCharactersLogic)
{
    m_app->OnDone(ISyncedActionInitiator::RESULT_ABORTED);
    EXPECT_EQ(m_seen, Calls{"event character.Moved"});

    // A character without asset, and none at all, hear nothing and break nothing.
    for (const char* id : {"characters_nobody", ""})
    {
        m_seen.clear();
        cl_GameState::GetInstance()->SetCurrentCharacterId(id);
        m_app->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
        EXPECT_TRUE(m_seen.empty()) << id;
    }
}

TEST_F(Input, KeyReleasesMouseMovesAndButtonReleasesResetTheIdleTime)
{
    const struct
    {
        const char* name;
        std::function<void(Input&)> event;
        bool resets;
    } cases[] = {
        {"key pressed", [](Input& test) { test.KeyPressed(OIS::KC_A); }, false},
        {"key released", [](Input& test) { test.KeyReleased(OIS::KC_A); }, true},
        {"mouse moved", [](Input& test) { test.MouseMoved(10, 10); }, true},
        {"button pressed", [](Input& test) { test.MousePressed(10, 10, OIS::MB_Left); }, false},
        {"button released", [](Input& test) { test.MouseReleased(10, 10, OIS::MB_Left); }, true},
        {"other button released", [](Input& test) { test.MouseReleased(10, 10, OIS::MB_Button3); }, true},
    };
    for (const int mode : {TarqApp::MODE_MAINMENU, TarqApp::MODE_INGAME})
    {
        m_app->SetMode(mode);
        for (const auto& c : cases)
        {
            SCOPED_TRACE(std::string(c.name) + " in mode " + std::to_string(mode));
            Frame(0.5f);
            ASSERT_GT(m_app->GetIdleTime(), 0.0f);
            c.event(*this);
            EXPECT_EQ(m_app->GetIdleTime() == 0.0f, c.resets);
        }
    }
}

TEST_F(Input, TheSystemCursorHidesInsideTheWindowWhileTheMenuDrawsThePointer)
{
    const struct
    {
        int x;
        int y;
        int countAfter; // the display counter: the cursor shows while it is 0 or more
    } moves[] = {
        {320, 240, -1},
        {321, 240, -1}, // no further down while inside
        {0, 240, 0},
        {0, 241, 0},
        {WIDTH, 240, 0},
        {320, 0, 0},
        {320, HEIGHT, 0},
        {WIDTH - 1, 240, -1},
        // OIS on X11 lets the position leave the window: beyond the border is on it.
        {-6, 240, 0},
        {1, 1, -1},
        {WIDTH + 3, 240, 0},
        {1, 1, -1},
        {320, -1, 0},
        {1, 1, -1},
        {320, HEIGHT + 1, 0},
    };
    const auto resetCounter = []
    {
        while (platform::CursorDisplayCount() < 0)
            platform::ShowCursor(true);
        while (platform::CursorDisplayCount() > 0)
            platform::ShowCursor(false);
    };

    resetCounter();
    IngameMenu().SetHardwareCursor(false);
    for (const auto& move : moves)
    {
        MouseMoved(move.x, move.y);
        EXPECT_EQ(platform::CursorDisplayCount(), move.countAfter) << move.x << ", " << move.y;
    }

    // With the hardware cursor the counter is left alone.
    resetCounter();
    IngameMenu().SetHardwareCursor(true);
    MouseMoved(320, 240);
    EXPECT_EQ(platform::CursorDisplayCount(), 0);
}

// The hover pass needs cameras.
class Hover : public Input
{
protected:
    Ogre::Camera* m_locationCam = m_ogre.SceneManager().createCamera("LocationCam");
    Ogre::Camera* m_shotCam = m_ogre.SceneManager().createCamera("shot_01");
};

TEST_F(Hover, TheObjectUnderTheMouseIsPickedOnlyThroughTheLocationCamera)
{
    const struct
    {
        const char* name;
        const char* camera; // "" for none set
        Setting setting;
        const char* underMouse;
        Calls seen; // by the scene
    } cases[] = {
        {"the location camera picks", "LocationCam", {}, "items_key", {"pick 0.5 0.25"}},
        {"a cutscene camera lets go", "shot_01", {}, "null", {}},
        {"no camera lets go", "", {}, "null", {}},
        {"without a backdrop nothing changes", "LocationCam", {"no backdrop"}, "items_door", {}},
        {"a dialog keeps the object", "LocationCam", {"dialog"}, "items_door", {}},
        {"a minigame lets go", "LocationCam", {"minigame"}, "null", {}},
        {"a scene switch lets go", "LocationCam", {"scene switch"}, "null", {}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Setting setting = c.setting;
        setting.push_back("door under the mouse");
        Arrange(TarqApp::MODE_INGAME, setting);
        if (*c.camera)
            m_app->SetCamera(std::string(c.camera) == "LocationCam" ? m_locationCam : m_shotCam);
        MouseMoved(WIDTH / 2, HEIGHT / 4);
        m_seen.clear();

        Frame(0.1f);
        EXPECT_EQ(IdOf(Hub().GetMouseOverObject()), c.underMouse);
        EXPECT_EQ(m_seen, c.seen);
    }
}

TEST_F(Hover, ThePickUsesWhereTheMouseWasLastSeenOverABackdrop)
{
    m_app->SetCamera(m_locationCam);
    LoadScene(true);
    MouseMoved(WIDTH / 2, HEIGHT / 2);
    LoadScene(false);
    MouseMoved(WIDTH / 4, HEIGHT / 4);
    LoadScene(true);
    m_seen.clear();

    Frame(0.1f);
    EXPECT_EQ(m_seen, Calls{"pick 0.5 0.5"});
    EXPECT_EQ(IdOf(Hub().GetMouseOverObject()), "items_key");
}
} // namespace
