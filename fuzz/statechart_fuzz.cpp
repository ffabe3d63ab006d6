// Loads arbitrary bytes as a state chart and, when a chart results, runs it: start, the chart's own event
// patterns sent as events, save and restore into a second owner, stop.
#include "statechart/IDataBinding.h"
#include "statechart/StateChartInterpreter.h"

#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace
{
// Answers conditions by their length so that both branches are reached; runs no content.
class ParityBinding : public IDataBinding
{
public:
    bool EvaluateCondition(const std::string& condition, const cl_Argument*, std::string) override
    {
        return condition.size() % 2 == 0;
    }
    void ExecuteAction(const IAction*, const cl_Argument*, std::string) override {}
    void NotifyStateExit(const std::string&, std::string) override {}
};

const size_t MAX_EVENTS = 8;

void CollectEvents(const BasicState& state, std::vector<std::string>& events)
{
    for (const auto& transition : state.GetTransitions())
    {
        if (events.size() < MAX_EVENTS)
            events.push_back(transition->GetEvent());
    }
    if (!state.GetId().empty() && events.size() < MAX_EVENTS)
        events.push_back(state.GetId() + ".Done");
    for (const auto& child : state.GetChildren())
        CollectEvents(*child, events);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool keepWhiteSpace = []
    {
        TiXmlBase::SetCondenseWhiteSpace(false);
        return true;
    }();
    (void)keepWhiteSpace;

    std::unique_ptr<StateChartTemplate> chart = StateChartTemplate::LoadFromText(
        std::string(reinterpret_cast<const char*>(data), size), "fuzz.scxml");
    if (!chart)
        return 0;
    std::vector<std::string> events;
    CollectEvents(chart->GetRoot(), events);

    ParityBinding binding;
    StateChartInterpreter interpreter(&binding, std::move(chart));
    interpreter.AddOwner("owner");
    interpreter.Start("owner");
    for (const std::string& event : events)
        interpreter.SendEvent(event, nullptr, "owner");

    interpreter.Restore(interpreter.GetActiveStateIds("owner"), "copy", interpreter.GetHistory("owner"));
    interpreter.Stop("owner");
    interpreter.Stop("copy");
    interpreter.RemoveOwner("owner");
    return 0;
}
