#pragma once

#include "statechart/StateChartTemplate.h"

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

class IDataBinding;
class IStateChartListener;
class cl_Argument;

// Runs one state chart for its owners: per owner the active states, a queue of pending events and the
// stored history. Events run to completion per owner: an event sent to an owner whose earlier event is
// still being processed (from a script, a listener or a ".Done") waits until that one is finished.
// Everything runs on the caller's stack.
//
// Charts that would never settle are cut off with an error log naming the chart. A step is one outermost
// call of Start, Stop, Restore or SendEvent with everything it sets off (nested transitions, queued events,
// calls made by scripts and listeners). Transitions that nest deeper than MAX_TRANSITION_DEPTH (an eventless
// cycle) are not taken, nor any after the first MAX_TRANSITIONS_PER_STEP of a step; an owner that keeps
// sending itself events has its queue dropped after MAX_EVENTS_PER_SEND events.
class StateChartInterpreter
{
public:
    // Shared and never changed, so an event waiting in a queue keeps its data alive after the sender's
    // argument is gone. Null means no event data.
    using EventData = std::shared_ptr<const cl_Argument>;
    // History state id -> ids of the states it restores.
    using HistoryMap = std::map<std::string, std::vector<std::string>>;

    static constexpr int MAX_TRANSITION_DEPTH = 100;
    static constexpr int MAX_TRANSITIONS_PER_STEP = 1000;
    static constexpr int MAX_EVENTS_PER_SEND = 100;

    // binding may be null: then every condition holds and no content runs. The chart may be shared with
    // other interpreters (each keeps its owners' states apart from it); a null chart runs as an empty one.
    StateChartInterpreter(IDataBinding* binding, std::shared_ptr<const StateChartTemplate> chart);
    virtual ~StateChartInterpreter();

    StateChartInterpreter(const StateChartInterpreter&) = delete;
    StateChartInterpreter& operator=(const StateChartInterpreter&) = delete;

    // Listeners are not owned and told in the order they were added; no duplicate check.
    void AddListener(IStateChartListener* listener);
    // Removes the first occurrence, if any.
    void RemoveListener(IStateChartListener* listener);

    // Registers the owner with empty containers (an unknown owner also gets them on first use).
    void AddOwner(const std::string& ownerId);
    // Forgets a registered owner's configuration, queue and histories; unregistered ids are ignored.
    void RemoveOwner(const std::string& ownerId);

    // Enters the chart's first top-level initial state and follows its transition. Without one nothing
    // becomes active.
    void Start(const std::string& ownerId);
    // Exits the active top-level state with its descendants. Queue and stored histories stay.
    void Stop(const std::string& ownerId);
    // Queues the event; processes the queue unless an earlier event of the owner is under way. Event names
    // match transition patterns case-insensitively, with the wildcards '*' and '?'. At most one transition
    // fires per event; an event no state takes is dropped.
    void SendEvent(const std::string& eventName, EventData eventData, const std::string& ownerId);

    // Whether a state with exactly this id is active for the owner.
    bool IsInState(const std::string& stateId, const std::string& ownerId) const;
    // The saved form of the configuration: the ids of the active atomic states and finals, in document order.
    std::vector<std::string> GetActiveStateIds(const std::string& ownerId) const;
    // The saved form of the stored histories.
    HistoryMap GetHistory(const std::string& ownerId) const;
    // Re-enters saved states (with their missing ancestors) and replaces the stored histories. Entry
    // content of the re-entered states does not run; listeners are told of each entry. Empty ids and ids
    // the chart does not know are skipped.
    void Restore(const std::vector<std::string>& stateIds, const std::string& ownerId,
                 const HistoryMap& histories);

private:
    class Step;
    struct PendingEvent
    {
        std::string name;
        EventData data;
    };
    using Configuration = std::vector<const BasicState*>;
    using StateList = std::vector<const BasicState*>;
    using StoredHistories = std::map<const BasicState*, StateList>;

    bool ProcessEvent(const BasicState& state, const PendingEvent& event, const std::string& ownerId);
    bool TryTransitions(const BasicState& state, const std::string& eventName, const cl_Argument* eventData,
                        const std::string& ownerId);
    bool TransitionMatches(const Transition& transition, const std::string& eventName,
                           const cl_Argument* eventData, const std::string& ownerId);
    static bool MatchEvent(const std::string& pattern, const std::string& eventName);
    static bool WildcardMatch(const std::string& pattern, const std::string& text);
    void ExecuteTransition(const BasicState& source, const StateList& targets, const IAction* content,
                           const cl_Argument* eventData, const std::string& ownerId);
    // Counts the transition against the caps of the step; false (logged once a step) when it must not run.
    bool MayTakeTransition(const BasicState& source, const std::string& ownerId);
    void ExitDescendants(const BasicState& state, const std::string& ownerId);
    void ExitState(const BasicState& state, const std::string& ownerId);
    void RecordHistory(const BasicState& state, const std::string& ownerId);
    void EnterState(const BasicState& state, const std::string& ownerId);
    void EnterInitial(const BasicState& state, const std::string& ownerId);
    void EnterRegions(const BasicState& state, const std::string& ownerId);
    bool IsActive(const BasicState& state, const std::string& ownerId) const;
    bool IsComplete(const BasicState& state, const std::string& ownerId) const;
    bool EvaluateCondition(const std::string& condition, const cl_Argument* eventData,
                           const std::string& ownerId);
    void ExecuteAction(const IAction* action, const cl_Argument* eventData, const std::string& ownerId);

    // The last top-level state in document order that is active, or null.
    const BasicState* LastActiveTopLevelState(const std::string& ownerId) const;
    // Appends the active atomic states and finals below state, depth-first through active states.
    void CollectActiveLeaves(const BasicState& state, const std::string& ownerId, StateList& leaves) const;
    Configuration& GetConfiguration(const std::string& ownerId);
    // Null for an owner that has none yet.
    const Configuration* FindConfiguration(const std::string& ownerId) const;

    bool m_actionsSuppressed = false;
    std::shared_ptr<const StateChartTemplate> m_template;
    std::map<std::string, Configuration> m_configurations;
    std::vector<std::string> m_owners;
    std::map<std::string, std::deque<PendingEvent>> m_queues;
    std::map<std::string, StoredHistories> m_histories;
    IDataBinding* m_dataBinding;
    std::vector<IStateChartListener*> m_listeners;
    Step* m_innermostStep = nullptr;
    // Counts RemoveOwner calls, so that an event's processing knows when its owner's queue may be gone.
    unsigned m_ownerRemovals = 0;
    int m_transitionDepth = 0;
    int m_callDepth = 0;
    int m_transitionsInStep = 0;
    bool m_stepCutLogged = false;
};
