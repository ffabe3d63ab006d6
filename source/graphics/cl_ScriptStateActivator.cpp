#include "graphics/cl_ScriptStateActivator.h"

#include "common/cl_ScriptSystem.h"

#include <tinyxml.h>

bool cl_ScriptStateActivator::AddEntry(const TiXmlElement& entry)
{
    const char* text = entry.GetText();
    m_scripts.emplace_back(text ? text : "");
    return true;
}

void cl_ScriptStateActivator::Activate(cl_VisualStateHolder&)
{
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (!scripts)
        return;
    for (const std::string& script : m_scripts)
        scripts->ExecuteString(script);
}
