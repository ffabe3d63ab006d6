#include "assets/cl_BaseMoveToSeqAction.h"

#include "assets/SceneNodeLookup.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Scene.h"

#include <tinyxml.h>

cl_BaseMoveToSeqAction::cl_BaseMoveToSeqAction(const TiXmlElement* element) : cl_NonInstantSeqAction(element)
{
    SetKeepsInterruptible(true);
    if (element)
        m_movingCharacter = AttributeOrEmpty(*element, "movingcharacter");
}

void cl_BaseMoveToSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_NonInstantSeqAction::WriteXml(element);
    if (!m_movingCharacter.empty() && m_movingCharacter != "avatar")
        element.SetAttribute("movingcharacter", m_movingCharacter);
}

void cl_BaseMoveToSeqAction::OnDone(int result)
{
    if (IsDone())
        return;
    if (result == RESULT_FAILED)
        LogFailure();
    Finish(true);
}

void cl_BaseMoveToSeqAction::Stop(bool)
{
    StopCharacterAction(m_movingCharacter);
}

Ogre::SceneNode* cl_BaseMoveToSeqAction::FindTargetNode(const std::string& name) const
{
    if (name != "op")
        return FindSceneNode(name);
    const cl_Scene* scene = cl_Camera::CurrentScene();
    const cl_Character* character = FindCharacter(m_movingCharacter);
    return scene ? scene->ResolvePosition(character ? character->GetName() : m_movingCharacter) : nullptr;
}

cl_Character* cl_BaseMoveToSeqAction::Walker(const Ogre::SceneNode* node, const std::string& location)
{
    cl_Character* character = FindCharacter(m_movingCharacter);
    if (!character)
        LOG_ERROR("BaseMoveToAction couldn't retrieve the character!");
    if (!node)
        LOG_ERROR("BaseMoveToAction couldn't find the target '%s'!", location.c_str());
    if (character && node)
        return character;
    Finish(true);
    return nullptr;
}

void cl_BaseMoveToSeqAction::Examine(Ogre::SceneNode* node, const std::string& target, float distance)
{
    if (cl_Character* character = Walker(node, target))
        character->MoveTo(node, target, distance, this);
}

void cl_BaseMoveToSeqAction::Examine(const std::string& location, const std::string& target, float distance)
{
    Ogre::SceneNode* node = FindTargetNode(location);
    if (cl_Character* character = Walker(node, location))
        character->MoveTo(node, target, distance, this);
}

void cl_BaseMoveToSeqAction::MoveTo(const std::string& location, float positionTolerance,
                                    float rotationTolerance)
{
    Ogre::SceneNode* node = FindTargetNode(location);
    if (cl_Character* character = Walker(node, location))
        character->TurnTo(node, positionTolerance, rotationTolerance, this);
}
