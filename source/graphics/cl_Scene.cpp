#include "graphics/cl_Scene.h"

cl_Scene::cl_Scene(cl_SceneAsset* asset, bool hasBackdrop) : m_asset(asset), m_hasBackdrop(hasBackdrop) {}

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
