#include "gui/cl_GUISystem.h"

#include "common/cl_Command.h"
#include "minigames/cl_MinigameManager.h"
#include "support/RecordingMinigame.h"
#include "support/ScriptSystemFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace
{
using Calls = std::vector<std::string>;

// A main menu that notes the input it is given.
class RecordingMainMenu final : public cl_MainMenu
{
public:
    explicit RecordingMainMenu(Calls& seen) : m_seen(seen) {}

    void OnMouseMoved(float x, float y, float wheel) override
    {
        m_seen.push_back("moved " + Number(x) + " " + Number(y) + " " + Number(wheel));
    }
    void OnMouseReleased(int button) override { m_seen.push_back("released " + std::to_string(button)); }
    void OnKeyPressed(int key) override { m_seen.push_back("key " + std::to_string(key)); }
    void AddText(const std::string& text) override { m_seen.push_back("text " + text); }

private:
    static std::string Number(float value)
    {
        std::ostringstream text;
        text << value;
        return text.str();
    }

    Calls& m_seen;
};

// The GUI system over a living script system, with a main menu that notes its input; no OGRE.
class GUISystem : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        m_gui = std::make_unique<cl_GUISystem>(m_system, std::make_unique<RecordingMainMenu>(m_mainMenu));
    }
    void TearDown() override
    {
        m_gui.reset();
        ScriptSystemFixture::TearDown();
    }

    // An argument as the Lua command bridge hands it on.
    struct Arg
    {
        enum
        {
            INT,
            DOUBLE,
            STRING
        } kind;
        double number;
        std::string text;
    };
    bool Execute(const std::string& name, const std::vector<Arg>& arguments)
    {
        cl_Command command(name);
        for (const Arg& value : arguments)
        {
            cl_Argument& argument = *command.m_arguments.GetArg(-1);
            if (value.kind == Arg::INT)
                argument.SetInt(static_cast<int>(value.number));
            else if (value.kind == Arg::DOUBLE)
                argument.SetDouble(value.number);
            else
                argument.SetString(value.text);
        }
        return m_gui->ExecuteCmd(command);
    }
    static Arg Int(int number) { return {Arg::INT, static_cast<double>(number), ""}; }
    static Arg Double(double number) { return {Arg::DOUBLE, number, ""}; }
    static Arg Text(const std::string& text) { return {Arg::STRING, 0.0, text}; }

    // An event over the window of 800 x 600 (it refers to the fixture's one mouse state).
    OIS::MouseEvent Mouse(int x, int y, int wheel = 0)
    {
        OIS::MouseState& state = m_mouseState;
        state.width = 800;
        state.height = 600;
        state.X.abs = x;
        state.Y.abs = y;
        state.X.rel = 8;
        state.Y.rel = -6;
        state.Z.rel = wheel;
        return OIS::MouseEvent(nullptr, state);
    }

    Calls m_mainMenu;
    OIS::MouseState m_mouseState;
    std::unique_ptr<cl_GUISystem> m_gui;
};

