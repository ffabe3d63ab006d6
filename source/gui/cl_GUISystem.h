#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "gui/cl_IngameMenu.h"
#include "gui/cl_MainMenu.h"

#include <OISKeyboard.h>
#include <OISMouse.h>

#include <map>
#include <memory>
#include <string>

struct lua_State;

namespace Ogre
{
class Camera;
class SceneManager;
} // namespace Ogre

// The user interface: owns the in-game menu and the main menu, answers the receiver "gui", receives every
// input event last and routes it to the in-game menu, the main menu and the running minigame, and runs the
// interface's frame in the game time "gui".
class cl_GUISystem : public ISingleton<cl_GUISystem>, public ICommandReceiver, public IGameTimeListener
{
public:
    // Registers as the receiver "gui" with distributor, which must outlive it. mainMenu: the main menu to
    // own (null: the ordinary one).
    explicit cl_GUISystem(cl_CommandDistributor& distributor,
                          std::unique_ptr<cl_MainMenu> mainMenu = nullptr);
    ~cl_GUISystem() override;

    // Called once when the application builds its scene (the arguments are not needed): registers the
    // element type "TarqTextArea" with OGRE's overlay manager, joins the game time "gui" and has the in-game
    // menu build its overlays. Without an overlay manager only the game time.
    void Init(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, lua_State* lua);

    // The receiver "gui": the commands of COMMANDS in cl_GUISystem.cpp. Only "print" answers true; an
    // unknown name does nothing.
    bool ExecuteCmd(cl_Command& cmd) override;

    // The command text (Lua) that ExecuteKeyBinding runs for the key (OIS key code); a key bound again
    // gets the new text.
    void BindKey(int key, const std::string& command);
    // Runs the key's command text through the script system; nothing for a key without one.
    void ExecuteKeyBinding(int key);

    // The interface's frame: the hotspot timer and markers, the pointer, the views and the main menu.
    void Update(float dt) override;

    // Input, after the application's own handling. Space shows the hotspot markers while the in-game menu
    // is shown; keys and typed text (with the number-pad digits once more) go to the shown main menu;
    // the mouse moves the pointer and reaches the main menu or the running minigame.
    void KeyPressed(const OIS::KeyEvent& event);
    void KeyReleased(const OIS::KeyEvent& event);
    void MouseMoved(const OIS::MouseEvent& event);
    void MousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button);
    void MouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button);

    cl_IngameMenu& GetIngameMenu() { return m_ingameMenu; }
    cl_MainMenu& GetMainMenu() { return *m_mainMenu; }
    // The last mouse position and movement, from 0 to 1 across the window.
    float GetMouseX() const { return m_mouseX; }
    float GetMouseY() const { return m_mouseY; }
    float GetMouseDX() const { return m_mouseDX; }
    float GetMouseDY() const { return m_mouseDY; }

private:
    float m_mouseX = 0.0f;
    float m_mouseY = 0.0f;
    float m_mouseDX = 0.0f;
    float m_mouseDY = 0.0f;
    cl_IngameMenu m_ingameMenu;
    std::unique_ptr<cl_MainMenu> m_mainMenu;
    std::map<int, std::string> m_keyBindings;
    cl_ReceiverRegistration m_receiver;
    std::unique_ptr<cl_GameTimeRegistration> m_gameTime;
};
