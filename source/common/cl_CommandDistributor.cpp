#include "common/cl_CommandDistributor.h"

#include "common/LogCall.h"

bool cl_CommandDistributor::RegisterCmdReceiver(const std::string& name, ICommandReceiver* receiver)
{
    if (!m_receivers.emplace(name, receiver).second)
    {
        LOG_WARNING("A CmdReceiver with the name %s is allready registered!", name.c_str());
        return false;
    }
    return true;
}

bool cl_CommandDistributor::UnRegisterCmdReceiver(const std::string& name)
{
    if (m_receivers.erase(name) == 0)
    {
        LOG_WARNING("A CmdReceiver with the name %s does not exist!", name.c_str());
        return false;
    }
    return true;
}

bool cl_CommandDistributor::SendCmd(const std::string& receiverName, cl_Command& cmd)
{
    const auto found = m_receivers.find(receiverName);
    if (found == m_receivers.end())
    {
        LOG_WARNING("A Command-Receiver with the name '%s' does not exist!", receiverName.c_str());
        return false;
    }
    return found->second->ExecuteCmd(cmd);
}
