#include "graphics/cl_ScriptTrigger.h"

#include "common/XmlHelpers.h"
#include "common/cl_ScriptSystem.h"

#include <tinyxml.h>

int cl_ScriptTrigger::s_running = 0;

bool cl_ScriptTrigger::LoadFromXml(const TiXmlElement* element)
{
    m_activateScript.clear();
    m_deactivateScript.clear();
    for (const TiXmlElement* script = element ? element->FirstChildElement("script") : nullptr; script;
         script = script->NextSiblingElement("script"))
    {
        const std::string event = AttributeOrEmpty(*script, "event");
        const char* text = script->GetText();
        if (event == "activate")
            m_activateScript = text ? text : "";
        else if (event == "deactivate")
            m_deactivateScript = text ? text : "";
    }
    return cl_Trigger::LoadFromXml(element);
}

void cl_ScriptTrigger::OnActivate()
{
    Run(m_activateScript);
}

void cl_ScriptTrigger::OnDeactivate()
{
    Run(m_deactivateScript);
}

void cl_ScriptTrigger::Run(const std::string& script)
{
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (!scripts)
        return;
    ++s_running;
    scripts->ExecuteString(script);
    --s_running;
}
