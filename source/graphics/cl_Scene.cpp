#include "graphics/cl_Scene.h"

#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Patch.h"

#include <OgreSceneManager.h>

namespace
{
const char* const ROOT_NODE = "_game";
} // namespace

cl_Scene::cl_Scene(cl_SceneAsset* asset, bool hasBackdrop) : m_asset(asset), m_hasBackdrop(hasBackdrop) {}

cl_Scene::~cl_Scene() = default;

cl_ItemAsset* cl_Scene::PickItem(float, float) const
{
    return nullptr;
}

bool cl_Scene::RayQuery(float, float, uint32_t, Ogre::Vector3&) const
{
    return false;
}

bool cl_Scene::HandleExitClick(float, float)
{
    return false;
}

void cl_Scene::GetHotSpots(HotSpots& hotSpots) const
{
    hotSpots.clear();
}

cl_Navmesh& cl_Scene::AddNavmesh(const std::string& name)
{
    std::unique_ptr<cl_Navmesh>& navmesh = m_navmeshes[name];
    if (!navmesh)
        navmesh = std::make_unique<cl_Navmesh>();
    return *navmesh;
}

cl_Navmesh* cl_Scene::FindNavmesh(const std::string& name) const
{
    const auto found = m_navmeshes.find(name);
    return found == m_navmeshes.end() ? nullptr : found->second.get();
}

Ogre::SceneNode* cl_Scene::GetSceneRoot() const
{
    if (!m_sceneManager)
    {
        LOG_ERROR("Cannot retrieve SceneRoot because this scene is not loaded.");
        return nullptr;
    }
    return m_sceneManager->hasSceneNode(ROOT_NODE) ? m_sceneManager->getSceneNode(ROOT_NODE) : nullptr;
}

Ogre::SceneNode* cl_Scene::GetSceneNode(const std::string& name) const
{
    if (!m_sceneManager)
    {
        LOG_ERROR("Cannot retrieve scenenode '%s' because this scene is not loaded.", name.c_str());
        return nullptr;
    }
    if (name == "SceneRoot")
        return GetSceneRoot();
    // OGRE refuses even to look for a node without name.
    return !name.empty() && m_sceneManager->hasSceneNode(name) ? m_sceneManager->getSceneNode(name) : nullptr;
}

cl_Backdrop* cl_Scene::AddBackdrop(std::unique_ptr<cl_Backdrop> backdrop)
{
    std::unique_ptr<cl_Backdrop>& entry = m_backdrops[backdrop->GetName()];
    if (entry)
    {
        if (entry.get() == m_activeBackdrop)
            m_activeBackdrop = nullptr;
        ForgetPatchesOf(*entry);
    }
    entry = std::move(backdrop);
    return entry.get();
}

cl_Backdrop* cl_Scene::GetBackdrop(const std::string& name) const
{
    const auto found = m_backdrops.find(name);
    return found == m_backdrops.end() ? nullptr : found->second.get();
}

void cl_Scene::ActivateBackdrop(const std::string& name)
{
    cl_Backdrop* backdrop = GetBackdrop(name);
    if (!backdrop || backdrop == m_activeBackdrop)
        return;
    if (m_activatingBackdrop)
    {
        LOG_WARNING("A shot of the backdrop '%s' names the backdrop '%s'; the view stays on '%s'.",
                    GetActiveBackdropName().c_str(), name.c_str(), GetActiveBackdropName().c_str());
        return;
    }
    m_activatingBackdrop = true;
    if (m_activeBackdrop)
        m_activeBackdrop->Deactivate();
    m_activeBackdrop = backdrop;
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->SetCurrentBackdrop(name);
    backdrop->Activate();
    if (cl_Camera* camera = cl_Camera::GetInstance())
        camera->ActivateBackdropShot(name);
    m_activatingBackdrop = false;
}

std::string cl_Scene::GetActiveBackdropName() const
{
    for (const auto& entry : m_backdrops)
    {
        if (entry.second.get() == m_activeBackdrop && m_activeBackdrop)
            return entry.first;
    }
    return "default";
}

void cl_Scene::DestroyBackdrops()
{
    m_patches.clear();
    m_activeBackdrop = nullptr;
    m_backdrops.clear();
}

cl_Patch* cl_Scene::GetPatch(const std::string& name) const
{
    const auto found = m_patches.find(name);
    return found == m_patches.end() ? nullptr : found->second;
}

void cl_Scene::ForgetPatchesOf(const cl_Backdrop& backdrop)
{
    for (const std::unique_ptr<cl_Patch>& patch : backdrop.GetPatches())
    {
        for (auto entry = m_patches.begin(); entry != m_patches.end();)
            entry = entry->second == patch.get() ? m_patches.erase(entry) : std::next(entry);
    }
}
