#include "assets/cl_AssetLogic.h"

#include "assets/cl_Asset.h"
#include "assets/cl_GameState.h"
#include "common/LogCall.h"
#include "common/cl_Argument.h"
#include "common/cl_ScriptSystem.h"
#include "statechart/IDataBinding.h"
#include "statechart/StateChartInterpreter.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <tinyxml.h>

#include <memory>

namespace
{
const std::string NO_PARAMETER;

// Trigger checks in progress, counted across all logics: a cascade may run through several of them.
int g_triggerDepth = 0;
// Set when a cascade reached the depth cap; no trigger runs until its outermost check has returned.
bool g_triggerCascadeCut = false;

class TriggerDepth
{
public:
    TriggerDepth() { ++g_triggerDepth; }
    ~TriggerDepth()
    {
        if (--g_triggerDepth == 0)
            g_triggerCascadeCut = false;
    }
    TriggerDepth(const TriggerDepth&) = delete;
    TriggerDepth& operator=(const TriggerDepth&) = delete;
};

std::string Attribute(const TiXmlElement& element, const char* name)
{
    const char* value = element.Attribute(name);
    return value ? value : std::string();
}

void RemoveChildren(TiXmlElement& element, const char* name)
{
    while (TiXmlElement* child = element.FirstChildElement(name))
        element.RemoveChild(child);
}

TiXmlElement* AppendStateId(TiXmlElement& parent, const char* name, const std::string& stateId)
{
    auto* element = new TiXmlElement(name);
    element->SetAttribute("stateid", stateId);
    parent.LinkEndChild(element);
    return element;
}

std::vector<std::string> ChildStateIds(const TiXmlElement& element)
{
    std::vector<std::string> ids;
    for (const TiXmlElement* state = element.FirstChildElement("state"); state;
         state = state->NextSiblingElement("state"))
        ids.push_back(Attribute(*state, "stateid"));
    return ids;
}

IDataBinding* StateChartBinding()
{
    const cl_StateChartSystem* system = cl_StateChartSystem::GetInstance();
    return system ? system->GetDataBinding() : nullptr;
}
} // namespace

cl_AssetLogic::cl_AssetLogic(std::shared_ptr<const StateChartTemplate> chart, const std::string& assetId)
    : m_assetId(assetId)
{
    if (!chart)
        return;
    m_binding = StateChartBinding();
    m_interpreter = std::make_unique<StateChartInterpreter>(m_binding, std::move(chart));
    m_interpreter->AddListener(this);
}

cl_AssetLogic::~cl_AssetLogic()
{
    Stop();
    if (m_interpreter)
        m_interpreter->RemoveListener(this);
}

void cl_AssetLogic::NotifyStateEntered(const std::string& /*stateId*/, std::string /*ownerId*/)
{
    m_configurationChanged = true;
}

void cl_AssetLogic::NotifyStateExited(const std::string& /*stateId*/, std::string /*ownerId*/) {}

void cl_AssetLogic::LoadFromXml(const TiXmlElement& logicElement)
{
    m_parameters.clear();
    m_triggers.clear();
    for (const TiXmlElement* parameter = logicElement.FirstChildElement("parameter"); parameter;
         parameter = parameter->NextSiblingElement("parameter"))
    {
        const char* name = parameter->Attribute("name");
        const char* assetId = parameter->Attribute("assetid");
        if (name && assetId)
            m_parameters[name] = assetId;
    }
    for (const TiXmlElement* trigger = logicElement.FirstChildElement("trigger"); trigger;
         trigger = trigger->NextSiblingElement("trigger"))
    {
        const char* name = trigger->Attribute("name");
        if (!name)
            continue;
        const char* script = trigger->GetText();
        m_triggers.push_back(
            LogicTrigger{name, Attribute(*trigger, "condition"), cl_ScriptAction(script ? script : "")});
    }
}

const std::string& cl_AssetLogic::GetParam(const std::string& name) const
{
    const auto found = m_parameters.find(name);
    return found != m_parameters.end() ? found->second : NO_PARAMETER;
}

void cl_AssetLogic::SendEvent(const std::string& event, const cl_Argument* data)
{
    if (!m_interpreter)
        return;
    // The chart may keep the event waiting behind one it is busy with, so it gets a copy it shares.
    StateChartInterpreter::EventData copy = data ? std::make_shared<const cl_Argument>(*data) : nullptr;
    m_interpreter->SendEvent(event, std::move(copy), m_assetId);
    if (m_configurationChanged)
        CheckTriggers();
}

void cl_AssetLogic::CheckTriggers()
{
    m_configurationChanged = false;
    if (!m_interpreter || !m_binding || m_triggers.empty())
        return;
    if (g_triggerDepth >= MAX_TRIGGER_DEPTH)
    {
        if (!g_triggerCascadeCut)
            LOG_ERROR("The triggers of '%s' keep entering states: trigger checks nested %i deep; the rest of "
                      "this cascade is cut.",
                      m_assetId.c_str(), MAX_TRIGGER_DEPTH);
        g_triggerCascadeCut = true;
        return;
    }
    const TriggerDepth depth;
    for (const LogicTrigger& trigger : m_triggers)
    {
        if (g_triggerCascadeCut)
            return;
        // No condition holds always, as in the charts, rather than failing to evaluate at every check.
        if (trigger.condition.empty() || m_binding->EvaluateCondition(trigger.condition, nullptr, m_assetId))
            m_binding->ExecuteAction(&trigger.script, nullptr, m_assetId);
    }
}

