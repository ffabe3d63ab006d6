#include "common/cl_LuaScriptSystem.h"

#include "common/LogCall.h"
#include "common/LuaGlobalsXml.h"
#include "common/LuaValues.h"
#include "common/cl_ArgList.h"
#include "common/cl_Command.h"

#include <lua.hpp>
#include <tinyxml.h>

#include <cstring>
#include <exception>

namespace
{
// The error value that a failed load or run left on top, as text; popped.
std::string PopError(lua_State* L)
{
    const char* text = lua_tostring(L, -1);
    std::string message = text ? text : std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
    lua_pop(L, 1);
    return message;
}

// Loads the text up to its first zero byte as a chunk named by the text itself, so that Lua's messages
// quote its beginning.
int LoadText(lua_State* L, const std::string& code)
{
    const char* text = code.c_str();
    return luaL_loadbuffer(L, text, std::strlen(text), text);
}

void PushRawGlobal(lua_State* L, const std::string& name)
{
    lua_pushlstring(L, name.data(), name.size());
    lua_rawget(L, LUA_GLOBALSINDEX);
}

// Assigns the value on top to the global and pops it.
void PopIntoRawGlobal(lua_State* L, const std::string& name)
{
    lua_pushlstring(L, name.data(), name.size());
    lua_insert(L, -2);
    lua_rawset(L, LUA_GLOBALSINDEX);
}
} // namespace

void cl_LuaScriptSystem::StateCloser::operator()(lua_State* state) const
{
    lua_close(state);
}

cl_LuaScriptSystem::cl_LuaScriptSystem() : m_state(luaL_newstate())
{
    lua_State* L = m_state.get();
    if (!L)
    {
        LOG_ERROR("Couldn't create the Lua state; no script will run.");
        return;
    }
    luaL_openlibs(L);
    lua_register(L, "testfunc", &cl_LuaScriptSystem::lua_testfunc);
    // sendcmd keeps its commands in this system, which it finds as its upvalue.
    lua_pushlightuserdata(L, this);
    lua_pushcclosure(L, &cl_LuaScriptSystem::lua_sendcmd, 1);
    lua_setglobal(L, "sendcmd");
    lua_register(L, "execute", &cl_LuaScriptSystem::lua_execute);
}

cl_LuaScriptSystem::~cl_LuaScriptSystem() = default;

bool cl_LuaScriptSystem::LoadLuaFile(const std::string& path)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    const int height = lua_gettop(L);
    if (luaL_loadfile(L, path.c_str()) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0)
    {
        LOG_ERROR(PopError(L));
        return false;
    }
    lua_settop(L, height);
    return true;
}

bool cl_LuaScriptSystem::ExecuteString(const std::string& code)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    if (LoadText(L, code) != 0 || lua_pcall(L, 0, 0, 0) != 0)
    {
        LOG_ERROR(PopError(L));
        return false;
    }
    return true;
}

bool cl_LuaScriptSystem::ExecuteString(const std::string& code, cl_ArgList& results)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    const int height = lua_gettop(L);
    if (LoadText(L, code) != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0)
    {
        LOG_ERROR(PopError(L));
        return false;
    }
    // Taken from the top down: the last returned value comes first.
    const int count = lua_gettop(L) - height;
    for (int i = 1; i <= count; ++i)
    {
        if (!LuaValues::ToArgument(L, -1, *results.GetArg(-1)))
        {
            LOG_ERROR("Execute String failed. Couldn't handle result %i!", i);
            lua_settop(L, height);
            return false;
        }
        lua_pop(L, 1);
    }
    return true;
}

int cl_LuaScriptSystem::GetDifficulty()
{
    cl_ArgList results;
    ExecuteString("return _globals.difficulty", results);
    if (results.GetSize() == 0)
        return 0;
    return results.GetArg(0)->GetInt();
}

bool cl_LuaScriptSystem::GetGlobal(const std::string& name, cl_Argument& out)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    PushRawGlobal(L, name);
    const bool converted = LuaValues::ToArgument(L, -1, out);
    lua_pop(L, 1);
    if (!converted)
        LOG_ERROR("GetGlobal failed. Couldn't read the global '%s'!", name.c_str());
    return converted;
}

bool cl_LuaScriptSystem::HasGlobal(const std::string& name)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    PushRawGlobal(L, name);
    const bool present = !lua_isnil(L, -1);
    lua_pop(L, 1);
    return present;
}

bool cl_LuaScriptSystem::HasGlobalString(const std::string& name, const std::string& text)
{
    lua_State* L = m_state.get();
    if (!L)
        return false;
    PushRawGlobal(L, name);
    size_t length = 0;
    const char* value = lua_type(L, -1) == LUA_TSTRING ? lua_tolstring(L, -1, &length) : nullptr;
    const bool same = value && text.compare(0, std::string::npos, value, length) == 0;
    lua_pop(L, 1);
    return same;
}

