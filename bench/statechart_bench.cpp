// Events per second (items_per_second) of one state chart of 30 states, run as an asset's chart runs:
// through the Lua data binding of the state-chart system. Ten compound states in a ring, each with two
// children; the event "step" moves from the first child to the second and on to the next compound state,
// whose initial state enters its first child. Once with plain transitions, once with a Lua condition on
// every transition, which the binding evaluates as each event is taken.
#include "common/cl_LuaScriptSystem.h"
#include "statechart/StateChartInterpreter.h"
#include "statechart/StateChartTemplate.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
constexpr int RING = 10;
constexpr int EVENTS = 1000;

std::string RingChart(const std::string& condition)
{
    const std::string cond = condition.empty() ? std::string() : " cond=\"" + condition + "\"";
    std::string chart = "<scxml initialstate=\"s0\">\n";
    for (int n = 0; n < RING; ++n)
    {
        const std::string id = "s" + std::to_string(n);
        const std::string next = "s" + std::to_string((n + 1) % RING);
        chart += "  <state id=\"" + id + "\">\n";
        chart += "    <initial id=\"" + id + "_start\"><transition target=\"" + id + "_a\"/></initial>\n";
        chart += "    <state id=\"" + id + "_a\"><transition event=\"step\"" + cond + " target=\"" + id +
                 "_b\"/></state>\n";
        chart += "    <state id=\"" + id + "_b\"><transition event=\"step\"" + cond + " target=\"" + next +
                 "\"/></state>\n";
        chart += "  </state>\n";
    }
    return chart + "</scxml>\n";
}

void SendSteps(benchmark::State& state, const std::string& condition)
{
    cl_LuaScriptSystem scripts;
    scripts.ExecuteString("_globals = {open = true}");
    cl_StateChartSystem charts;
    StateChartInterpreter interpreter(charts.GetDataBinding(),
                                      StateChartTemplate::LoadFromText(RingChart(condition), "ring.scxml"));
    const std::string owner = "items_ring";
    interpreter.AddOwner(owner);
    interpreter.Start(owner);
    for (auto _ : state)
    {
        for (int n = 0; n < EVENTS; ++n)
            interpreter.SendEvent("step", nullptr, owner);
    }
    if (!interpreter.IsInState("s0_a", owner))
        state.SkipWithError("the chart did not go round its ring");
    state.SetItemsProcessed(state.iterations() * EVENTS);
}

void BM_StateChartPlainTransitions(benchmark::State& state)
{
    SendSteps(state, "");
}
BENCHMARK(BM_StateChartPlainTransitions)->Unit(benchmark::kMicrosecond);

void BM_StateChartLuaConditions(benchmark::State& state)
{
    SendSteps(state, "_globals.open");
}
BENCHMARK(BM_StateChartLuaConditions)->Unit(benchmark::kMicrosecond);
} // namespace
