#include "graphics/cl_LightStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <OgreLight.h>
#include <OgreSceneManager.h>

bool cl_LightStateActivator::Apply(cl_VisualStateHolder&, const st_ElementSwitch& entry)
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    Ogre::SceneManager* sceneManager = scene ? scene->GetSceneManager() : nullptr;
    if (!sceneManager || !sceneManager->hasLight(entry.name))
        LOG_ERROR("Light '%s' could not be found.", entry.name.c_str());
    else
        sceneManager->getLight(entry.name)->setVisible(entry.flag);
    return true;
}
