// Events per second through a state chart of 30 states (six rooms of four states each, every room a
// compound state): each "next" event moves one state on, and every fourth one leaves a room for the next
// (exit, entry, the room's initial state), the last room back to the first.
//   (a) plain transitions: our interpreter and, side by side, Qt SCXML 6 on the same chart with the null
//       data model, driven the way Qt runs it: each event submitted, then the posted events delivered;
//   (b) every transition guarded by a Lua condition, through the game's Lua data binding (ours only: Qt's
//       null data model has no Lua).
// The chart is written once in two dialects that differ only where the two readers do: ours names the
// chart's initial state in "initialstate" and gives each room's initial pseudo-state an id, Qt takes
// standard SCXML ("initial", no id on <initial>). Both must end every run in the same state.
//
// After Google Benchmark's own runs, the three are timed again in interleaved rounds, and the ratios of
// our events per second to Qt's are printed, the plain chart's last.
#include "common/cl_LuaScriptSystem.h"
#include "statechart/StateChartInterpreter.h"
#include "statechart/StateChartTemplate.h"
#include "statechart/cl_SCLuaDataBinding.h"
#include "statechart/cl_StateChartSystem.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QScxmlStateMachine>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

namespace
{
constexpr int ROOMS = 6;
constexpr int STATES_PER_ROOM = 4;
const char* const OWNER = "bench";

enum class Dialect
{
    Ours,
    Qt,
};

std::string StateId(int room, int state)
{
    return "room" + std::to_string(room) + "_" + std::to_string(state);
}

std::string ChartText(Dialect dialect, bool luaConditions)
{
    const std::string initialAttribute = dialect == Dialect::Ours ? "initialstate" : "initial";
    const std::string condition = luaConditions ? " cond=\"_globals.locked ~= true\"" : "";
    std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<scxml xmlns=\"http://www.w3.org/2005/07/scxml\" version=\"1.0\" datamodel=\"null\" " +
        initialAttribute + "=\"room0\">\n";
    for (int room = 0; room < ROOMS; ++room)
    {
        const std::string id = "room" + std::to_string(room);
        text += "  <state id=\"" + id + "\">\n";
        text +=
            dialect == Dialect::Ours ? "    <initial id=\"" + id + "_start\">" : std::string("    <initial>");
        text += "<transition target=\"" + StateId(room, 0) + "\"/></initial>\n";
        for (int state = 0; state < STATES_PER_ROOM; ++state)
        {
            const std::string target = state + 1 < STATES_PER_ROOM
                                           ? StateId(room, state + 1)
                                           : "room" + std::to_string((room + 1) % ROOMS);
            text += "    <state id=\"" + StateId(room, state) + "\"><transition event=\"next\"" + condition +
                    " target=\"" + target + "\"/></state>\n";
        }
        text += "  </state>\n";
    }
    return text + "</scxml>\n";
}

// The state a run of count events from the start ends in.
std::string ExpectedState(long count)
{
    const long step = count % (ROOMS * STATES_PER_ROOM);
    return StateId(static_cast<int>(step / STATES_PER_ROOM), static_cast<int>(step % STATES_PER_ROOM));
}

// The game's Lua and its data binding of state charts, one for the whole program.
struct LuaWorld
{
    LuaWorld() { scripts.ExecuteString(std::string(OWNER) + " = '" + OWNER + "' _globals = {}"); }

    cl_LuaScriptSystem scripts;
    cl_StateChartSystem charts;
};

IDataBinding* DataBinding()
{
    static LuaWorld world;
    return world.charts.GetDataBinding();
}

// Our interpreter on one owner, with the game's Lua data binding.
class OurChart
{
public:
    explicit OurChart(bool luaConditions)
        : m_interpreter(DataBinding(), StateChartTemplate::LoadFromText(
                                           ChartText(Dialect::Ours, luaConditions), "bench.scxml"))
    {
        m_interpreter.AddOwner(OWNER);
        m_interpreter.Start(OWNER);
    }

