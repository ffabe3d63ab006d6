#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"
#include "gui/cl_IngameMenu.h"
#include "gui/cl_MorvelMainMenu.h"

#include <OISKeyboard.h>
#include <OISMouse.h>

struct lua_State;

namespace Ogre
{
class Camera;
class SceneManager;
} // namespace Ogre

// The user interface: owns the in-game menu and the main menu and receives every input event last.
class cl_GUISystem : public ISingleton<cl_GUISystem>, public ICommandReceiver
{
public:
    // Registers as the receiver "gui" with distributor, which must outlive it.
    explicit cl_GUISystem(cl_CommandDistributor& distributor);

    // Called once when the application builds its scene, with the game scene manager, the camera and
    // the script system's Lua state; nothing is built from them yet.
    void Init(Ogre::SceneManager* sceneManager, Ogre::Camera* camera, lua_State* lua);

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Input, after the application's own handling; nothing reacts to it yet.
    void KeyPressed(const OIS::KeyEvent& event);
    void KeyReleased(const OIS::KeyEvent& event);
    void MouseMoved(const OIS::MouseEvent& event);
    void MousePressed(const OIS::MouseEvent& event, OIS::MouseButtonID button);
    void MouseReleased(const OIS::MouseEvent& event, OIS::MouseButtonID button);

    cl_IngameMenu& GetIngameMenu() { return m_ingameMenu; }
    cl_MainMenu& GetMainMenu() { return m_mainMenu; }

private:
    cl_IngameMenu m_ingameMenu;
    cl_MorvelMainMenu m_mainMenu;
    cl_ReceiverRegistration m_receiver;
};
