#include "graphics/cl_Character.h"

#include "assets/ISyncedActionInitiator.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_ControlledPuppet.h"

#include <OgreSceneNode.h>

#include <algorithm>

cl_Character::cl_Character(Ogre::SceneManager& sceneManager, const std::string& id)
    : cl_SceneObject(sceneManager, id)
{
    GetPuppet()->SetFallbackSwitchedOn(true);
}

cl_Character::cl_Character(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet,
                           const std::string& id)
    : cl_SceneObject(sceneManager, puppet, id)
{
    if (puppet)
        puppet->SetFallbackSwitchedOn(true);
}

cl_Character::~cl_Character()
{
    if (cl_GameComponents* hub = cl_GameComponents::GetInstance())
        hub->OnCharacterDeleted(*this);
}

void cl_Character::PlayAnimation(const std::string&, const std::string&, const Ogre::Vector3&,
                                 const Ogre::Quaternion&, ISyncedActionInitiator* initiator)
{
    if (initiator)
        initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::StartAnimation(const std::string&, ISyncedActionInitiator* initiator)
{
    if (initiator)
        initiator->OnDone(ISyncedActionInitiator::RESULT_FAILED);
}

void cl_Character::MoveAlongPath(const Ogre::Vector3& point, ISyncedActionInitiator* initiator)
{
    if (Ogre::SceneNode* node = GetSceneNode())
        node->_setDerivedPosition(point);
    if (!initiator)
        return;
    initiator->OnStarted();
    initiator->OnDone(ISyncedActionInitiator::RESULT_FINISHED);
}

void cl_Character::StoreTransform()
{
    const Ogre::SceneNode* node = GetSceneNode();
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

void cl_Character::SetSpeechLevel(float level)
{
    m_speechLevel = std::clamp(level, 0.0f, 1.0f);
}
