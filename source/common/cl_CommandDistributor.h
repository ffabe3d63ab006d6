#pragma once

#include "common/ICommandReceiver.h"

#include <map>
#include <string>

class cl_Command;

// Passes a command to the receiver registered under a name: one lookup and a direct call on the caller's
// stack, no queue. Names are compared byte for byte ("x" is not "X"). The distributor does not own its
// receivers; each must unregister before it is destroyed, and none may outlive the distributor while
// registered. The script system derives from it and is the one distributor of the program.
class cl_CommandDistributor
{
public:
    cl_CommandDistributor() = default;
    cl_CommandDistributor(const cl_CommandDistributor&) = delete;
    cl_CommandDistributor& operator=(const cl_CommandDistributor&) = delete;
    virtual ~cl_CommandDistributor() = default;

    // Adds the receiver (not null) under name. A name already taken keeps its first receiver: a warning
    // and false.
    bool RegisterCmdReceiver(const std::string& name, ICommandReceiver* receiver);
    // Drops the name (the receiver itself is not touched). An unknown name: a warning and false.
    bool UnRegisterCmdReceiver(const std::string& name);
    // The result of the named receiver's ExecuteCmd, which may append results to cmd. An unknown name:
    // a warning and false, cmd untouched. Receivers may send further commands while they run.
    bool SendCmd(const std::string& receiverName, cl_Command& cmd);

private:
    std::map<std::string, ICommandReceiver*> m_receivers;
};
