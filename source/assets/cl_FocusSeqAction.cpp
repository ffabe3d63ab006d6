#include "assets/cl_FocusSeqAction.h"

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

cl_FocusSeqAction::cl_FocusSeqAction(const TiXmlElement* element) : cl_NonInstantSeqAction(element)
{
    SetKeepsInterruptible(true);
    if (!element)
        return;
    m_charRef = AttributeOrEmpty(*element, "charref");
    m_targetRef = AttributeOrEmpty(*element, "targetref");
    m_turn = IsTrueAttribute(*element, "turn");
    m_turnTolerance = NumberAttribute(*element, "turntolerance", 0.0f);
    m_sweepAngle = NumberAttribute(*element, "sweepangle", 0.0f);
}

void cl_FocusSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_NonInstantSeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    element.SetAttribute("targetref", m_targetRef);
    element.SetAttribute("turn", m_turn ? "true" : "false");
    element.SetAttribute("turntolerance", Format("%f", m_turnTolerance));
    element.SetAttribute("sweepangle", Format("%f", m_sweepAngle));
}

void cl_FocusSeqAction::Start()
{
    NotifyStarted();
    if (cl_Character* character = FindCharacter(m_charRef))
    {
        Ogre::Vector3 point;
        if (m_targetRef == "camera")
        {
            const cl_Camera* camera = cl_Camera::GetInstance();
            const Ogre::Camera* ogreCamera = camera ? camera->GetOgreCamera() : nullptr;
            point = ogreCamera ? ogreCamera->getDerivedPosition() : Ogre::Vector3::ZERO;
            character->FocusOnPoint(point, m_turn, m_turnTolerance, m_sweepAngle, this);
            return;
        }
        if (cl_SceneObject* object = cl_SceneObject::ResolveByName(m_targetRef))
        {
            character->Focus(object, m_turn, m_turnTolerance, m_sweepAngle, this);
            return;
        }
        if (FindTargetPoint(point))
        {
            character->FocusOnPoint(point, m_turn, m_turnTolerance, m_sweepAngle, this);
            return;
        }
    }
    const std::string id = GetId();
    LOG_ERROR("FocusAction '%s' failed to make '%s' focus '%s'!", id.c_str(), m_charRef.c_str(),
              m_targetRef.c_str());
    Finish(true);
}

bool cl_FocusSeqAction::FindTargetPoint(Ogre::Vector3& point) const
{
    const Ogre::SceneNode* node = FindSceneLocationNode(m_targetRef);
    if (!node)
        node = FindSceneNode(m_targetRef);
    if (!node)
        return false;
    point = node->_getDerivedPosition();
    return true;
}

void cl_FocusSeqAction::OnDone(int)
{
    if (IsDone())
        return;
    Finish(true);
}

void cl_FocusSeqAction::Stop(bool aborted)
{
    cl_NonInstantSeqAction::Stop(aborted);
    if (!aborted || !IsDone())
        return;
    if (cl_Character* character = FindCharacter(m_charRef))
        character->StopFocus();
}
