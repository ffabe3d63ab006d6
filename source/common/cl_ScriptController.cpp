#include "common/cl_ScriptController.h"

#include "common/cl_GameTime.h"
#include "common/cl_ScriptSystem.h"

cl_ScriptController::cl_ScriptController(const std::string& script)
    : m_script(script), m_frames(cl_GameTime::GetInstance(), this, "default", 0)
{
}

void cl_ScriptController::Update(float)
{
    if (cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance())
        scripts->ExecuteString(m_script);
}
