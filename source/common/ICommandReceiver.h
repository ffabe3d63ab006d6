#pragma once

class cl_Command;

// A subsystem that takes commands by name through the command distributor.
class ICommandReceiver
{
public:
    // True when the receiver understood and carried out the command. It may append results to the
    // command's results either way; the sender reads them whatever the answer.
    virtual bool ExecuteCmd(cl_Command& cmd) = 0;

protected:
    // Receivers are never deleted through this interface.
    ~ICommandReceiver() = default;
};
