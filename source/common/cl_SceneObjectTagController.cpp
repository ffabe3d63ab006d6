#include "common/cl_SceneObjectTagController.h"

#include "common/cl_GameTime.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneObject.h"

cl_SceneObjectTagController::cl_SceneObjectTagController()
    : m_frames(cl_GameTime::GetInstance(), this, "default", 1)
{
}

void cl_SceneObjectTagController::SetTarget(const std::string& sceneObject, const std::string& slave,
                                            const std::string& bone, Ogre::SceneNode* node)
{
    m_sceneObjectName = sceneObject;
    m_slaveName = slave;
    m_boneName = bone;
    m_sceneNode = node;
}

void cl_SceneObjectTagController::Update(float)
{
    const cl_SceneObject* object = cl_SceneObject::ResolveByName(m_sceneObjectName);
    cl_ControlledPuppet* puppet = object ? object->GetPuppet() : nullptr;
    if (!puppet)
        return;
    if (m_slaveName.empty())
        puppet->ApplyTagPointToSceneNode(m_boneName, m_sceneNode);
    else
        puppet->ApplyTagPointToSceneNode(m_slaveName, m_boneName, m_sceneNode);
}
