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
