#include "graphics/cl_EffectManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_EffectManager::cl_EffectManager(cl_CommandDistributor& distributor)
    : m_receiver(distributor, "effectmanager", this)
{
}

bool cl_EffectManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_EffectManager::LoadEffects(const TiXmlElement*, const cl_SceneLoader&, Ogre::SceneManager*) {}

void cl_EffectManager::UnloadEffects(const TiXmlElement*) {}
