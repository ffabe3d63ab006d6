#include "statechart/StateChartTemplate.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlParse.h"
#include "statechart/cl_ScriptAction.h"

#include <tinyxml.h>

#include <iterator>
#include <map>
#include <utility>
#include <vector>

namespace
{
StateKind KindOf(const TiXmlElement& element)
{
    const std::string& name = element.ValueStr();
    if (name == "parallel")
        return StateKind::Parallel;
    if (name == "final")
        return StateKind::Final;
    if (name == "history")
    {
        const std::string* type = element.Attribute(std::string("type"));
        return type && *type == "deep" ? StateKind::DeepHistory : StateKind::ShallowHistory;
    }
    if (name == "initial")
        return StateKind::Initial;
    return StateKind::State;
}

std::string AttributeOrEmpty(const TiXmlElement& element, const char* name)
{
    const std::string* value = element.Attribute(std::string(name));
    return value ? *value : std::string();
}

// The executable content of an onentry, onexit or transition element: the text of its first child
// element when that is a `script` whose first node is text (CDATA included). Anything else is no content.
std::unique_ptr<IAction> ReadContent(const TiXmlElement& element)
{
    const TiXmlElement* first = element.FirstChildElement();
    if (!first || first->ValueStr() != "script")
        return nullptr;
    const TiXmlNode* node = first->FirstChild();
    const TiXmlText* text = node ? node->ToText() : nullptr;
    if (!text)
        return nullptr;
    return std::make_unique<cl_ScriptAction>(text->ValueStr());
}

// Builds one template from a parsed document. Targets are resolved after the whole file is read, since a
// transition may name a state further down.
class ChartReader
{
public:
    explicit ChartReader(const std::string& chartName) : m_chartName(chartName) {}

    std::unique_ptr<StateChartTemplate> Read(const TiXmlDocument& document);

private:
    std::unique_ptr<BasicState> ReadState(const TiXmlElement& element);
    std::unique_ptr<Transition> ReadTransition(const TiXmlElement& element);
    void ResolveTargets();
    // The last state read with this id, or null (logged) when none has it.
    const BasicState* Resolve(const std::string& id, const std::string& where) const;

    const std::string& m_chartName;
    std::map<std::string, const BasicState*> m_ids;
    std::vector<std::pair<Transition*, std::string>> m_pendingTargets;
};

std::unique_ptr<StateChartTemplate> ChartReader::Read(const TiXmlDocument& document)
{
    const TiXmlElement* scxml = document.FirstChildElement("scxml");
    if (!scxml)
    {
        LOG_ERROR("State chart %s has no top-level scxml element", m_chartName.c_str());
        return nullptr;
    }

    auto chart = std::make_unique<StateChartTemplate>(m_chartName);
    for (const TiXmlElement* child = scxml->FirstChildElement(); child; child = child->NextSiblingElement())
    {
        if (std::unique_ptr<BasicState> state = ReadState(*child))
            chart->AddTopLevelState(std::move(state));
    }
    ResolveTargets();

    if (const std::string* initial = scxml->Attribute(std::string("initialstate")))
    {
        auto start = std::make_unique<Transition>(std::string(), std::string(), nullptr);
        start->SetTargets({Resolve(*initial, "initialstate")});
        auto pseudoState = std::make_unique<BasicState>(std::string(), StateKind::Initial);
        pseudoState->AddTransition(std::move(start));
        chart->AddTopLevelState(std::move(pseudoState));
    }
    return chart;
}

std::unique_ptr<BasicState> ChartReader::ReadState(const TiXmlElement& element)
{
    const std::string* id = element.Attribute(std::string("id"));
    if (!id)
        return nullptr;

    auto state = std::make_unique<BasicState>(*id, KindOf(element));
    auto entry = m_ids.find(*id);
    if (entry == m_ids.end())
        m_ids.emplace(*id, state.get());
    else
    {
        LOG_WARNING("State chart %s: the state id '%s' is used more than once; targets name the last one",
                    m_chartName.c_str(), id->c_str());
        entry->second = state.get();
    }

    for (const TiXmlElement* child = element.FirstChildElement(); child; child = child->NextSiblingElement())
    {
        const std::string& name = child->ValueStr();
        if (name == "transition")
            state->AddTransition(ReadTransition(*child));
        else if (name == "onentry")
            state->SetEntryAction(ReadContent(*child));
        else if (name == "onexit")
            state->SetExitAction(ReadContent(*child));
        else if (std::unique_ptr<BasicState> childState = ReadState(*child))
            state->AddChild(std::move(childState));
    }
    return state;
}

std::unique_ptr<Transition> ChartReader::ReadTransition(const TiXmlElement& element)
{
    auto transition = std::make_unique<Transition>(AttributeOrEmpty(element, "event"),
                                                   AttributeOrEmpty(element, "cond"), ReadContent(element));
    if (const std::string* target = element.Attribute(std::string("target")))
        m_pendingTargets.emplace_back(transition.get(), *target);
    return transition;
}

void ChartReader::ResolveTargets()
{
    for (const auto& [transition, text] : m_pendingTargets)
    {
        const std::string where = "a transition of state '" + transition->GetSource()->GetId() + "'";
        std::vector<const BasicState*> targets;
        std::string::size_type start = 0;
        while (true)
        {
            const std::string::size_type blank = text.find(' ', start);
            targets.push_back(Resolve(text.substr(start, blank - start), where));
            if (blank == std::string::npos)
                break;
            start = blank + 1;
        }
        transition->SetTargets(std::move(targets));
    }
}

const BasicState* ChartReader::Resolve(const std::string& id, const std::string& where) const
{
    auto entry = m_ids.find(id);
    if (entry != m_ids.end())
        return entry->second;
    LOG_ERROR("State chart %s: %s names the unknown state '%s'", m_chartName.c_str(), where.c_str(),
              id.c_str());
    return nullptr;
}

const BasicState* FindDepthFirst(const BasicState& state, const std::string& id)
{
    if (state.GetId() == id)
        return &state;
    for (const std::unique_ptr<BasicState>& child : state.GetChildren())
    {
        if (const BasicState* found = FindDepthFirst(*child, id))
            return found;
    }
    return nullptr;
}

// Every line end ("\r\n" or a lone "\r") becomes "\n", as TinyXML's own file reading does.
std::string UnixLineEnds(const std::string& text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '\r')
            result += text[i];
        else if (i + 1 == text.size() || text[i + 1] != '\n')
            result += '\n';
    }
    return result;
}

