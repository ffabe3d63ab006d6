#pragma once

#include "ISingleton.h"
#include "common/cl_CommandDistributor.h"

#include <string>

class cl_Argument;
class cl_ArgList;
class TiXmlElement;

// The script system: runs Lua text for every subsystem and is the program's one command distributor, so
// receivers register with cl_ScriptSystem::GetInstance(). Lua errors are logged and never stop the
// program; every operation leaves the script stack as it found it. Operations may nest (Lua sends a
// command whose receiver runs more Lua).
class cl_ScriptSystem : public ISingleton<cl_ScriptSystem>, public cl_CommandDistributor
{
public:
    ~cl_ScriptSystem() override = default;

    // Runs the text (up to its first zero byte). False, with the script error logged, when it does not
    // compile or fails while running.
    virtual bool ExecuteString(const std::string& code) = 0;
    // Runs the text and appends its returned values to results, the LAST returned value first. False when
    // the text fails (nothing appended) or a value cannot be converted (an error log; the values converted
    // until then stay, the failed one as an empty argument).
    virtual bool ExecuteString(const std::string& code, cl_ArgList& results) = 0;
    // The int value of "_globals.difficulty"; 0 when it is unset (with the logs of the failed read).
    virtual int GetDifficulty() = 0;
    // Converts the global into out. A global that cannot be converted (nil, a function): an error log,
    // out untouched, false.
    virtual bool GetGlobal(const std::string& name, cl_Argument& out) = 0;
    // Assigns the converted value to the global. An empty argument (or a list or table holding one) cannot
    // be converted: false, nothing assigned, nothing logged.
    virtual bool SetGlobal(const std::string& name, const cl_Argument& value) = 0;
    // Whether the global holds a value (is not nil); never logs.
    virtual bool HasGlobal(const std::string& name) = 0;
    // Whether the global holds a string with exactly this text (a number with that text does not count);
    // never logs.
    virtual bool HasGlobalString(const std::string& name, const std::string& text) = 0;
    // Appends the script table "_globals" to element as a child `_globals`, for the save game.
    virtual void GlobalsToXml(TiXmlElement& element) = 0;
    // Replaces "_globals" with the table stored in the first `_globals` child of element; without such a
    // child "_globals" becomes an empty table.
    virtual void GlobalsFromXml(const TiXmlElement& element) = 0;

protected:
    cl_ScriptSystem() = default;
};
