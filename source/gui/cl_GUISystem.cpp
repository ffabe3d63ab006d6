#include "gui/cl_GUISystem.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_GUISystem::cl_GUISystem(cl_CommandDistributor& distributor) : m_receiver(distributor, "gui", this) {}

void cl_GUISystem::Init(Ogre::SceneManager*, Ogre::Camera*, lua_State*) {}

bool cl_GUISystem::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_GUISystem::KeyPressed(const OIS::KeyEvent&) {}

void cl_GUISystem::KeyReleased(const OIS::KeyEvent&) {}

void cl_GUISystem::MouseMoved(const OIS::MouseEvent&) {}

void cl_GUISystem::MousePressed(const OIS::MouseEvent&, OIS::MouseButtonID) {}

void cl_GUISystem::MouseReleased(const OIS::MouseEvent&, OIS::MouseButtonID) {}
