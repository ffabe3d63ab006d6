#include "statechart/StateChartInterpreter.h"

#include "common/LogCall.h"
#include "statechart/IDataBinding.h"
#include "statechart/IStateChartListener.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <utility>

namespace
{
const std::string NO_EVENT;

// Counts one level of nested transitions for as long as it lives.
class DepthCount
{
public:
    explicit DepthCount(int& depth) : m_depth(depth) { ++m_depth; }
    ~DepthCount() { --m_depth; }
    DepthCount(const DepthCount&) = delete;
    DepthCount& operator=(const DepthCount&) = delete;

private:
    int& m_depth;
};

// Calls visit for state and each state below it, depth-first in document order.
template <typename Visit> void ForEachState(const BasicState& state, const Visit& visit)
{
    visit(state);
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
        ForEachState(*child, visit);
}

// Event names compare case-insensitively, letter by letter as the "C" locale folds them (ASCII only).
char Folded(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameLetter(char patternLetter, char textLetter)
{
    return patternLetter == '?' || Folded(patternLetter) == Folded(textLetter);
}

// The innermost of start and its ancestors that is or holds every one of the states; null when none does.
template <class States> const BasicState* FindCommonAncestor(const BasicState* start, const States& states)
{
    for (const BasicState* candidate = start; candidate; candidate = candidate->GetParent())
    {
        const bool holdsAll =
            std::all_of(states.begin(), states.end(),
                        [candidate](const BasicState* state)
                        { return state && (state == candidate || candidate->HasDescendant(state)); });
        if (holdsAll)
            return candidate;
    }
    return nullptr;
}
} // namespace

// Marks one call of Start, Stop, Restore or SendEvent; the outermost one begins a new step. It also keeps
// the configuration of the call's owner at hand: the call hands its own copy of the owner id down to every
// internal operation, so the address of that string finds the configuration without comparing text.
// Calls nest, and so do their steps.
class StateChartInterpreter::Step
{
public:
    Step(StateChartInterpreter& interpreter, const std::string& owner)
        : m_interpreter(interpreter), m_owner(owner), m_outer(interpreter.m_innermostStep)
    {
        if (m_interpreter.m_callDepth++ == 0)
        {
            m_interpreter.m_transitionsInStep = 0;
            m_interpreter.m_stepCutLogged = false;
        }
        auto found = m_interpreter.m_configurations.find(owner);
        m_configuration = found == m_interpreter.m_configurations.end() ? nullptr : &found->second;
        m_interpreter.m_innermostStep = this;
    }
    ~Step()
    {
        --m_interpreter.m_callDepth;
        m_interpreter.m_innermostStep = m_outer;
    }
    Step(const Step&) = delete;
    Step& operator=(const Step&) = delete;

    // The step of a call whose owner id is this very string, or null.
    static Step* Of(Step* innermost, const std::string& owner)
    {
        for (Step* step = innermost; step; step = step->m_outer)
        {
            if (&step->m_owner == &owner)
                return step;
        }
        return nullptr;
    }
    // Every step of that owner looks its configuration up again (it was removed).
    static void Forget(Step* innermost, const std::string& owner)
    {
        for (Step* step = innermost; step; step = step->m_outer)
        {
            if (step->m_owner == owner)
                step->m_configuration = nullptr;
        }
    }

