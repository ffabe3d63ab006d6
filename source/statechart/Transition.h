#pragma once

#include "statechart/IAction.h"

#include <memory>
#include <string>
#include <vector>

class BasicState;

// One transition of a chart state: taken for an event that matches its event pattern (an empty pattern
// matches every event) when its condition holds (an empty condition always holds).
class Transition
{
public:
    Transition(std::string event, std::string condition, std::unique_ptr<IAction> content);
    virtual ~Transition();

    Transition(const Transition&) = delete;
    Transition& operator=(const Transition&) = delete;

    // The state the transition belongs to; set when the state adopts it.
    const BasicState* GetSource() const { return m_source; }
    // The target states in the order the chart named them. An id that named no state leaves a null
    // entry; a transition without targets has an empty list.
    const std::vector<const BasicState*>& GetTargets() const { return m_targets; }
    const std::string& GetEvent() const { return m_event; }
    const std::string& GetCondition() const { return m_condition; }
    // May be null.
    const IAction* GetContent() const { return m_content.get(); }

    void SetTargets(std::vector<const BasicState*> targets);

private:
    friend class BasicState;

    const BasicState* m_source = nullptr;
    std::vector<const BasicState*> m_targets;
    std::string m_event;
    std::string m_condition;
    std::unique_ptr<IAction> m_content;
};