bool cl_AssetLogic::IsInState(const std::string& stateId) const
{
    return m_interpreter && m_interpreter->IsInState(stateId, m_assetId);
}

void cl_AssetLogic::Start()
{
    if (m_started)
        Stop();
    m_started = true;
    if (!m_interpreter)
        return;
    DefineIdGlobal();
    m_interpreter->AddOwner(m_assetId);

    std::vector<std::string> states;
    StateChartInterpreter::HistoryMap histories;
    if (m_stateElement)
    {
        states = ChildStateIds(*m_stateElement);
        for (const TiXmlElement* history = m_stateElement->FirstChildElement("history"); history;
             history = history->NextSiblingElement("history"))
            histories[Attribute(*history, "stateid")] = ChildStateIds(*history);
    }
    if (states.empty())
        m_interpreter->Start(m_assetId);
    else
        m_interpreter->Restore(states, m_assetId, histories);
}

void cl_AssetLogic::Stop()
{
    if (!m_started)
        return;
    m_started = false;
    if (!m_interpreter)
        return;
    m_interpreter->Stop(m_assetId);
    m_interpreter->RemoveOwner(m_assetId);
}

void cl_AssetLogic::SaveState()
{
    if (!m_interpreter || !m_stateElement)
        return;
    RemoveChildren(*m_stateElement, "state");
    for (const std::string& stateId : m_interpreter->GetActiveStateIds(m_assetId))
        AppendStateId(*m_stateElement, "state", stateId);
    RemoveChildren(*m_stateElement, "history");
    for (const auto& history : m_interpreter->GetHistory(m_assetId))
    {
        TiXmlElement* element = AppendStateId(*m_stateElement, "history", history.first);
        for (const std::string& stateId : history.second)
            AppendStateId(*element, "state", stateId);
    }
}

void cl_AssetLogic::BindState(cl_GameState* gameState)
{
    m_stateElement = gameState ? gameState->GetLogicState(m_assetId) : nullptr;
}

void cl_AssetLogic::ClearInteractionItems()
{
    if (m_stateElement)
        RemoveChildren(*m_stateElement, "interactionitem");
}

void cl_AssetLogic::AddInteractionItem(const std::string& itemId, const std::string& condition)
{
    if (itemId.empty() || !m_stateElement || FindInteractionItem(itemId, condition))
        return;
    auto* entry = new TiXmlElement("interactionitem");
    entry->SetAttribute("item", itemId);
    if (!condition.empty())
        entry->SetAttribute("condition", condition);
    m_stateElement->LinkEndChild(entry);
}

void cl_AssetLogic::RemoveInteractionItem(const std::string& itemId, const std::string& condition)
{
    if (itemId.empty())
        return;
    if (TiXmlElement* entry = FindInteractionItem(itemId, condition))
        m_stateElement->RemoveChild(entry);
}

bool cl_AssetLogic::HasInteractionItem(const cl_Asset* item) const
{
    if (!item || !m_stateElement)
        return false;
    for (const TiXmlElement* entry = m_stateElement->FirstChildElement("interactionitem"); entry;
         entry = entry->NextSiblingElement("interactionitem"))
    {
        if (Attribute(*entry, "item") != item->GetId())
            continue;
        const char* condition = entry->Attribute("condition");
        if (!condition || IsInState(condition))
            return true;
    }
    return false;
}

TiXmlElement* cl_AssetLogic::FindInteractionItem(const std::string& itemId,
                                                 const std::string& condition) const
{
    if (!m_stateElement)
        return nullptr;
    for (TiXmlElement* entry = m_stateElement->FirstChildElement("interactionitem"); entry;
         entry = entry->NextSiblingElement("interactionitem"))
    {
        const char* entryCondition = entry->Attribute("condition");
        const bool conditionMatches =
            condition.empty() ? !entryCondition : entryCondition && condition == entryCondition;
        if (conditionMatches && Attribute(*entry, "item") == itemId)
            return entry;
    }
    return nullptr;
}

void cl_AssetLogic::DefineIdGlobal() const
{
    cl_ScriptSystem* script = cl_ScriptSystem::GetInstance();
    if (!script)
        return;
    // Set by an earlier start, as at every load of a game after the first.
    if (script->HasGlobalString(m_assetId, m_assetId))
        return;
    // Asset ids share Lua's global names with everything else; an id like "print" replaces a function.
    if (script->HasGlobal(m_assetId))
        LOG_WARNING("The Lua global '%s' held another value; the logic of asset '%s' replaces it with the "
                    "asset id.",
                    m_assetId.c_str(), m_assetId.c_str());
    cl_Argument value;
    value.SetString(m_assetId);
    script->SetGlobal(m_assetId, value);
}
