#include "statechart/BasicState.h"

#include <utility>

BasicState::BasicState(std::string id, StateKind kind) : m_id(std::move(id)), m_kind(kind) {}

BasicState::~BasicState() = default;

void BasicState::AddChild(std::unique_ptr<BasicState> child)
{
    child->m_parent = this;
    m_children.push_back(std::move(child));
}

void BasicState::AddTransition(std::unique_ptr<Transition> transition)
{
    transition->m_source = this;
    m_transitions.push_back(std::move(transition));
}

void BasicState::SetTemplate(const StateChartTemplate* chart)
{
    m_template = chart;
    for (const std::unique_ptr<BasicState>& child : m_children)
        child->SetTemplate(chart);
}

bool BasicState::HasDescendant(const BasicState* state) const
{
    if (!state)
        return false;
    // Walk up from the state: cheaper than searching the subtree.
    const BasicState* top = state;
    for (; top->m_parent; top = top->m_parent)
    {
        if (top->m_parent == this)
            return true;
    }
    // Top-level states have no parent; only the template's root holds them as children.
    if (m_parent)
        return false;
    for (const std::unique_ptr<BasicState>& child : m_children)
    {
        if (child.get() == top)
            return true;
    }
    return false;
}
