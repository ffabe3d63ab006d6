#pragma once

#include "common/ICommandReceiver.h"

#include <string>

class cl_CommandDistributor;

// The receiver "root": Lua's catch-all that logs every command it gets (information level) and answers
// true. It registers itself under its name when made and unregisters when destroyed, so it must be
// destroyed before the distributor.
class cl_LuaCommandReceiver : public ICommandReceiver
{
public:
    // Registers with the script system, the program's distributor; without one (an error log) it
    // receives nothing.
    explicit cl_LuaCommandReceiver(const std::string& name);
    cl_LuaCommandReceiver(cl_CommandDistributor& distributor, const std::string& name);
    cl_LuaCommandReceiver(const cl_LuaCommandReceiver&) = delete;
    cl_LuaCommandReceiver& operator=(const cl_LuaCommandReceiver&) = delete;

    bool ExecuteCmd(cl_Command& cmd) override;

    virtual ~cl_LuaCommandReceiver();

private:
    cl_CommandDistributor* m_distributor; // null only without a script system
    std::string m_name;
    // False when the name was taken by another receiver: that registration is not ours to remove.
    bool m_registered;
};
