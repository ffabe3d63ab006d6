#include "graphics/cl_AnimationEventTrigger.h"

#include "common/XmlHelpers.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_PatchItem.h"
#include "graphics/cl_SceneObject.h"

#include <tinyxml.h>

cl_AnimationEventTrigger::~cl_AnimationEventTrigger()
{
    for (const std::string& event : m_events)
    {
        if (m_puppet)
            m_puppet->RemoveAnimationEventListener(event, this);
        if (m_patchItem)
            m_patchItem->RemoveAnimationEventListener(event, this);
    }
}

bool cl_AnimationEventTrigger::LoadFromXml(const TiXmlElement* element)
{
    if (element)
    {
        m_sceneObject = ChildText(*element, "sceneobject");
        m_patchItemName = ChildText(*element, "patchitem");
        for (const TiXmlElement* event = element->FirstChildElement("event"); event;
             event = event->NextSiblingElement("event"))
        {
            m_events.emplace_back(event->GetText() ? event->GetText() : "");
            Listen(m_events.back());
        }
    }
    return cl_ScriptTrigger::LoadFromXml(element);
}

void cl_AnimationEventTrigger::Listen(const std::string& event)
{
    if (m_puppet)
        m_puppet->AddAnimationEventListener(event, this);
    if (m_patchItem)
        m_patchItem->AddAnimationEventListener(event, this);
}

void cl_AnimationEventTrigger::Update(float)
{
    if (!m_puppet && !m_sceneObject.empty())
    {
        const cl_SceneObject* object = cl_SceneObject::ResolveByName(m_sceneObject);
        m_puppet = object ? object->GetPuppet() : nullptr;
        for (const std::string& event : m_events)
        {
            if (m_puppet)
                m_puppet->AddAnimationEventListener(event, this);
        }
    }
    if (!m_patchItem && !m_patchItemName.empty())
    {
        const cl_ItemManager* items = cl_ItemManager::GetInstance();
        m_patchItem = items ? items->GetPatchItem(m_patchItemName) : nullptr;
        for (const std::string& event : m_events)
        {
            if (m_patchItem)
                m_patchItem->AddAnimationEventListener(event, this);
        }
    }
}

void cl_AnimationEventTrigger::OnAnimationEvent(const std::string&)
{
    Pulse();
}
