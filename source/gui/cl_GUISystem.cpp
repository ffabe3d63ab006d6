#include "gui/cl_GUISystem.h"

#include "common/CommandArguments.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"
#include "gui/cl_MorvelMainMenu.h"
#include "gui/cl_TarqTextAreaOverlayElementFactory.h"
#include "minigames/cl_Minigame.h"
#include "minigames/cl_MinigameManager.h"

#include <Overlay/OgreOverlayManager.h>
#include <Overlay/OgreUTFString.h>

#include <vector>

namespace
{
struct CommandRow
{
    const char* name;
    const char* arguments;
    bool answer;
    void (*run)(cl_GUISystem& gui, const CommandArguments& args);
};

// The receiver "gui". Sizes and places are fractions of the screen.
const CommandRow COMMANDS[] = {
    // Does nothing; scripts use it to see that the interface answers.
    {"print", "", true, [](cl_GUISystem&, const CommandArguments&) {}},
    // The Lua text that ExecuteKeyBinding runs for the OIS key code.
    {"bindkey", "int key, string command", false,
     [](cl_GUISystem& gui, const CommandArguments& args) { gui.BindKey(args.Int(0), args.String(1)); }},
    // The character height of the in-game texts.
    {"setfontsize", "number size", false,
     [](cl_GUISystem& gui, const CommandArguments& args) { gui.GetIngameMenu().SetFontSize(args.Float(0)); }},
    // Makes the panel, or moves an existing one of that name (its material then stays).
    {"addCustomOverlay", "string name, string material, number left, number top, number width, number height",
     false,
     [](cl_GUISystem& gui, const CommandArguments& args)
     {
         gui.GetIngameMenu().AddCustomOverlay(args.String(0), args.String(1), args.Float(2), args.Float(3),
                                              args.Float(4), args.Float(5));
     }},
    {"removeCustomOverlay", "string name", false,
     [](cl_GUISystem& gui, const CommandArguments& args)
     { gui.GetIngameMenu().RemoveCustomOverlay(args.String(0)); }},
};

// The number-pad keys (OIS key codes) and the digits they type.
const struct
{
    int key;
    const char* digit;
} NUMBER_PAD[] = {
    {82, "0"}, {79, "1"}, {80, "2"}, {81, "3"}, {75, "4"},
    {76, "5"}, {77, "6"}, {71, "7"}, {72, "8"}, {73, "9"},
};

// The position on one axis from 0 to 1 across the window; 0 while the window has no size.
float Fraction(int value, int size)
{
    return size > 0 ? static_cast<float>(value) / static_cast<float>(size) : 0.0f;
}

// The texts a key press types into the main menu's entry: its character when printable, and for a
// number-pad key its digit as well.
std::vector<std::string> TypedTexts(int key, unsigned int text)
{
    std::vector<std::string> texts;
    if (text >= 32)
    {
        Ogre::UTFString character;
        character.push_back(static_cast<Ogre::UTFString::unicode_char>(text));
        texts.push_back(character.asUTF8());
    }
    for (const auto& numberPadKey : NUMBER_PAD)
    {
        if (numberPadKey.key == key)
            texts.emplace_back(numberPadKey.digit);
    }
    return texts;
}

cl_Minigame* CurrentMinigame()
{
    const cl_MinigameManager* minigames = cl_MinigameManager::GetInstance();
    return minigames ? minigames->GetCurrentMinigame() : nullptr;
}
} // namespace

cl_GUISystem::cl_GUISystem(cl_CommandDistributor& distributor, std::unique_ptr<cl_MainMenu> mainMenu)
    : m_mainMenu(mainMenu ? std::move(mainMenu) : std::make_unique<cl_MorvelMainMenu>()),
      m_receiver(distributor, "gui", this)
{
}

cl_GUISystem::~cl_GUISystem()
{
    m_mainMenu->DestroyCamera();
    m_gameTime.reset();
    m_ingameMenu.DestroyOverlays();
}

void cl_GUISystem::Init(Ogre::SceneManager*, Ogre::Camera*, lua_State*)
{
    Ogre::OverlayManager* overlays = Ogre::OverlayManager::getSingletonPtr();
    if (overlays)
        cl_TarqTextAreaOverlayElementFactory::AddTo(*overlays);
    m_gameTime = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "gui", 0);
    if (overlays)
        m_ingameMenu.CreateOverlays();
}

bool cl_GUISystem::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, "gui");
    const CommandRow* row = args.Find(COMMANDS, false);
    if (!row)
        return false;
    row->run(*this, args);
    return row->answer;
}

void cl_GUISystem::BindKey(int key, const std::string& command)
{
    m_keyBindings[key] = command;
}

void cl_GUISystem::ExecuteKeyBinding(int key)
{
    const auto found = m_keyBindings.find(key);
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    if (found != m_keyBindings.end() && script)
        script->ExecuteString(found->second);
}

void cl_GUISystem::Update(float dt)
{
    m_ingameMenu.AddHotspotTime(dt);
    if (m_ingameMenu.AreHotspotsShown())
        m_ingameMenu.UpdateHotspots();
    m_ingameMenu.UpdateMousePointer();
    m_ingameMenu.GetInventoryGui().Update(dt);
    m_ingameMenu.GetDialogGui().Update(dt);
    m_mainMenu->Update(dt);
}

void cl_GUISystem::KeyPressed(const OIS::KeyEvent& event)
{
    if (m_ingameMenu.IsShown() && event.key == cl_IngameMenu::SPACE_KEY && !m_ingameMenu.AreHotspotsShown())
        m_ingameMenu.PressSpace();
    if (!m_mainMenu->IsShown())
        return;
    m_mainMenu->OnKeyPressed(event.key);
    for (const std::string& text : TypedTexts(event.key, event.text))
        m_mainMenu->AddText(text);
}

void cl_GUISystem::KeyReleased(const OIS::KeyEvent& event)
{
    if (m_ingameMenu.IsShown())
        m_ingameMenu.ReleaseSpace(event.key);
}

void cl_GUISystem::MouseMoved(const OIS::MouseEvent& event)
{
    const OIS::MouseState& state = event.state;
    m_mouseX = Fraction(state.X.abs, state.width);
    m_mouseY = Fraction(state.Y.abs, state.height);
    m_mouseDX = Fraction(state.X.rel, state.width);
    m_mouseDY = Fraction(state.Y.rel, state.height);
    m_ingameMenu.MoveMouse(m_mouseX, m_mouseY);
    if (m_mainMenu->IsShown())
        m_mainMenu->OnMouseMoved(m_mouseX, m_mouseY, static_cast<float>(state.Z.rel));
    else if (cl_Minigame* minigame = CurrentMinigame())
        minigame->MouseMoved(m_mouseX, m_mouseY);
}

void cl_GUISystem::MousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button)
{
    m_ingameMenu.PressMouse();
    if (cl_Minigame* minigame = CurrentMinigame())
        minigame->MousePressed(Fraction(event.state.X.abs, event.state.width),
                               Fraction(event.state.Y.abs, event.state.height), button);
}

void cl_GUISystem::MouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID button)
{
    m_ingameMenu.ReleaseMouse();
    if (m_mainMenu->IsShown())
        m_mainMenu->OnMouseReleased(button);
}
