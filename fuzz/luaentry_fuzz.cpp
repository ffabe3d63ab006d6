// Any bytes as a Lua entry file of the game (ExportedFunctions.lua, Functions.lua), run by the script
// system with the receivers scripts talk to, then as a chunk whose results the system converts, then its
// "_globals" saved and read back as a save game does. A script that errors, loops on sendcmd or returns
// odd values must leave the script system as it was. The run takes away what reaches the machine (os, io,
// files) and bounds each script's steps and memory.
#include "common/XmlParse.h"
#include "common/cl_ArgList.h"
#include "common/cl_LuaCommandReceiver.h"
#include "common/cl_LuaScriptSystem.h"
#include "common/cl_OgreGameTime.h"
#include "common/cl_ValueSourceManager.h"

#include <boost/filesystem/operations.hpp>
#include <lua.hpp>
#include <tinyxml.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

namespace
{
constexpr size_t MEMORY_LIMIT = 64 * 1024 * 1024;
constexpr int STEPS_PER_CHECK = 1000;
constexpr int STEP_LIMIT = 50000;

// Memory the scripts took (blocks from before the limit was set count as they are freed), whether the
// limits hold now (only while the input's scripts run), and the steps of the running script.
long long g_memory = 0;
bool g_limited = false;
int g_steps = 0;

void* Allocate(void*, void* block, size_t oldSize, size_t newSize)
{
    const long long before = block ? static_cast<long long>(oldSize) : 0;
    if (newSize == 0)
    {
        g_memory -= before;
        std::free(block);
        return nullptr;
    }
    const long long after = static_cast<long long>(newSize);
    if (g_limited && after > before && g_memory + after - before > static_cast<long long>(MEMORY_LIMIT))
        return nullptr;
    void* moved = std::realloc(block, newSize);
    if (moved)
        g_memory += after - before;
    return moved;
}

void CountSteps(lua_State* L, lua_Debug*)
{
    g_steps += STEPS_PER_CHECK;
    if (g_limited && g_steps > STEP_LIMIT)
        luaL_error(L, "the script runs too long");
}

// The script system and the receivers an entry file talks to, fresh for each input.
struct Game
{
    Game()
    {
        lua_State* L = scripts.GetLuaState();
        g_memory = 0;
        lua_setallocf(L, Allocate, nullptr);
        lua_sethook(L, CountSteps, LUA_MASKCOUNT, STEPS_PER_CHECK);
        scripts.ExecuteString("os, io, debug, package, require, dofile, loadfile, module = nil");
    }

    // Runs a script of the input within the limits.
    template <typename Run> void Limited(const Run& run)
    {
        g_steps = 0;
        g_limited = true;
        run();
        g_limited = false;
    }

    cl_LuaScriptSystem scripts;
    cl_OgreGameTime time{scripts};
    cl_ValueSourceManager values{scripts, time};
    cl_LuaCommandReceiver root{scripts, "root"};
};

// The entry file below the temporary folder, removed when the fuzzer ends.
struct EntryFile
{
    ~EntryFile()
    {
        boost::system::error_code ignored;
        boost::filesystem::remove(path, ignored);
    }
    const std::string path = (boost::filesystem::temp_directory_path() /
                              boost::filesystem::unique_path("luaentry-fuzz-%%%%-%%%%.lua"))
                                 .string();
};

const std::string& EntryPath()
{
    static const EntryFile file;
    return file.path;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    TiXmlBase::SetCondenseWhiteSpace(false);
    Game game;
    lua_State* L = game.scripts.GetLuaState();
    const int height = lua_gettop(L);
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::ofstream(EntryPath(), std::ios::binary) << text;

    game.Limited([&] { game.scripts.LoadLuaFile(EntryPath()); });
    cl_ArgList results;
    game.Limited([&] { game.scripts.ExecuteString(text, results); });
    game.Limited([&] { game.scripts.GetDifficulty(); });

    TiXmlElement saved("databinding");
    game.scripts.GlobalsToXml(saved);
    TiXmlDocument reread;
    ParseXml(reread, PrintXml(saved), "the written globals");
    if (reread.Error() || !reread.RootElement())
        __builtin_trap();
    game.scripts.GlobalsFromXml(*reread.RootElement());
    if (lua_gettop(L) != height)
        __builtin_trap();
    return 0;
}
