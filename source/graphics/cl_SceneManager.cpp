#include "graphics/cl_SceneManager.h"

#include "assets/cl_PoolManager.h"
#include "assets/cl_ScenePool.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "graphics/cl_Scene.h"

cl_SceneManager::cl_SceneManager(cl_CommandDistributor& distributor)
    : m_sceneParser("scene", this), m_receiver(distributor, "scenemanager", this)
{
}

cl_SceneManager::~cl_SceneManager() = default;

void cl_SceneManager::Init()
{
    m_curtain = std::make_unique<cl_Curtain>(this);
}

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
    m_loadedScene.reset();
    m_currentSceneName.clear();
}

void cl_SceneManager::SetLoadedScene(std::unique_ptr<cl_Scene> scene)
{
    m_loadedScene = std::move(scene);
}

void cl_SceneManager::RequestSceneChange(const std::string& targetSceneId)
{
    m_exitArmed = false;
    m_targetScene = targetSceneId;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools || !pools->GetScenePool()->FindAsset(targetSceneId))
        return;
    m_changePending = true;
    if (m_curtain)
        m_curtain->FadeToBlack(0.0f);
}

void cl_SceneManager::OnCharacterSwitchPending() {}

void cl_SceneManager::NotifyFadedToBlack()
{
    m_curtainClosed = true;
}

void cl_SceneManager::NotifyFadedIn()
{
    m_curtainClosed = false;
}

bool cl_SceneManager::IsBusy() const
{
    return m_changePending || m_characterSwitchPending || m_interactionBlocked || m_curtainClosed;
}
