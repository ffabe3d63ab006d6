#include "statechart/cl_ScriptAction.h"

#include <utility>

cl_ScriptAction::cl_ScriptAction(std::string script) : m_script(std::move(script)) {}
