#pragma once

#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"

#include <functional>
#include <string>

class cl_Command;
class cl_CommandDistributor;

// A command receiver for tests: registered under its name while it lives, it hands every command to a
// function, whose answer it returns.
class FunctionReceiver final : public ICommandReceiver
{
public:
    using Handler = std::function<bool(cl_Command&)>;

    FunctionReceiver(cl_CommandDistributor& distributor, const std::string& name, Handler handler);

    bool ExecuteCmd(cl_Command& cmd) override { return m_handler(cmd); }

private:
    Handler m_handler;
    cl_ReceiverRegistration m_registration;
};
