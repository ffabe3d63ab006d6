#pragma once

#include "statechart/IStateChartListener.h"
#include "statechart/cl_ScriptAction.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class IDataBinding;
class StateChartInterpreter;
class StateChartTemplate;
class TiXmlElement;
class cl_Argument;
class cl_Asset;
class cl_GameState;

// A Lua condition checked after every event that entered a state; its script runs each time the condition
// holds at such a check.
struct LogicTrigger
{
    std::string name;
    std::string condition;
    cl_ScriptAction script;
};

// The behaviour of one asset: its state chart (an interpreter of its own over the chart's template, with
// the asset id as owner), its logic parameters, its triggers and its interaction items. The
// running state lives in the asset's "logic" element of the game state ("state" and "history" children,
// plus "interactionitem" entries), so it is saved with the game.
//
// Without a chart every event, state query and save does nothing (IsInState is false). Without a bound
// element, SaveState writes nothing, the interaction-item operations do nothing and Start begins at the
// chart's initial state.
class cl_AssetLogic : public IStateChartListener
{
public:
    // Trigger checks set off by trigger scripts (a trigger that sends an event which enters a state and
    // so checks the triggers again) nest at most this deep; deeper checks are cut with an error log.
    static constexpr int MAX_TRIGGER_DEPTH = 32;

    // chart may be null (no chart) and may be shared with other logics. The chart runs over the
    // state-chart system's data binding, which must outlive the logic.
    cl_AssetLogic(std::shared_ptr<const StateChartTemplate> chart, const std::string& assetId);
    ~cl_AssetLogic() override;

    cl_AssetLogic(const cl_AssetLogic&) = delete;
    cl_AssetLogic& operator=(const cl_AssetLogic&) = delete;

    // Marks the configuration as changed, so the triggers are checked after the event under way.
    void NotifyStateEntered(const std::string& stateId, std::string ownerId) override;
    void NotifyStateExited(const std::string& stateId, std::string ownerId) override;

    // Replaces parameters and triggers with those of the asset's "logic" element: "parameter" children
    // (attributes "name" and "assetid", both required; a later name wins) and "trigger" children
    // (attribute "name" required, "condition" optional, the text is the script).
    void LoadFromXml(const TiXmlElement& logicElement);

    // The asset id a parameter names; empty for a name that is no parameter.
    const std::string& GetParam(const std::string& name) const;
    const std::string& GetAssetId() const { return m_assetId; }
    bool HasStateChart() const { return m_interpreter != nullptr; }

    // Has the chart process the event at once, to completion (an event for a chart that is busy with an
    // earlier one waits for it), then checks the triggers when a state was entered. data may be null; a
    // copy is taken, so the caller's argument may go at once.
    void SendEvent(const std::string& event, const cl_Argument* data);
    // Runs, in document order, the script of every trigger whose condition holds now.
    void CheckTriggers();
    // Whether the chart is in the state with exactly this id.
    bool IsInState(const std::string& stateId) const;

    // Defines the Lua global named by the asset id (its value the id), then restores the chart from the
    // bound element's "state" and "history" children, or starts it from its initial state when no state
    // was stored. A logic that was started is stopped first.
    void Start();
    // Leaves the chart's states and forgets its configuration and histories; nothing when not started.
    void Stop();
    bool IsStarted() const { return m_started; }

    // Writes the active leaf states and the histories into the bound element; interaction items stay.
    void SaveState();
    // Binds the asset's "logic" element of the game state, created when missing. A null game state, or one
    // without a tree, unbinds.
    void BindState(cl_GameState* gameState);

    // Interaction items: the items (or characters) the asset accepts, each possibly only while the logic is
    // in a named state. Empty item ids are ignored; adding an entry that exists does nothing.
    void ClearInteractionItems();
    void AddInteractionItem(const std::string& itemId, const std::string& condition);
    // Removes the first entry with this item and exactly this condition (none for an empty one).
    void RemoveInteractionItem(const std::string& itemId, const std::string& condition);
    // Whether an entry for the item has no condition or one naming a state the logic is in; false for null.
    bool HasInteractionItem(const cl_Asset* item) const;

private:
    // The first "interactionitem" entry with this item and this condition (none when condition is empty).
    TiXmlElement* FindInteractionItem(const std::string& itemId, const std::string& condition) const;
    // Sets the Lua global named by the asset id to the id; logs when it held something else before.
    void DefineIdGlobal() const;

    std::unique_ptr<StateChartInterpreter> m_interpreter;
    IDataBinding* m_binding = nullptr;
    std::map<std::string, std::string> m_parameters;
    std::string m_assetId;
    TiXmlElement* m_stateElement = nullptr;
    std::vector<LogicTrigger> m_triggers;
    bool m_started = false;
    bool m_configurationChanged = false;
};
