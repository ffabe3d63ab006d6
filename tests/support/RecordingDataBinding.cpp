#include "support/RecordingDataBinding.h"

#include "statechart/cl_ScriptAction.h"
#include "support/ArgumentText.h"

namespace
{
std::string DataText(const cl_Argument* eventData)
{
    return eventData ? ArgumentText(*eventData) : "none";
}
} // namespace

bool RecordingDataBinding::EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                                             std::string ownerId)
{
    conditions.push_back(Call{condition, DataText(eventData), ownerId});
    auto answer = answers.find(condition);
    return answer == answers.end() ? unknownAnswer : answer->second;
}

void RecordingDataBinding::ExecuteAction(const IAction* action, const cl_Argument* eventData,
                                         std::string ownerId)
{
    const auto* script = dynamic_cast<const cl_ScriptAction*>(action);
    if (!script)
        return;
    scripts.push_back(Call{script->GetScript(), DataText(eventData), ownerId});
    if (trace)
        trace->push_back("run " + script->GetScript());
    if (onScript)
        onScript(script->GetScript(), ownerId);
}

void RecordingDataBinding::NotifyStateExit(const std::string& stateId, std::string /*ownerId*/)
{
    exitsNotified.push_back(stateId);
}
