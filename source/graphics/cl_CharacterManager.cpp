#include "graphics/cl_CharacterManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_CharacterManager::cl_CharacterManager(cl_CommandDistributor& distributor)
    : m_characterParser("character", this), m_receiver(distributor, "charactermanager", this)
{
}

void cl_CharacterManager::Init() {}

void cl_CharacterManager::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_CharacterManager::UnloadGroup(const std::string&) {}

bool cl_CharacterManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_CharacterManager::LoadChapterCharacters() {}

void cl_CharacterManager::UnloadCharacters() {}
