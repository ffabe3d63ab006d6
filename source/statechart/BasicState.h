#pragma once

#include "statechart/IAction.h"
#include "statechart/Transition.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class StateChartTemplate;

// The kinds of chart state; the values are those the chart files' element names map to.
enum class StateKind : std::int32_t
{
    State = 0,
    Parallel = 1,
    Final = 2,
    DeepHistory = 3,
    ShallowHistory = 4,
    Initial = 5,
};

// One node of a chart's state tree. It owns its child states, its transitions and its entry and exit
// content. A top-level state has no parent: the template's root is not its parent.
class BasicState
{
public:
    BasicState(std::string id, StateKind kind);
    virtual ~BasicState();

    BasicState(const BasicState&) = delete;
    BasicState& operator=(const BasicState&) = delete;

    // Appends the child and makes this state its parent.
    void AddChild(std::unique_ptr<BasicState> child);
    // Appends the transition and makes this state its source.
    void AddTransition(std::unique_ptr<Transition> transition);
    void SetEntryAction(std::unique_ptr<IAction> action) { m_entryAction = std::move(action); }
    void SetExitAction(std::unique_ptr<IAction> action) { m_exitAction = std::move(action); }
    // Sets the owning template of this state and its whole subtree.
    void SetTemplate(const StateChartTemplate* chart);

    // Whether state is a child of this state or, recursively, a descendant of a child.
    bool HasDescendant(const BasicState* state) const;
    bool IsAtomic() const { return m_children.empty(); }
    bool IsHistory() const { return m_kind == StateKind::DeepHistory || m_kind == StateKind::ShallowHistory; }

    const std::vector<std::unique_ptr<BasicState>>& GetChildren() const { return m_children; }
    const std::vector<std::unique_ptr<Transition>>& GetTransitions() const { return m_transitions; }
    // Both may be null.
    const IAction* GetEntryAction() const { return m_entryAction.get(); }
    const IAction* GetExitAction() const { return m_exitAction.get(); }
    const StateChartTemplate* GetTemplate() const { return m_template; }
    const std::string& GetId() const { return m_id; }
    // Null for the top-level states and the template's root.
    const BasicState* GetParent() const { return m_parent; }
    StateKind GetKind() const { return m_kind; }

private:
    friend class StateChartTemplate;

    std::vector<std::unique_ptr<BasicState>> m_children;
    std::vector<std::unique_ptr<Transition>> m_transitions;
    std::unique_ptr<IAction> m_entryAction;
    std::unique_ptr<IAction> m_exitAction;
    const StateChartTemplate* m_template = nullptr;
    std::string m_id;
    const BasicState* m_parent = nullptr;
    StateKind m_kind;
};