    void Send(long count)
    {
        for (long i = 0; i < count; ++i)
            m_interpreter.SendEvent("next", nullptr, OWNER);
    }
    std::string State() const
    {
        const std::vector<std::string> active = m_interpreter.GetActiveStateIds(OWNER);
        return active.empty() ? std::string() : active.back();
    }

private:
    StateChartInterpreter m_interpreter;
};

// Qt SCXML's interpreter loading the chart at run time; needs the QCoreApplication of main.
class QtChart
{
public:
    QtChart()
    {
        QByteArray text = QByteArray::fromStdString(ChartText(Dialect::Qt, false));
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        m_machine.reset(QScxmlStateMachine::fromData(&buffer, "bench.scxml"));
        m_machine->start();
        QCoreApplication::sendPostedEvents();
    }

    bool Loaded() const { return m_machine->parseErrors().isEmpty() && m_machine->isRunning(); }
    void Send(long count)
    {
        for (long i = 0; i < count; ++i)
        {
            m_machine->submitEvent("next");
            QCoreApplication::sendPostedEvents();
        }
    }
    std::string State() const
    {
        const QStringList active = m_machine->activeStateNames();
        return active.isEmpty() ? std::string() : active.back().toStdString();
    }

private:
    std::unique_ptr<QScxmlStateMachine> m_machine;
};

constexpr long EVENTS_PER_ITERATION = 1000;

// Sends the chart EVENTS_PER_ITERATION events an iteration, then checks where it ended.
template <class Chart> void RunChart(benchmark::State& state, Chart& chart)
{
    long sent = 0;
    for (auto _ : state)
    {
        chart.Send(EVENTS_PER_ITERATION);
        sent += EVENTS_PER_ITERATION;
    }
    if (chart.State() != ExpectedState(sent))
        state.SkipWithError(("ended in " + chart.State() + ", not " + ExpectedState(sent)).c_str());
    state.SetItemsProcessed(sent);
}

void BM_OurInterpreterPlain(benchmark::State& state)
{
    OurChart chart(false);
    RunChart(state, chart);
}
BENCHMARK(BM_OurInterpreterPlain);

void BM_OurInterpreterLuaConditions(benchmark::State& state)
{
    OurChart chart(true);
    RunChart(state, chart);
}
BENCHMARK(BM_OurInterpreterLuaConditions);

void BM_QtScxmlPlain(benchmark::State& state)
{
    QtChart chart;
    if (chart.Loaded())
        RunChart(state, chart);
    else
        state.SkipWithError("Qt SCXML refused the chart");
}
BENCHMARK(BM_QtScxmlPlain);

// Seconds that count events take; false when the chart ends elsewhere than it should.
template <class Chart> bool Timed(Chart& chart, long& sent, long count, double& seconds)
{
    const auto start = std::chrono::steady_clock::now();
    chart.Send(count);
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    sent += count;
    return chart.State() == ExpectedState(sent);
}

// The three in turn, round after round, on charts that keep running; then the ratios, the plain chart's
// last.
int CompareInterleaved()
{
    constexpr int ROUNDS = 10;
    constexpr long PLAIN_EVENTS = 100000;
    constexpr long LUA_EVENTS = 20000;
    OurChart ours(false);
    OurChart oursLua(true);
    QtChart qt;
    if (!qt.Loaded())
    {
        std::printf("Qt SCXML refused the chart\n");
        return 1;
    }
    long sentOurs = 0, sentLua = 0, sentQt = 0;
    double secondsOurs = 0.0, secondsLua = 0.0, secondsQt = 0.0;
    for (int round = 0; round < ROUNDS; ++round)
    {
        if (!Timed(ours, sentOurs, PLAIN_EVENTS, secondsOurs) ||
            !Timed(qt, sentQt, PLAIN_EVENTS, secondsQt) || !Timed(oursLua, sentLua, LUA_EVENTS, secondsLua))
        {
            std::printf("a chart ended in another state than the events lead to\n");
            return 1;
        }
    }
    const double ourRate = sentOurs / secondsOurs;
    const double luaRate = sentLua / secondsLua;
    const double qtRate = sentQt / secondsQt;
    std::printf("\nInterleaved, %d rounds, events per second:\n", ROUNDS);
    std::printf("  ours, plain transitions:         %12.0f\n", ourRate);
    std::printf("  ours, Lua conditions:            %12.0f\n", luaRate);
    std::printf("  Qt SCXML 6, plain transitions:   %12.0f\n", qtRate);
    std::printf("ratio ours with Lua conditions / Qt SCXML plain: %.2f\n", luaRate / qtRate);
    std::printf("ratio ours / Qt SCXML, plain transitions (goal: 5 or more): %.2f\n", ourRate / qtRate);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return CompareInterleaved();
}
