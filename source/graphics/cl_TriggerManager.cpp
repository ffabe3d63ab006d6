#include "graphics/cl_TriggerManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_TriggerManager::cl_TriggerManager(cl_CommandDistributor& distributor)
    : m_receiver(distributor, "triggermanager", this)
{
}

bool cl_TriggerManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_TriggerManager::LoadFromXml(const TiXmlElement*) {}

void cl_TriggerManager::RemoveByXml(const TiXmlElement*) {}
