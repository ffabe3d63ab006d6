#include "assets/cl_PlayAnimationAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_SceneObject.h"

#include <OgreStringConverter.h>
#include <tinyxml.h>

namespace
{
// The object of that name; an item not loaded yet is loaded and its placement reset.
cl_SceneObject* ResolveTarget(const std::string& name)
{
    if (cl_SceneObject* object = cl_SceneObject::ResolveByName(name))
        return object;
    cl_ItemManager* items = cl_ItemManager::GetInstance();
    cl_ItemEntry* entry = items ? items->LoadItem(name) : nullptr;
    if (!entry || !entry->sceneItem)
        return nullptr;
    items->ResetItemPlacement(*entry);
    return entry->sceneItem.get();
}
} // namespace

cl_PlayAnimationAction::cl_PlayAnimationAction(const TiXmlElement* element) : cl_NonInstantSeqAction(element)
{
    m_target = "avatar";
    if (!element)
        return;
    m_animation = AttributeOrEmpty(*element, "animationname");
    if (const char* item = element->Attribute("item"))
    {
        m_itemTarget = true;
        m_target = item;
    }
    else if (const char* character = element->Attribute("character"))
        m_target = character;
    m_skippable = IsTrueAttribute(*element, "skip");
    m_parent = AttributeOrEmpty(*element, "parent");
    if (const TiXmlElement* offset = element->FirstChildElement("offset"))
        m_offset = Ogre::StringConverter::parseVector3(TextOf(offset), Ogre::Vector3::ZERO);
    if (const TiXmlElement* rotation = element->FirstChildElement("rotation"))
    {
        m_axis = Ogre::StringConverter::parseVector3(TextOf(rotation), Ogre::Vector3::UNIT_Y);
        m_angle = Ogre::StringConverter::parseAngle(AttributeOrEmpty(*rotation, "angle"), Ogre::Radian(0.0f));
    }
}

std::string cl_PlayAnimationAction::GetTypeName() const
{
    return m_itemTarget ? "PlayItemAnimationAction" : "PlayCharacterAnimationAction";
}

void cl_PlayAnimationAction::WriteXml(TiXmlElement& element) const
{
    cl_NonInstantSeqAction::WriteXml(element);
    element.SetAttribute(m_itemTarget ? "item" : "character", m_target);
    element.SetAttribute("skip", m_skippable ? "true" : "false");
    element.SetAttribute("animationname", m_animation);
    if (!m_parent.empty())
        element.SetAttribute("parent", m_parent);
    if (m_offset != Ogre::Vector3::ZERO)
        AppendChild(element, "offset")
            ->LinkEndChild(new TiXmlText(Ogre::StringConverter::toString(m_offset)));
    if (m_angle != Ogre::Radian(0.0f))
    {
        TiXmlElement* rotation = AppendChild(element, "rotation");
        rotation->SetAttribute("angle", Ogre::StringConverter::toString(m_angle));
        rotation->LinkEndChild(new TiXmlText(Ogre::StringConverter::toString(m_axis)));
    }
}

void cl_PlayAnimationAction::Start()
{
    cl_SceneObject* target = ResolveTarget(m_target);
    if (target && !m_animation.empty())
    {
        if (m_parent.empty())
            target->StartAnimation(m_animation, this);
        else
            target->PlayAnimation(m_animation, m_parent, m_offset, Ogre::Quaternion(m_angle, m_axis), this);
        return;
    }
    const std::string id = GetId();
    LOG_ERROR("PlayAnimationAction '%s' failed to make '%s' play '%s'!", id.c_str(), m_target.c_str(),
              m_animation.c_str());
    Finish(true);
}

void cl_PlayAnimationAction::OnStarted()
{
    LOG_INFO("Animation %s started", m_animation.c_str());
    NotifyStarted();
    m_running = true;
    TrySkip();
}

void cl_PlayAnimationAction::OnDone(int result)
{
    m_running = false;
    if (IsDone())
        return;
    if (!m_skipRequested && result == RESULT_FAILED)
    {
        const std::string id = GetId();
        LOG_ERROR("PlayAnimationAction '%s' failed to make '%s' play '%s'!", id.c_str(), m_target.c_str(),
                  m_animation.c_str());
    }
    else if (!m_skipRequested && result == RESULT_ABORTED)
        LOG_ERROR("Canceled '%s' playing '%s'!", m_target.c_str(), m_animation.c_str());
    Finish(true);
}

void cl_PlayAnimationAction::Skip()
{
    m_skipRequested = true;
    TrySkip();
}

void cl_PlayAnimationAction::TrySkip()
{
    if (!m_skipRequested || !m_skippable || !m_running || IsDone())
        return;
    m_running = false;
    if (cl_SceneObject* target = ResolveTarget(m_target))
        target->StopAnimation();
    if (!IsDone())
        FinishAborted();
}

void cl_PlayAnimationAction::Stop(bool)
{
    StopCharacterAction(m_target);
}

void cl_PlayAnimationAction::Reset()
{
    cl_NonInstantSeqAction::Reset();
    m_running = false;
    m_skipRequested = false;
}
