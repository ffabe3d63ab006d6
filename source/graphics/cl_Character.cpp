#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Puppet.h"

#include <OgreSceneNode.h>

cl_Character::cl_Character(const std::string& id, cl_Puppet* puppet) : cl_SceneObject(id, puppet) {}

cl_Character::~cl_Character()
{
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->OnCharacterDeleted(*this);
}

void cl_Character::MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator)
{
    if (Ogre::SceneNode* node = GetPuppet() ? GetPuppet()->GetSceneNode() : nullptr)
        node->_setDerivedPosition(point);
    if (!initiator)
        return;
    initiator->OnStarted();
    initiator->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::StoreTransform()
{
    const Ogre::SceneNode* node = GetPuppet() ? GetPuppet()->GetSceneNode() : nullptr;
    if (!node)
        return;
    m_storedPosition = node->_getDerivedPosition();
    m_storedOrientation = node->_getDerivedOrientation();
    m_storedScale = node->_getDerivedScale();
    m_hasStoredTransform = true;
}

void cl_Character::SetBusyCount(int32_t count)
{
    if (count != m_busyCount)
        m_idleTime = 0.0f;
    m_busyCount = count;
}
