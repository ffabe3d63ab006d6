#include "statechart/cl_SCLuaDataBinding.h"

#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "common/cl_ArgList.h"
#include "common/cl_ScriptSystem.h"
#include "statechart/cl_ScriptAction.h"

#include <tinyxml.h>

#include <optional>

namespace
{
// A script global bound for one run: its old value is read when this is made and written back when it
// goes. An old value that cannot be read is an empty argument, which writes nothing.
class BoundGlobal
{
public:
    BoundGlobal(cl_ScriptSystem& scripts, const char* name) : m_scripts(scripts), m_name(name)
    {
        m_scripts.GetGlobal(m_name, m_saved);
    }
    ~BoundGlobal() { m_scripts.SetGlobal(m_name, m_saved); }
    BoundGlobal(const BoundGlobal&) = delete;
    BoundGlobal& operator=(const BoundGlobal&) = delete;

    void Set(const cl_Argument& value) { m_scripts.SetGlobal(m_name, value); }

private:
    cl_ScriptSystem& m_scripts;
    const std::string m_name;
    cl_Argument m_saved;
};

// Runs code with "this" set to the value of the global named ownerId and, when bindEventData holds,
// "eventdata" set to eventData (kept when there is none). Both are written back afterwards, "this" first.
// With results, the returned values are appended to them (the last returned value first). False when the
// code failed (the script system logs why) or there is no script system.
bool RunBound(const std::string& code, const std::string& ownerId, bool bindEventData,
              const cl_Argument* eventData, cl_ArgList* results)
{
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (!scripts)
        return false;
    std::optional<BoundGlobal> boundEventData;
    if (bindEventData)
        boundEventData.emplace(*scripts, "eventdata");
    BoundGlobal self(*scripts, "this");

    cl_Argument owner;
    scripts->GetGlobal(ownerId, owner);
    self.Set(owner);
    if (boundEventData && eventData)
        boundEventData->Set(*eventData);

    return results ? scripts->ExecuteString(code, *results) : scripts->ExecuteString(code);
}
} // namespace

bool cl_SCLuaDataBinding::EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                                            std::string ownerId)
{
    if (m_disabled)
        return false;
    cl_ArgList results;
    RunBound("return " + condition, ownerId, true, eventData, &results);
    for (int i = 0; i < results.GetSize(); ++i)
    {
        const cl_Argument& result = *results.GetArg(i);
        if (result.GetType() == cl_Argument::TYPE_BOOL)
            return result.GetBool();
    }
    LOG_ERROR("A condition could not be evaluated: %s", condition.c_str());
    return true;
}

void cl_SCLuaDataBinding::ExecuteAction(const IAction* action, const cl_Argument* eventData,
                                        std::string ownerId)
{
    if (m_disabled)
        return;
    const auto* script = dynamic_cast<const cl_ScriptAction*>(action);
    // The script system's message quotes only the script; this line says whose it was.
    if (script && !RunBound(script->GetScript(), ownerId, true, eventData, nullptr))
        LOG_ERROR("A script run for %s failed", ownerId.c_str());
}

void cl_SCLuaDataBinding::NotifyStateExit(const std::string& /*stateId*/, std::string /*ownerId*/) {}

void cl_SCLuaDataBinding::RunScript(const std::string& script, const std::string& ownerId)
{
    if (!m_disabled && !RunBound(script, ownerId, false, nullptr, nullptr))
        LOG_ERROR("A script run for %s failed", ownerId.c_str());
}

void cl_SCLuaDataBinding::SaveGlobals()
{
    cl_GameState* gameState = cl_GameState::GetInstance();
    TiXmlElement* element = gameState ? gameState->GetDataBindingState() : nullptr;
    cl_ScriptSystem* scripts = cl_ScriptSystem::GetInstance();
    if (!element || !scripts)
    {
        LOG_ERROR("The script globals are not saved: there is no %s.",
                  element ? "script system" : "game state");
        return;
    }
    element->Clear();
    scripts->GlobalsToXml(*element);
}
