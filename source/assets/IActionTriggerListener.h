#pragma once

#include <string>

class cl_BaseActionTrigger;

// What a trigger sets off when it fires: every sequence action is one.
class IActionTriggerListener
{
public:
    // The trigger fired.
    virtual void OnTriggered(cl_BaseActionTrigger* trigger) = 0;
    // The trigger took its firing back (a success trigger whose input's outcome changed).
    virtual void OnUntriggered(cl_BaseActionTrigger* trigger) = 0;
    // The id the sequence's structure names it by.
    virtual std::string GetId() const = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IActionTriggerListener() = default;
};
