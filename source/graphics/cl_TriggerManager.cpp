#include "graphics/cl_TriggerManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_TriggerManager::cl_TriggerManager(cl_CommandDistributor& distributor)
    : m_receiver(distributor, "triggermanager", this)
{
}

cl_TriggerManager::~cl_TriggerManager() = default;

bool cl_TriggerManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_TriggerManager::LoadFromXml(const TiXmlElement*) {}

void cl_TriggerManager::RemoveByXml(const TiXmlElement*) {}

void cl_TriggerManager::AddTrigger(const std::string& name, std::unique_ptr<cl_Trigger> trigger)
{
    if (!trigger)
    {
        LOG_ERROR("Can't add a NULL ptr, stupid!");
        return;
    }
    if (m_triggers.count(name))
    {
        LOG_ERROR("Trigger with the name '%s' does allready exist!", name.c_str());
        return;
    }
    trigger->SetName(name);
    m_triggers[name] = std::move(trigger);
}

cl_Trigger* cl_TriggerManager::GetTrigger(const std::string& name) const
{
    const auto found = m_triggers.find(name);
    return found == m_triggers.end() ? nullptr : found->second.get();
}
