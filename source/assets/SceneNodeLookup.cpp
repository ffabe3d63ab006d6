#include "assets/SceneNodeLookup.h"

#include "assets/cl_SceneAsset.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"

#include <OgreSceneManager.h>

Ogre::SceneNode* FindSceneNode(const std::string& name)
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    Ogre::SceneManager* sceneManager = scene ? scene->GetSceneManager() : nullptr;
    if (!sceneManager || name.empty() || !sceneManager->hasSceneNode(name))
        return nullptr;
    return sceneManager->getSceneNode(name);
}

Ogre::SceneNode* FindSceneLocationNode(const std::string& objectId)
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    const cl_SceneAsset* asset = scene ? scene->GetAsset() : nullptr;
    return asset ? FindSceneNode(asset->FindObjectLocation(objectId)) : nullptr;
}
