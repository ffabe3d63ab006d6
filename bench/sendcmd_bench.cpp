// The cost of one command sent from Lua: sendcmd builds the command from its Lua arguments, the
// distributor finds the receiver, and the (here empty) results go back to Lua. State charts, key bindings
// and scene scripts send several of these per frame.
#include "common/ICommandReceiver.h"
#include "common/cl_LuaScriptSystem.h"

#include <benchmark/benchmark.h>

#include <string>

namespace
{
class NullReceiver final : public ICommandReceiver
{
public:
    bool ExecuteCmd(cl_Command&) override { return true; }
};

// Each iteration runs a Lua loop of LOOP sends, so the chunk's own start-up hardly counts.
constexpr int LOOP = 1000;

void SendFromLua(benchmark::State& state, const char* arguments)
{
    cl_LuaScriptSystem scripts;
    NullReceiver receiver;
    scripts.RegisterCmdReceiver("null", &receiver);
    const std::string define =
        "function bench(n) for i = 1, n do sendcmd('null', 'Ping'" + std::string(arguments) + ") end end";
    if (!scripts.ExecuteString(define))
        state.SkipWithError("the benchmark's Lua does not compile");
    const std::string run = "bench(" + std::to_string(LOOP) + ")";
    for (auto _ : state)
        scripts.ExecuteString(run);
    state.SetItemsProcessed(state.iterations() * LOOP);
    scripts.UnRegisterCmdReceiver("null");
}

void BM_SendcmdNoArguments(benchmark::State& state)
{
    SendFromLua(state, "");
}
BENCHMARK(BM_SendcmdNoArguments);

void BM_SendcmdTypicalArguments(benchmark::State& state)
{
    SendFromLua(state, ", 'door_cellar', 1, 2.5");
}
BENCHMARK(BM_SendcmdTypicalArguments);
} // namespace
