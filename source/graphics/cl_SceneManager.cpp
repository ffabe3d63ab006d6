#include "graphics/cl_SceneManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_SceneManager::cl_SceneManager(cl_CommandDistributor& distributor)
    : m_sceneParser("scene", this), m_receiver(distributor, "scenemanager", this)
{
}

void cl_SceneManager::Init() {}

void cl_SceneManager::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_SceneManager::UnloadGroup(const std::string&) {}

bool cl_SceneManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_SceneManager::SetQualityLevel(int level)
{
    m_qualityLevel = level;
}

void cl_SceneManager::UnloadScene()
{
    m_currentSceneName.clear();
}
