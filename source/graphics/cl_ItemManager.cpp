#include "graphics/cl_ItemManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_ItemManager::cl_ItemManager(cl_CommandDistributor& distributor)
    : m_itemParser("item", this), m_patchItemParser("patchitem", this),
      m_receiver(distributor, "itemmanager", this)
{
}

void cl_ItemManager::Init() {}

void cl_ItemManager::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_ItemManager::UnloadGroup(const std::string&) {}

bool cl_ItemManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_ItemManager::UnloadItems() {}
