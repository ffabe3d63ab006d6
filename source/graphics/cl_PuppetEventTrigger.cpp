#include "graphics/cl_PuppetEventTrigger.h"

#include "common/LogCall.h"
#include "common/cl_ScriptSystem.h"
#include "graphics/cl_Puppet.h"

#include <tinyxml.h>

cl_PuppetEventTrigger::cl_PuppetEventTrigger(cl_Puppet* puppet, const std::string& ownerName)
    : cl_EventTrigger(ownerName), m_puppet(puppet)
{
}

cl_PuppetEventTrigger::~cl_PuppetEventTrigger()
{
    for (const std::string& key : m_keys)
        m_puppet->RemoveAnimationEventListener(key, this);
}

void cl_PuppetEventTrigger::LoadFromXml(const TiXmlElement* element)
{
    cl_EventTrigger::LoadFromXml(element);
    if (!element)
        return;
    for (const TiXmlElement* puppetEvent = element->FirstChildElement("puppetevent"); puppetEvent;
         puppetEvent = puppetEvent->NextSiblingElement("puppetevent"))
    {
        const char* key = puppetEvent->GetText();
        if (!key)
        {
            LOG_WARNING("A puppetevent of '%s' without text was skipped.", GetOwnerName().c_str());
            continue;
        }
        if (!m_puppet)
            continue;
        m_puppet->AddAnimationEventListener(key, this);
        m_keys.emplace_back(key);
    }
}

void cl_PuppetEventTrigger::OnAnimationEvent(const std::string& event)
{
    const std::string* script = FindScript(event);
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (script && scripts)
        scripts->ExecuteString(*script);
}
