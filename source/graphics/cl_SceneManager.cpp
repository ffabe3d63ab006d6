#include "graphics/cl_SceneManager.h"

#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_ScenePool.h"
#include "common/LogCall.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "graphics/cl_Scene.h"

namespace
{
// The event goes to the scene's asset at once; data is the other scene's id.
void SendToScene(const std::string& sceneId, const char* event, const std::string& data)
{
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools)
        return;
    cl_Argument argument;
    argument.SetString(data);
    pools->SendToAsset(pools->FindAsset(sceneId), event, argument, 0.0f);
}
} // namespace

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

void cl_SceneManager::SwitchScene(const std::string& target, const std::string& /*backdrop*/, bool sendEvents)
{
    if (target != m_currentSceneName)
    {
        if (sendEvents && !m_currentSceneName.empty())
            SendToScene(m_currentSceneName, "scene.Leave", target);
        const std::string oldScene = m_currentSceneName;
        m_currentSceneName = target;
        if (cl_GameState* gameState = cl_GameState::GetInstance())
            gameState->SetCurrentSceneId(target);
        if (sendEvents)
            SendToScene(target, "scene.Enter", oldScene);
    }
    if (m_curtain)
        m_curtain->FadeFromBlack(1.0f);
    m_changePending = false;
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

void cl_SceneManager::SwitchToCharacter(const std::string& characterId)
{
    m_switchTarget = characterId;
    m_characterSwitchPending = true;
}

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