TEST_F(GUISystem, CommandsReadTheirArgumentsAndOnlyPrintAnswersTrue)
{
    const struct
    {
        const char* name;
        std::string command;
        std::vector<Arg> arguments;
        bool answer;
        float fontSize;
        const char* logged; // "" for no log line
    } cases[] = {
        {"print", "print", {}, true, 0.0375f, ""},
        {"print ignores its arguments", "print", {Text("x"), Int(3)}, true, 0.0375f, ""},
        {"setfontsize", "setfontsize", {Double(0.05)}, false, 0.05f, ""},
        {"setfontsize takes a whole number too", "setfontsize", {Int(1)}, false, 1.0f, ""},
        {"setfontsize without a size is refused",
         "setfontsize",
         {},
         false,
         0.0375f,
         "Receiver 'gui' refused the command 'setfontsize': the argument 'number size' is missing."},
        {"addCustomOverlay with five arguments is refused",
         "addCustomOverlay",
         {Text("panel"), Text("dimout"), Double(0), Double(0), Double(1)},
         false,
         0.0375f,
         "the argument 'number height' is missing"},
        {"removeCustomOverlay of an unknown name",
         "removeCustomOverlay",
         {Text("nothing")},
         false,
         0.0375f,
         ""},
        {"an unknown command does nothing", "PRINT", {}, false, 0.0375f, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_gui->GetIngameMenu().SetFontSize(0.0375f);
        m_capture.Clear();
        EXPECT_EQ(Execute(c.command, c.arguments), c.answer);
        EXPECT_FLOAT_EQ(m_gui->GetIngameMenu().GetFontSize(), c.fontSize);
        if (*c.logged)
            EXPECT_TRUE(m_capture.Contains(c.logged));
        else
            EXPECT_TRUE(m_capture.Lines().empty()) << m_capture.Lines().front().text;
    }
}

TEST_F(GUISystem, BoundKeysRunTheirLuaOnlyWhenAsked)
{
    EXPECT_FALSE(Execute("bindkey", {Int(59), Text("bound = 'first'")}));
    EXPECT_FALSE(Execute("bindkey", {Int(59), Text("bound = 'second'")}));
    // A key code given as a number with a fraction is cut to a whole one.
    Execute("bindkey", {Double(60.9), Text("other = true")});
    // A command that is no text binds nothing that runs (the argument's warning says why).
    Execute("bindkey", {Int(61), Int(7)});
    EXPECT_TRUE(m_capture.Contains("Stored data-type is not a 'string'."));
    // Missing the command: refused.
    Execute("bindkey", {Int(62)});
    EXPECT_TRUE(m_capture.Contains("the argument 'string command' is missing"));
    EXPECT_EQ(Value("bound"), "nil") << "binding runs nothing";

    for (int key : {59, 60, 61, 62, 63})
        m_gui->ExecuteKeyBinding(key);
    EXPECT_EQ(Value("bound"), "second");
    EXPECT_TRUE(IsTrue("other"));
}

TEST_F(GUISystem, KeysAndTypedTextReachTheShownMainMenu)
{
    const struct
    {
        const char* name;
        int key;
        unsigned int text;
        Calls seen;
    } cases[] = {
        {"a letter", 30, 'a', {"key 30", "text a"}},
        {"a letter beyond ASCII, as UTF-8", 26, 0xFC, {"key 26", "text \xC3\xBC"}},
        {"a number-pad digit reaches the entry twice", 79, '1', {"key 79", "text 1", "text 1"}},
        {"a number-pad digit without text once", 82, 0, {"key 82", "text 0"}},
        {"a key without text", 14, 0, {"key 14"}},
        {"a control character types nothing", 28, 13, {"key 28"}},
    };
    m_gui->GetMainMenu().CreateScene("");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_mainMenu.clear();
        m_gui->KeyPressed(OIS::KeyEvent(nullptr, static_cast<OIS::KeyCode>(c.key), c.text));
        EXPECT_EQ(m_mainMenu, c.seen);
    }

    m_gui->GetMainMenu().DestroyScene();
    m_mainMenu.clear();
    m_gui->KeyPressed(OIS::KeyEvent(nullptr, OIS::KC_A, 'a'));
    EXPECT_EQ(m_mainMenu, Calls{}) << "a hidden main menu gets nothing";
}

TEST_F(GUISystem, SpaceHoldsTheHotspotMarkersWhileTheInGameMenuIsShown)
{
    cl_IngameMenu& menu = m_gui->GetIngameMenu();
    const OIS::KeyEvent space(nullptr, OIS::KC_SPACE, ' ');
    m_gui->KeyPressed(space);
    EXPECT_TRUE(menu.AreHotspotsShown());
    m_gui->Update(0.3f);
    m_gui->KeyPressed(space); // held: the key repeats
    EXPECT_FLOAT_EQ(menu.GetHotspotTimer(), 0.3f) << "a repeated press starts nothing anew";
    m_gui->KeyReleased(OIS::KeyEvent(nullptr, OIS::KC_A, 'a'));
    EXPECT_TRUE(menu.AreHotspotsShown()) << "only Space's release ends them";
    m_gui->KeyReleased(space);
    EXPECT_FALSE(menu.AreHotspotsShown());

    menu.Hide();
    m_gui->KeyPressed(space);
    EXPECT_FALSE(menu.AreHotspotsShown());
}

TEST_F(GUISystem, TheMouseReachesTheMainMenuElseTheRunningMinigame)
{
    cl_MinigameManager minigames;
    Calls seen;
    minigames.AddMinigame("puzzle", std::make_unique<RecordingMinigame>("puzzle", seen));
    minigames.StartMinigame("puzzle", nullptr);
    seen.clear();

    m_gui->GetMainMenu().CreateScene("");
    m_gui->MouseMoved(Mouse(200, 300, 120));
    m_gui->MousePressed(Mouse(200, 300), OIS::MB_Right);
    m_gui->MouseReleased(Mouse(200, 300), OIS::MB_Right);
    EXPECT_EQ(m_mainMenu, (Calls{"moved 0.25 0.5 120", "released 1"}));
    EXPECT_EQ(seen, Calls{"puzzle pressed 0.25 0.5 1"})
        << "presses reach the minigame also under the main menu";
    EXPECT_FLOAT_EQ(m_gui->GetMouseX(), 0.25f);
    EXPECT_FLOAT_EQ(m_gui->GetMouseY(), 0.5f);
    EXPECT_FLOAT_EQ(m_gui->GetMouseDX(), 0.01f);
    EXPECT_FLOAT_EQ(m_gui->GetMouseDY(), -0.01f);

    m_gui->GetMainMenu().DestroyScene();
    m_mainMenu.clear();
    seen.clear();
    m_gui->MouseMoved(Mouse(400, 150));
    m_gui->MouseReleased(Mouse(400, 150), OIS::MB_Left);
    EXPECT_EQ(m_mainMenu, Calls{});
    EXPECT_EQ(seen, Calls{"puzzle moved 0.5 0.25"});
}
} // namespace
