#pragma once

#include "statechart/IAction.h"

#include <string>

// A piece of Lua text run by the data binding. The text is kept exactly as the chart wrote it: line
// breaks matter, since a Lua line comment ends at the end of its line.
class cl_ScriptAction : public IAction
{
public:
    explicit cl_ScriptAction(std::string script);

    const std::string& GetScript() const { return m_script; }

private:
    std::string m_script;
};
