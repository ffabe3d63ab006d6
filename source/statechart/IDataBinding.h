#pragma once

#include <string>

class IAction;
class cl_Argument;

// How a state chart evaluates its conditions and runs its executable content. Event data is the data of
// the event being processed, or null when there is none (entry and exit content, ".Done" events).
class IDataBinding
{
public:
    // Whether the condition holds for the owner. A binding that cannot evaluate it answers true.
    virtual bool EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                                   std::string ownerId) = 0;
    // Runs the action for the owner; kinds of action the binding does not know are ignored.
    virtual void ExecuteAction(const IAction* action, const cl_Argument* eventData, std::string ownerId) = 0;
    // Told after every state an owner's chart leaves.
    virtual void NotifyStateExit(const std::string& stateId, std::string ownerId) = 0;
    virtual ~IDataBinding() = default;
};
