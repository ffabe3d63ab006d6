#include "assets/cl_TurnToSeqAction.h"

#include "assets/SceneNodeLookup.h"
#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"

#include <OgreCamera.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

cl_TurnToSeqAction::cl_TurnToSeqAction(const TiXmlElement* element) : cl_NonInstantSeqAction(element)
{
    if (!element)
        return;
    m_charRef = AttributeOrEmpty(*element, "charref");
    m_targetRef = AttributeOrEmpty(*element, "targetref");
    m_turnTolerance = NumberAttribute(*element, "turntolerance", 0.0f);
}

void cl_TurnToSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_NonInstantSeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    element.SetAttribute("targetref", m_targetRef);
    element.SetAttribute("turntolerance", Format("%f", m_turnTolerance));
}

void cl_TurnToSeqAction::Start()
{
    cl_Character* character = FindCharacter(m_charRef);
    if (!character)
    {
        Fail("the character couldn't be resolved");
        return;
    }
    if (m_targetRef == "camera")
    {
        const cl_Camera* camera = cl_Camera::GetInstance();
        const Ogre::Camera* ogreCamera = camera ? camera->GetOgreCamera() : nullptr;
        character->TurnToDirection(ogreCamera ? ogreCamera->getDerivedPosition() : Ogre::Vector3::ZERO,
                                   m_turnTolerance, this);
        return;
    }
    cl_SceneObject* object = cl_SceneObject::ResolveByName(m_targetRef);
    Ogre::SceneNode* node = object ? object->GetSceneNode() : nullptr;
    if (node)
        object->ApplySlaveTagPoints();
    else
        node = FindSceneNode(m_targetRef);
    if (!node)
    {
        Fail("the target couldn't be resolved");
        return;
    }
    character->TurnToDirection(node->_getDerivedPosition(), m_turnTolerance, this);
}

void cl_TurnToSeqAction::Fail(const char* reason)
{
    const std::string id = GetId();
    LOG_ERROR("TurnToAction '%s' failed to make '%s' turn towards '%s' because %s!", id.c_str(),
              m_charRef.c_str(), m_targetRef.c_str(), reason);
    NotifyStarted();
    Finish(true);
}

void cl_TurnToSeqAction::OnDone(int result)
{
    if (result == RESULT_FAILED)
    {
        const std::string id = GetId();
        LOG_ERROR("TurnToAction '%s' failed because '%s' could not turn towards '%s'!", id.c_str(),
                  m_charRef.c_str(), m_targetRef.c_str());
    }
    Finish(true);
}

void cl_TurnToSeqAction::Stop(bool)
{
    StopCharacterAction(m_charRef);
}
