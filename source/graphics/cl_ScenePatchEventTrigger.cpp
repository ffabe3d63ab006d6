#include "graphics/cl_ScenePatchEventTrigger.h"

#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_PatchItem.h"

#include <tinyxml.h>

bool cl_ScenePatchEventTrigger::LoadFromXml(const TiXmlElement* element)
{
    if (element)
    {
        m_patch = ChildText(*element, "patch");
        for (const TiXmlElement* time = element->FirstChildElement("time"); time;
             time = time->NextSiblingElement("time"))
        {
            float value = 0.0f;
            ReadNumber(time->GetText() ? time->GetText() : "", value);
            m_times.push_back(value);
        }
    }
    return cl_ScriptTrigger::LoadFromXml(element);
}

void cl_ScenePatchEventTrigger::Update(float)
{
    const cl_AnimatedPatch* patch = cl_PatchItem::FindAnimatedPatch(m_patch);
    if (!patch || !patch->IsVisible())
    {
        m_lastTime = -1.0f;
        return;
    }
    const float now = patch->GetTimePosition();
    const float speed = patch->GetSpeed();
    const float last = m_lastTime;
    m_lastTime = now;
    if (last < 0.0f)
        return;
    // Copied: a script may end this trigger's scene, and the trigger with it (deleted once it returns).
    const std::vector<float> times = m_times;
    for (const float time : times)
    {
        if ((speed > 0.0f && last <= time && time < now) || (speed < 0.0f && now < time && time <= last))
            Pulse();
    }
}