std::unique_ptr<StateChartTemplate> Build(const std::string& text, const std::string& chartName)
{
    // Parsed from text, not by TinyXML's file reading: a file that ends inside a UTF-8 character would
    // let TinyXML read past its buffer.
    TiXmlDocument document;
    ParseXml(document, text, chartName);
    if (document.Error())
    {
        LOG_ERROR("State chart %s: %s (row %i, column %i)", chartName.c_str(), document.ErrorDesc(),
                  document.ErrorRow(), document.ErrorCol());
        return nullptr;
    }
    return ChartReader(chartName).Read(document);
}
} // namespace

std::unique_ptr<StateChartTemplate> StateChartTemplate::Load(const std::string& path)
{
    const std::string filePath = ForwardSlashes(path);
    std::string text;
    if (!ReadFileText(filePath, text))
    {
        LOG_ERROR("State chart %s cannot be read", filePath.c_str());
        return nullptr;
    }
    return Build(UnixLineEnds(text), filePath);
}

std::shared_ptr<const StateChartTemplate> StateChartTemplate::LoadShared(const std::string& path)
{
    // Not owning: a template lives as long as the interpreters that run it.
    static std::map<std::string, std::weak_ptr<const StateChartTemplate>> loaded;
    const std::string filePath = ForwardSlashes(path);
    if (std::shared_ptr<const StateChartTemplate> held = loaded[filePath].lock())
        return held;
    std::shared_ptr<const StateChartTemplate> chart = Load(filePath);
    for (auto entry = loaded.begin(); entry != loaded.end();)
        entry = entry->second.expired() ? loaded.erase(entry) : std::next(entry);
    if (chart)
        loaded[filePath] = chart;
    return chart;
}

std::unique_ptr<StateChartTemplate> StateChartTemplate::LoadFromText(const std::string& text,
                                                                     const std::string& chartName)
{
    return Build(text, chartName);
}

StateChartTemplate::StateChartTemplate(std::string name)
    : m_root(std::make_unique<BasicState>(std::string(), StateKind::State)), m_name(std::move(name))
{
    m_root->SetTemplate(this);
}

StateChartTemplate::~StateChartTemplate() = default;

void StateChartTemplate::AddTopLevelState(std::unique_ptr<BasicState> state)
{
    state->SetTemplate(this);
    BasicState* added = state.get();
    m_root->AddChild(std::move(state));
    added->m_parent = nullptr;
}

const BasicState* StateChartTemplate::FindState(const std::string& id) const
{
    return FindDepthFirst(*m_root, id);
}
