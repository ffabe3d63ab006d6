#include "graphics/cl_EventTrigger.h"

#include "common/LogCall.h"

#include <tinyxml.h>

cl_EventTrigger::cl_EventTrigger(const std::string& ownerName) : m_ownerName(ownerName) {}

cl_EventTrigger::~cl_EventTrigger() = default;

void cl_EventTrigger::LoadFromXml(const TiXmlElement* element)
{
    if (!element)
        return;
    for (const TiXmlElement* script = element->FirstChildElement("script"); script;
         script = script->NextSiblingElement("script"))
    {
        const char* event = script->Attribute("event");
        const char* text = script->GetText();
        if (!event || !text)
        {
            LOG_WARNING("A script of '%s' without event or text was skipped.", m_ownerName.c_str());
            continue;
        }
        m_scripts[event] = text;
    }
}

const std::string* cl_EventTrigger::FindScript(const std::string& event) const
{
    const auto found = m_scripts.find(event);
    return found == m_scripts.end() ? nullptr : &found->second;
}
