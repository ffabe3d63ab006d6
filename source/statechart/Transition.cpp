#include "statechart/Transition.h"

#include <utility>

Transition::Transition(std::string event, std::string condition, std::unique_ptr<IAction> content)
    : m_event(std::move(event)), m_condition(std::move(condition)), m_content(std::move(content))
{
}

Transition::~Transition() = default;

void Transition::SetTargets(std::vector<const BasicState*> targets)
{
    m_targets = std::move(targets);
}