    // Null while the owner has none.
    Configuration* m_configuration;

private:
    StateChartInterpreter& m_interpreter;
    const std::string& m_owner;
    Step* const m_outer;
};

StateChartInterpreter::StateChartInterpreter(IDataBinding* binding,
                                             std::shared_ptr<const StateChartTemplate> chart)
    : m_template(chart ? std::move(chart) : std::make_shared<const StateChartTemplate>(std::string())),
      m_dataBinding(binding)
{
}

StateChartInterpreter::~StateChartInterpreter() = default;

void StateChartInterpreter::AddListener(IStateChartListener* listener)
{
    m_listeners.push_back(listener);
}

void StateChartInterpreter::RemoveListener(IStateChartListener* listener)
{
    auto found = std::find(m_listeners.begin(), m_listeners.end(), listener);
    if (found != m_listeners.end())
        m_listeners.erase(found);
}

void StateChartInterpreter::AddOwner(const std::string& ownerId)
{
    if (std::find(m_owners.begin(), m_owners.end(), ownerId) != m_owners.end())
        return;
    m_owners.push_back(ownerId);
    m_configurations[ownerId].clear();
    m_queues[ownerId].clear();
    m_histories[ownerId].clear();
}

void StateChartInterpreter::RemoveOwner(const std::string& ownerId)
{
    auto found = std::find(m_owners.begin(), m_owners.end(), ownerId);
    if (found == m_owners.end())
        return;
    const std::string owner = ownerId;
    m_owners.erase(found);
    m_configurations.erase(owner);
    m_queues.erase(owner);
    m_histories.erase(owner);
    Step::Forget(m_innermostStep, owner);
    ++m_ownerRemovals;
}

void StateChartInterpreter::Start(const std::string& ownerId)
{
    const std::string owner = ownerId;
    const Step step(*this, owner);
    for (const std::unique_ptr<BasicState>& state : m_template->GetRoot().GetChildren())
    {
        if (state->GetKind() == StateKind::Initial)
        {
            EnterState(*state, owner);
            EnterInitial(*state, owner);
            TryTransitions(*state, NO_EVENT, nullptr, owner);
            return;
        }
    }
}

void StateChartInterpreter::Stop(const std::string& ownerId)
{
    const std::string owner = ownerId;
    const Step step(*this, owner);
    if (const BasicState* top = LastActiveTopLevelState(owner))
    {
        ExitDescendants(*top, owner);
        ExitState(*top, owner);
    }
}

void StateChartInterpreter::SendEvent(const std::string& eventName, EventData eventData,
                                      const std::string& ownerId)
{
    const std::string owner = ownerId;
    std::deque<PendingEvent>* queue = &m_queues[owner];
    queue->push_back(PendingEvent{eventName, std::move(eventData)});
    if (queue->size() > 1)
        return; // the processing under way further up the stack reaches it
    const Step step(*this, owner);

    for (int processed = 0; !queue->empty(); ++processed)
    {
        if (processed == MAX_EVENTS_PER_SEND)
        {
            LOG_ERROR("State chart %s: owner %s keeps sending itself events; after %i events the %i still "
                      "queued are dropped",
                      m_template->GetName().c_str(), owner.c_str(), processed,
                      static_cast<int>(queue->size()));
            queue->clear();
            return;
        }
        // Taken out: processing may remove the owner, and its queue with it. The emptied entry stays in
        // front until the event is done, so that events sent meanwhile wait behind it.
        const PendingEvent event = std::move(queue->front());
        const unsigned removals = m_ownerRemovals;
        for (const std::unique_ptr<BasicState>& state : m_template->GetRoot().GetChildren())
        {
            if (ProcessEvent(*state, event, owner))
                break;
        }
        if (m_ownerRemovals != removals)
        {
            auto found = m_queues.find(owner);
            if (found == m_queues.end())
                return;
            queue = &found->second;
        }
        if (!queue->empty())
            queue->pop_front();
    }
}

bool StateChartInterpreter::IsInState(const std::string& stateId, const std::string& ownerId) const
{
    const Configuration* configuration = FindConfiguration(ownerId);
    if (!configuration)
        return false;
    return std::any_of(configuration->begin(), configuration->end(),
                       [&stateId](const BasicState* state) { return state->GetId() == stateId; });
}

std::vector<std::string> StateChartInterpreter::GetActiveStateIds(const std::string& ownerId) const
{
    StateList leaves;
    for (const std::unique_ptr<BasicState>& top : m_template->GetRoot().GetChildren())
    {
        if (!IsActive(*top, ownerId))
            continue;
        if (top->IsAtomic())
        {
            if (top->GetKind() == StateKind::State || top->GetKind() == StateKind::Final)
                leaves.push_back(top.get());
        }
        else
            CollectActiveLeaves(*top, ownerId, leaves);
    }
    std::vector<std::string> ids;
    for (const BasicState* state : leaves)
        ids.push_back(state->GetId());
    return ids;
}

StateChartInterpreter::HistoryMap StateChartInterpreter::GetHistory(const std::string& ownerId) const
{
    HistoryMap saved;
    auto histories = m_histories.find(ownerId);
    if (histories == m_histories.end())
        return saved;
    // In document order, so that history states sharing an id always fill their entry the same way.
    ForEachState(m_template->GetRoot(),
                 [&](const BasicState& state)
                 {
                     auto stored = histories->second.find(&state);
                     if (stored == histories->second.end() || stored->second.empty())
                         return;
                     std::vector<std::string>& ids = saved[state.GetId()];
                     for (const BasicState* restored : stored->second)
                         ids.push_back(restored->GetId());
                 });
    return saved;
}

void StateChartInterpreter::Restore(const std::vector<std::string>& stateIds, const std::string& ownerId,
                                    const HistoryMap& histories)
{
    const std::string owner = ownerId;
    const Step step(*this, owner);
    // Empty ids are skipped: the template's root has the empty id, and it is no state of the chart.
    auto resolve = [this](const std::string& id) { return id.empty() ? nullptr : m_template->FindState(id); };

    StateList states;
    for (const std::string& id : stateIds)
    {
        if (const BasicState* state = resolve(id))
            states.push_back(state);
    }

    StoredHistories restored;
    for (const auto& [historyId, ids] : histories)
    {
        const BasicState* history = resolve(historyId);
        if (!history)
            continue;
        StateList stored;
        for (const std::string& id : ids)
        {
            if (const BasicState* state = resolve(id))
                stored.push_back(state);
        }
        if (!stored.empty())
            restored[history] = std::move(stored);
    }
    m_histories[owner] = std::move(restored);

    for (const BasicState* state : states)
    {
        const bool wasSuppressed = m_actionsSuppressed;
        m_actionsSuppressed = true;
        EnterState(*state, owner);
        m_actionsSuppressed = wasSuppressed;
        EnterInitial(*state, owner);
        TryTransitions(*state, NO_EVENT, nullptr, owner);
    }
}

bool StateChartInterpreter::ProcessEvent(const BasicState& state, const PendingEvent& event,
                                         const std::string& ownerId)
{
    if (!IsActive(state, ownerId))
        return false;
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
    {
        if (ProcessEvent(*child, event, ownerId))
            return true;
    }
    return TryTransitions(state, event.name, event.data.get(), ownerId);
}

bool StateChartInterpreter::TryTransitions(const BasicState& state, const std::string& eventName,
                                           const cl_Argument* eventData, const std::string& ownerId)
{
    if (state.IsHistory())
    {
        const StoredHistories& histories = m_histories[ownerId];
        auto stored = histories.find(&state);
        if (stored != histories.end() && !stored->second.empty())
        {
            // A copy: leaving states records histories, which may replace this very list.
            const StateList targets = stored->second;
            ExecuteTransition(state, targets, nullptr, nullptr, ownerId);
            return true;
        }
    }
    for (const std::unique_ptr<Transition>& transition : state.GetTransitions())
    {
        if (TransitionMatches(*transition, eventName, eventData, ownerId))
        {
            ExecuteTransition(state, transition->GetTargets(), transition->GetContent(), eventData, ownerId);
            return true;
        }
    }
    return false;
}

bool StateChartInterpreter::TransitionMatches(const Transition& transition, const std::string& eventName,
                                              const cl_Argument* eventData, const std::string& ownerId)
{
    if (!transition.GetEvent().empty() && !MatchEvent(transition.GetEvent(), eventName))
        return false;
    return transition.GetCondition().empty() ||
           EvaluateCondition(transition.GetCondition(), eventData, ownerId);
}

bool StateChartInterpreter::MatchEvent(const std::string& pattern, const std::string& eventName)
{
    if (pattern.empty())
        return true;
    return !eventName.empty() && WildcardMatch(pattern, eventName);
}

bool StateChartInterpreter::WildcardMatch(const std::string& pattern, const std::string& text)
{
    size_t p = 0;
    size_t t = 0;
    // Up to the first '*', every character must match.
    while (t < text.size() && (p == pattern.size() || pattern[p] != '*'))
    {
        if (p == pattern.size() || !SameLetter(pattern[p], text[t]))
            return false;
        ++p;
        ++t;
    }
    // Then each '*' first matches nothing and takes one more character each time the rest fails.
    size_t restart = 0;
    size_t nextStart = 0;
    while (t < text.size())
    {
        if (p < pattern.size() && pattern[p] == '*')
        {
            if (++p == pattern.size())
                return true;
            restart = p;
            nextStart = t + 1;
        }
        else if (p < pattern.size() && SameLetter(pattern[p], text[t]))
        {
            ++p;
            ++t;
        }
        else
        {
            p = restart;
            t = nextStart++;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

void StateChartInterpreter::ExecuteTransition(const BasicState& source, const StateList& targets,
                                              const IAction* content, const cl_Argument* eventData,
                                              const std::string& ownerId)
{
    if (!MayTakeTransition(source, ownerId))
        return;
    const DepthCount depth(m_transitionDepth);

    // Targets the chart could not resolve were logged when it was loaded; they are skipped. A transition
    // left without targets only runs its content.
    StateList resolved;
    const bool allResolved = std::find(targets.begin(), targets.end(), nullptr) == targets.end();
    if (!allResolved)
        std::copy_if(targets.begin(), targets.end(), std::back_inserter(resolved),
                     [](const BasicState* target) { return target != nullptr; });
    const StateList& valid = allResolved ? targets : resolved;
    if (valid.empty())
    {
        ExecuteAction(content, eventData, ownerId);
        return;
    }

    const BasicState* domain = FindCommonAncestor(valid.front(), valid);
    const BasicState* exitPoint =
        FindCommonAncestor(&source, std::initializer_list<const BasicState*>{&source, domain});
    if (!exitPoint)
    {
        if (const BasicState* top = LastActiveTopLevelState(ownerId))
        {
            RecordHistory(*top, ownerId);
            ExitDescendants(*top, ownerId);
            ExitState(*top, ownerId);
        }
    }
    else if (valid.size() == 1 && valid.front() == exitPoint)
    {
        RecordHistory(*exitPoint, ownerId);
        ExitDescendants(*exitPoint, ownerId);
        ExitState(*exitPoint, ownerId);
    }
    else
        ExitDescendants(*exitPoint, ownerId);

    ExecuteAction(content, eventData, ownerId);

    for (const BasicState* target : valid)
    {
        EnterState(*target, ownerId);
        EnterInitial(*target, ownerId);
        TryTransitions(*target, NO_EVENT, nullptr, ownerId);
    }
}

bool StateChartInterpreter::MayTakeTransition(const BasicState& source, const std::string& ownerId)
{
    const bool tooDeep = m_transitionDepth >= MAX_TRANSITION_DEPTH;
    if (!tooDeep && m_transitionsInStep < MAX_TRANSITIONS_PER_STEP)
    {
        ++m_transitionsInStep;
        return true;
    }
    if (m_stepCutLogged)
        return false;
    m_stepCutLogged = true;
    if (tooDeep)
        LOG_ERROR(
            "State chart %s: transitions for owner %s nest more than %i deep (an eventless cycle?); the "
            "transition from state '%s' is not taken",
            m_template->GetName().c_str(), ownerId.c_str(), MAX_TRANSITION_DEPTH, source.GetId().c_str());
    else
        LOG_ERROR(
            "State chart %s: owner %s takes more than %i transitions in one step (eventless transitions "
            "that never settle?); from state '%s' on no transition is taken until the step ends",
            m_template->GetName().c_str(), ownerId.c_str(), MAX_TRANSITIONS_PER_STEP, source.GetId().c_str());
    return false;
}

void StateChartInterpreter::ExitDescendants(const BasicState& state, const std::string& ownerId)
{
    const bool parallel = state.GetKind() == StateKind::Parallel;
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
    {
        // Below an inactive state nothing is active.
        if (!IsActive(*child, ownerId))
            continue;
        RecordHistory(*child, ownerId);
        ExitDescendants(*child, ownerId);
        if (!parallel)
            ExitState(*child, ownerId);
    }
    // The regions of a parallel state leave together, after all of their descendants.
    if (parallel)
    {
        for (const std::unique_ptr<BasicState>& child : state.GetChildren())
            ExitState(*child, ownerId);
    }
}

void StateChartInterpreter::ExitState(const BasicState& state, const std::string& ownerId)
{
    Configuration& configuration = GetConfiguration(ownerId);
    auto found = std::find(configuration.begin(), configuration.end(), &state);
    if (found == configuration.end())
        return;
    configuration.erase(found);
    // By index: a listener may remove itself (or others) while it is told.
    for (size_t i = 0; i < m_listeners.size(); ++i)
        m_listeners[i]->NotifyStateExited(state.GetId(), ownerId);
    ExecuteAction(state.GetExitAction(), nullptr, ownerId);
    if (m_dataBinding)
        m_dataBinding->NotifyStateExit(state.GetId(), ownerId);
}

void StateChartInterpreter::RecordHistory(const BasicState& state, const std::string& ownerId)
{
    if (!IsActive(state, ownerId))
        return;
    const BasicState* history = nullptr;
    for (StateKind kind : {StateKind::ShallowHistory, StateKind::DeepHistory})
    {
        for (const std::unique_ptr<BasicState>& child : state.GetChildren())
        {
            if (!history && child->GetKind() == kind)
                history = child.get();
        }
    }
    if (!history)
        return;

    StateList stored;
    if (history->GetKind() == StateKind::ShallowHistory)
    {
        for (const std::unique_ptr<BasicState>& child : state.GetChildren())
        {
            if (IsActive(*child, ownerId))
                stored.push_back(child.get());
        }
    }
    else
        CollectActiveLeaves(state, ownerId, stored);

    StoredHistories& histories = m_histories[ownerId];
    if (stored.empty())
        histories.erase(history);
    else
        histories[history] = std::move(stored);
}

void StateChartInterpreter::EnterState(const BasicState& state, const std::string& ownerId)
{
    const BasicState* parent = state.GetParent();
    if (parent && !IsActive(*parent, ownerId))
        EnterState(*parent, ownerId);
    if (IsActive(state, ownerId))
        return;

    GetConfiguration(ownerId).push_back(&state);
    for (size_t i = 0; i < m_listeners.size(); ++i)
        m_listeners[i]->NotifyStateEntered(state.GetId(), ownerId);
    ExecuteAction(state.GetEntryAction(), nullptr, ownerId);

    if (state.GetKind() == StateKind::Final)
    {
        if (parent)
        {
            SendEvent(parent->GetId() + ".Done", nullptr, ownerId);
            const BasicState* grandparent = parent->GetParent();
            if (grandparent && grandparent->GetKind() == StateKind::Parallel)
            {
                const auto& regions = grandparent->GetChildren();
                const bool complete = std::all_of(regions.begin(), regions.end(),
                                                  [this, &ownerId](const auto& region)
                                                  { return IsComplete(*region, ownerId); });
                if (complete)
                    SendEvent(grandparent->GetId() + ".Done", nullptr, ownerId);
            }
        }
        else
            Stop(ownerId);
    }
    EnterRegions(state, ownerId);
}

void StateChartInterpreter::EnterInitial(const BasicState& state, const std::string& ownerId)
{
    const auto& children = state.GetChildren();
    if (state.GetKind() == StateKind::Parallel)
    {
        for (const std::unique_ptr<BasicState>& child : children)
            EnterInitial(*child, ownerId);
        return;
    }
    const bool hasActiveChild =
        std::any_of(children.begin(), children.end(),
                    [this, &ownerId](const auto& child) { return IsActive(*child, ownerId); });
    if (hasActiveChild)
        return;
    for (const std::unique_ptr<BasicState>& child : children)
    {
        if (child->GetKind() == StateKind::Initial)
        {
            TryTransitions(*child, NO_EVENT, nullptr, ownerId);
            return;
        }
    }
}

void StateChartInterpreter::EnterRegions(const BasicState& state, const std::string& ownerId)
{
    if (state.GetKind() != StateKind::Parallel)
        return;
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
        EnterState(*child, ownerId);
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
        EnterRegions(*child, ownerId);
}

bool StateChartInterpreter::IsActive(const BasicState& state, const std::string& ownerId) const
{
    const Configuration* configuration = FindConfiguration(ownerId);
    return configuration &&
           std::find(configuration->begin(), configuration->end(), &state) != configuration->end();
}

bool StateChartInterpreter::IsComplete(const BasicState& state, const std::string& ownerId) const
{
    const auto& children = state.GetChildren();
    switch (state.GetKind())
    {
    case StateKind::Final:
        return IsActive(state, ownerId);
    case StateKind::Parallel:
        return std::all_of(children.begin(), children.end(),
                           [this, &ownerId](const auto& child) { return IsComplete(*child, ownerId); });
    default:
        return std::any_of(children.begin(), children.end(),
                           [this, &ownerId](const auto& child)
                           { return child->GetKind() == StateKind::Final && IsActive(*child, ownerId); });
    }
}

bool StateChartInterpreter::EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                                              const std::string& ownerId)
{
    return !m_dataBinding || m_dataBinding->EvaluateCondition(condition, eventData, ownerId);
}

void StateChartInterpreter::ExecuteAction(const IAction* action, const cl_Argument* eventData,
                                          const std::string& ownerId)
{
    if (m_actionsSuppressed || !action || !m_dataBinding)
        return;
    m_dataBinding->ExecuteAction(action, eventData, ownerId);
}

const BasicState* StateChartInterpreter::LastActiveTopLevelState(const std::string& ownerId) const
{
    const auto& topLevel = m_template->GetRoot().GetChildren();
    for (auto state = topLevel.rbegin(); state != topLevel.rend(); ++state)
    {
        if (IsActive(**state, ownerId))
            return state->get();
    }
    return nullptr;
}

void StateChartInterpreter::CollectActiveLeaves(const BasicState& state, const std::string& ownerId,
                                                StateList& leaves) const
{
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
    {
        if (!IsActive(*child, ownerId))
            continue;
        if (!child->IsAtomic())
            CollectActiveLeaves(*child, ownerId, leaves);
        else if (child->GetKind() == StateKind::State || child->GetKind() == StateKind::Final)
            leaves.push_back(child.get());
    }
}

StateChartInterpreter::Configuration& StateChartInterpreter::GetConfiguration(const std::string& ownerId)
{
    Step* step = Step::Of(m_innermostStep, ownerId);
    if (step && step->m_configuration)
        return *step->m_configuration;
    Configuration& configuration = m_configurations[ownerId];
    if (step)
        step->m_configuration = &configuration;
    return configuration;
}

const StateChartInterpreter::Configuration*
StateChartInterpreter::FindConfiguration(const std::string& ownerId) const
{
    if (const Step* step = Step::Of(m_innermostStep, ownerId))
        return step->m_configuration;
    auto found = m_configurations.find(ownerId);
    return found == m_configurations.end() ? nullptr : &found->second;
}
