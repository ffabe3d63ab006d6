// The cost of one command sent from Lua: sendcmd builds the command from its Lua arguments, the
// distributor finds the receiver, and the (here empty) results go back to Lua. State charts, key bindings
// and scene scripts send several of these per frame. The floor beside it: the same Lua loop calling a
// bare C function that does nothing, with the same arguments.
#include "common/ICommandReceiver.h"
#include "common/cl_LuaScriptSystem.h"
#include "support/BenchRatio.h"

#include <benchmark/benchmark.h>
#include <lua.hpp>

#include <string>

namespace
{
class NullReceiver final : public ICommandReceiver
{
public:
    bool ExecuteCmd(cl_Command&) override { return true; }
};

int Bare(lua_State*)
{
    return 0;
}

// Each iteration runs a Lua loop of LOOP calls, so the chunk's own start-up hardly counts.
constexpr int LOOP = 1000;
const char* const NO_ARGUMENTS = "";
const char* const TYPICAL_ARGUMENTS = ", 'door_cellar', 1, 2.5";

void CallFromLua(benchmark::State& state, const char* function, const char* arguments)
{
    cl_LuaScriptSystem scripts;
    NullReceiver receiver;
    scripts.RegisterCmdReceiver("null", &receiver);
    lua_register(scripts.GetLuaState(), "bare", &Bare);
    const std::string define = "function bench(n) for i = 1, n do " + std::string(function) +
                               "('null', 'Ping'" + arguments + ") end end";
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
    CallFromLua(state, "sendcmd", NO_ARGUMENTS);
}
BENCHMARK(BM_SendcmdNoArguments);

void BM_BareCallNoArguments(benchmark::State& state)
{
    CallFromLua(state, "bare", NO_ARGUMENTS);
}
BENCHMARK(BM_BareCallNoArguments);

void BM_SendcmdTypicalArguments(benchmark::State& state)
{
    CallFromLua(state, "sendcmd", TYPICAL_ARGUMENTS);
}
BENCHMARK(BM_SendcmdTypicalArguments);

void BM_BareCallTypicalArguments(benchmark::State& state)
{
    CallFromLua(state, "bare", TYPICAL_ARGUMENTS);
}
BENCHMARK(BM_BareCallTypicalArguments);

const BenchRatio NO_ARGUMENTS_RATIO("sendcmd / bare Lua C call, no arguments", "BM_SendcmdNoArguments",
                                    "BM_BareCallNoArguments", BenchRatio::AT_MOST, 4.0);
const BenchRatio TYPICAL_ARGUMENTS_RATIO("sendcmd / bare Lua C call, three arguments",
                                         "BM_SendcmdTypicalArguments", "BM_BareCallTypicalArguments",
                                         BenchRatio::AT_MOST, 4.0);
} // namespace
