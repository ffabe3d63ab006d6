#include "common/cl_LuaCommandReceiver.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_ScriptSystem.h"

cl_LuaCommandReceiver::cl_LuaCommandReceiver(const std::string& name)
    : m_distributor(cl_ScriptSystem::GetInstance()), m_name(name),
      m_registered(m_distributor && m_distributor->RegisterCmdReceiver(name, this))
{
    if (!m_distributor)
        LOG_ERROR("No script system to register the receiver '%s' with!", name.c_str());
}

cl_LuaCommandReceiver::cl_LuaCommandReceiver(cl_CommandDistributor& distributor, const std::string& name)
    : m_distributor(&distributor), m_name(name), m_registered(distributor.RegisterCmdReceiver(name, this))
{
}

cl_LuaCommandReceiver::~cl_LuaCommandReceiver()
{
    if (m_registered)
        m_distributor->UnRegisterCmdReceiver(m_name);
}

bool cl_LuaCommandReceiver::ExecuteCmd(cl_Command& cmd)
{
    LOG_INFO("Receiver '%s' received the command '%s'.", m_name.c_str(), cmd.m_name.c_str());
    return true;
}
