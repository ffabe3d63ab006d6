#include "graphics/cl_CharacterManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "graphics/cl_Character.h"

cl_CharacterManager::cl_CharacterManager(cl_CommandDistributor& distributor)
    : m_characterParser("character", this), m_receiver(distributor, "charactermanager", this)
{
}

cl_CharacterManager::~cl_CharacterManager() = default;

void cl_CharacterManager::Init() {}

void cl_CharacterManager::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_CharacterManager::UnloadGroup(const std::string&) {}

bool cl_CharacterManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_CharacterManager::LoadChapterCharacters() {}

void cl_CharacterManager::UnloadCharacters()
{
    m_characters.clear();
}

cl_Character* cl_CharacterManager::AddCharacter(std::unique_ptr<cl_Character> character)
{
    const std::string id = character->GetName();
    auto& kept = m_characters[id];
    if (kept)
        LOG_WARNING("The character '%s' exists already.", id.c_str());
    else
        kept = std::move(character);
    return kept.get();
}

cl_Character* cl_CharacterManager::GetCharacter(const std::string& id) const
{
    const auto found = m_characters.find(id);
    return found == m_characters.end() ? nullptr : found->second.get();
}

cl_Character* cl_CharacterManager::GetCharacterForSpeaker(const std::string& speaker) const
{
    return GetCharacter(speaker);
}