bool cl_LuaScriptSystem::SetGlobal(const std::string& name, const cl_Argument& value)
{
    lua_State* L = m_state.get();
    if (!L || !LuaValues::PushArgument(L, value))
        return false;
    PopIntoRawGlobal(L, name);
    return true;
}

void cl_LuaScriptSystem::GlobalsToXml(TiXmlElement& element)
{
    lua_State* L = m_state.get();
    if (!L)
        return;
    const int height = lua_gettop(L);
    PushRawGlobal(L, "_globals");
    if (lua_istable(L, -1))
        LuaGlobalsXml::WriteGlobals(L, lua_gettop(L), element);
    else
        LOG_WARNING("'_globals' is a %s, not a table; no script variables are saved.", luaL_typename(L, -1));
    lua_pop(L, 1);
    if (lua_gettop(L) != height)
        LOG_ERROR("Stack inconsistency: %i", lua_gettop(L) - height);
}

void cl_LuaScriptSystem::GlobalsFromXml(const TiXmlElement& element)
{
    lua_State* L = m_state.get();
    if (!L)
        return;
    const int height = lua_gettop(L);
    ExecuteString("if _globals == nil then _globals = {} end");
    ExecuteString("_globals = {}");
    const TiXmlElement* globals = element.FirstChildElement("_globals");
    if (globals)
    {
        LuaGlobalsXml::PushTable(L, *globals);
        PopIntoRawGlobal(L, "_globals");
    }
    if (lua_gettop(L) != height)
        LOG_ERROR("Stack inconsistency: %i", lua_gettop(L) - height);
}

int cl_LuaScriptSystem::lua_testfunc(lua_State* /*L*/)
{
    LOG_INFO("testfunc called from lua!");
    return 0;
}

int cl_LuaScriptSystem::lua_sendcmd(lua_State* L)
{
    // The command of this level of sends, held for as long as the send lasts.
    struct SendLevel
    {
        explicit SendLevel(cl_LuaScriptSystem& owner) : system(owner)
        {
            if (system.m_sendCommands.size() <= system.m_sendDepth)
                system.m_sendCommands.push_back(std::make_unique<cl_Command>());
            command = system.m_sendCommands[system.m_sendDepth++].get();
        }
        ~SendLevel() { --system.m_sendDepth; }
        SendLevel(const SendLevel&) = delete;
        SendLevel& operator=(const SendLevel&) = delete;

        cl_LuaScriptSystem& system;
        cl_Command* command;
    };

    // A receiver's exception must not unwind through Lua's C frames.
    try
    {
        const int count = lua_gettop(L);
        if (count < 2)
        {
            LOG_ERROR("'sendcmd' failed. Not enough arguments!");
            return 0;
        }
        // A receiver or command name must be a string or a number (which becomes its text).
        size_t lengths[2] = {};
        const char* names[2] = {};
        for (int position = 1; position <= 2; ++position)
        {
            names[position - 1] = lua_tolstring(L, position, &lengths[position - 1]);
            if (!names[position - 1])
            {
                LOG_ERROR("'sendcmd' failed. Couldn't handle argument %i!", position);
                return 0;
            }
        }
        const SendLevel level(*static_cast<cl_LuaScriptSystem*>(lua_touserdata(L, lua_upvalueindex(1))));
        cl_Command& cmd = *level.command;
        const std::string receiver(names[0], lengths[0]);
        cmd.m_name.assign(names[1], lengths[1]);
        cmd.m_results.Resize(0);
        cmd.m_arguments.Resize(count - 2);
        for (int position = 3; position <= count; ++position)
        {
            if (!LuaValues::ToArgument(L, position, *cmd.m_arguments.GetArg(position - 3)))
            {
                LOG_ERROR("'sendcmd' failed. Couldn't handle argument %i!", position);
                return 0;
            }
        }
        lua_settop(L, 0);

        // The receiver's answer is not used: whatever it appended goes back, also when it failed.
        if (cl_ScriptSystem* system = GetInstance())
            system->SendCmd(receiver, cmd);

        const int results = cmd.m_results.GetSize();
        for (int i = 0; i < results; ++i)
        {
            if (!LuaValues::PushArgument(L, *cmd.m_results.GetArg(i)))
            {
                LOG_ERROR("'sendcmd' failed. Couldn't return value %i!", i + 1);
                return 0;
            }
        }
        return results;
    }
    catch (const std::exception& error)
    {
        LOG_ERROR("'sendcmd' failed. %s", error.what());
    }
    return 0;
}

int cl_LuaScriptSystem::lua_execute(lua_State* L)
{
    if (lua_gettop(L) != 1)
    {
        LOG_ERROR("'execute' failed. Wrong number of arguments!");
        return 0;
    }
    if (!lua_isstring(L, 1))
    {
        LOG_ERROR("'execute' failed. Couldn't handle argument 1!");
        return 0;
    }
    if (cl_ScriptSystem* system = GetInstance())
        system->ExecuteString(LuaValues::Text(L, 1));
    return 0;
}
