#pragma once

#include "statechart/IDataBinding.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

// A data binding for chart tests: conditions are answered from a table, scripts are recorded (and may be
// given an effect through onScript), and every call can be appended to a shared trace so that a test sees
// the order of entries, exits and content.
class RecordingDataBinding : public IDataBinding
{
public:
    struct Call
    {
        std::string text;
        // The event data as ArgumentText shows it when the call was made, or "none".
        std::string eventData;
        std::string ownerId;
    };

    bool EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                           std::string ownerId) override;
    // Records the text of script actions; other kinds of action are ignored, as the Lua binding does.
    void ExecuteAction(const IAction* action, const cl_Argument* eventData, std::string ownerId) override;
    void NotifyStateExit(const std::string& stateId, std::string ownerId) override;

    // The answer for each condition text. A condition not in the table is one that cannot be evaluated:
    // it gets unknownAnswer, which is true as with the Lua binding.
    std::map<std::string, bool> answers;
    bool unknownAnswer = true;

    std::vector<Call> conditions;
    std::vector<Call> scripts;
    std::vector<std::string> exitsNotified;

    // When set, every script run is appended as "run <text>".
    std::vector<std::string>* trace = nullptr;
    // Called after a script is recorded, to let it act (send events, ...).
    std::function<void(const std::string& script, const std::string& ownerId)> onScript;
};
