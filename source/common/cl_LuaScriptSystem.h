#pragma once

#include "common/cl_ScriptSystem.h"

#include <memory>
#include <string>
#include <vector>

class cl_Command;

struct lua_State;

// The script system over one Lua 5.1 state for the whole run, with the standard libraries and three
// globals of its own:
//   sendcmd(receiver, command, ...)  sends the command with the remaining values as its arguments to the
//                                    named receiver and returns the receiver's results as separate values;
//   execute(text)                    runs the text like ExecuteString;
//   testfunc()                       writes a line to the log.
// Globals are read and written raw (a metatable on the globals table is not asked), so that no Lua error
// can be raised outside a protected call.
class cl_LuaScriptSystem : public cl_ScriptSystem
{
public:
    // When no Lua state can be made, an error is logged and every operation fails: false, 0, nothing
    // written.
    cl_LuaScriptSystem();
    ~cl_LuaScriptSystem() override;

    // Runs the Lua file; the values it returns are dropped. False, with the Lua error logged, when it
    // cannot be read, does not compile or fails.
    bool LoadLuaFile(const std::string& path);

    bool ExecuteString(const std::string& code) override;
    bool ExecuteString(const std::string& code, cl_ArgList& results) override;
    int GetDifficulty() override;
    bool GetGlobal(const std::string& name, cl_Argument& out) override;
    bool SetGlobal(const std::string& name, const cl_Argument& value) override;
    bool HasGlobal(const std::string& name) override;
    bool HasGlobalString(const std::string& name, const std::string& text) override;
    // Logs a warning and writes nothing when "_globals" is not a table.
    void GlobalsToXml(TiXmlElement& element) override;
    void GlobalsFromXml(const TiXmlElement& element) override;

    // The state itself (null without one), for code that checks the stack stays balanced.
    lua_State* GetLuaState() const { return m_state.get(); }

private:
    struct StateCloser
    {
        void operator()(lua_State* state) const;
    };

    static int lua_testfunc(lua_State* L);
    static int lua_sendcmd(lua_State* L);
    static int lua_execute(lua_State* L);

    std::unique_ptr<lua_State, StateCloser> m_state;
    // The commands sendcmd fills, one per level of sends under way (a receiver may run Lua that sends
    // again). They stay from one send to the next, so that a send allocates nothing once its level has
    // seen as many arguments.
    std::vector<std::unique_ptr<cl_Command>> m_sendCommands;
    size_t m_sendDepth = 0;
};
