#include "graphics/cl_CharacterManager.h"

#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "common/CommandArguments.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <OgreEntity.h>
#include <tinyxml.h>

namespace
{
const char* const RECEIVER = "charactermanager";
// Scene queries for characters use this mask.
const uint32_t CHARACTER_QUERY_FLAGS = 2;
} // namespace

cl_CharacterManager::cl_CharacterManager(cl_CommandDistributor& distributor)
    : m_characterParser("character", this), m_receiver(distributor, RECEIVER, this)
{
}

cl_CharacterManager::~cl_CharacterManager() = default;

void cl_CharacterManager::Init(Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
}

void cl_CharacterManager::ParseElement(const TiXmlElement* element, const std::string& group, bool)
{
    const std::string id = element ? AttributeOrEmpty(*element, "assetref") : std::string();
    if (id.empty())
        return;
    m_elements[id].reset(element->Clone()->ToElement());
    m_groups[id] = group;
}

void cl_CharacterManager::UnloadGroup(const std::string& group)
{
    for (auto entry = m_groups.begin(); entry != m_groups.end();)
    {
        if (entry->second != group)
        {
            ++entry;
            continue;
        }
        UnloadCharacter(entry->first);
        m_elements.erase(entry->first);
        entry = m_groups.erase(entry);
    }
}

bool cl_CharacterManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    if (const CommandEntry* command = args.Find(COMMANDS, true))
        (this->*command->run)(args);
    return false;
}

void cl_CharacterManager::CmdToggleNavMesh(const CommandArguments&)
{
    if (!m_navmesh || !m_sceneManager)
    {
        LOG_WARNING("ToggleNavMesh: the characters walk on no navigation mesh to show.");
        return;
    }
    m_navmesh->ToggleDebugView(*m_sceneManager);
}

void cl_CharacterManager::LoadChapterCharacters()
{
    for (const auto& element : m_elements)
        LoadCharacter(element.first);
}

void cl_CharacterManager::UnloadCharacters()
{
    m_characters.clear();
}

cl_Character* cl_CharacterManager::LoadCharacter(const std::string& id)
{
    if (cl_Character* built = GetCharacter(id))
        return built;
    LOG_LEVEL(cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_CHARACTER, "Loading character '%s'...", id.c_str());
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->UpdateWhileLoading();
    const auto found = m_elements.find(id);
    if (found == m_elements.end())
        return nullptr;
    const TiXmlElement& element = *found->second;
    const std::string name = AttributeOrEmpty(element, "assetref");
    if (element.ValueStr() != "character" || name.empty())
    {
        LOG_ERROR("Couldn't load character from xml - character node including 'assetref' expected.");
        return nullptr;
    }
    if (!m_sceneManager)
    {
        LOG_ERROR("The character '%s' cannot be built before the game's scene manager exists.", id.c_str());
        return nullptr;
    }
    auto character = std::make_unique<cl_Character>(*m_sceneManager, name);
    if (const TiXmlElement* puppet = element.FirstChildElement("puppet"))
        character->GetPuppet()->FromXml(puppet);
    if (!cl_CharacterLoader::Load(&element, character.get()))
    {
        LOG_ERROR("Loading Character failed!");
        return nullptr;
    }
    for (const std::string& subMesh : character->GetPuppet()->GetSubMeshNames())
        character->GetPuppet()->GetSubMesh(subMesh).entity->setQueryFlags(CHARACTER_QUERY_FLAGS);
    return AddCharacter(std::move(character));
}

void cl_CharacterManager::UnloadCharacter(const std::string& id)
{
    m_characters.erase(id);
}

void cl_CharacterManager::AddCharacter(const std::string& id, const std::string& location)
{
    cl_Character* character = LoadCharacter(id);
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    if (!character || !scene)
        return;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (auto* asset = dynamic_cast<cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(id) : nullptr))
    {
        character->SetVisualState(asset->GetVisualisation());
        const std::string current = asset->GetCurrentScene();
        if ((current.empty() || current == "none") && scene->GetAsset())
            asset->SetCurrentScene(scene->GetAsset()->GetId());
    }
    if (character->GetPuppet()->IsActive())
        return;
    character->SetLocation(location);
    character->SetActive(true);
}

void cl_CharacterManager::RemoveFromScene(const std::string& id)
{
    if (cl_Character* character = GetCharacter(id))
    {
        character->SetLocation(st_ObjectPlacement());
        character->SetActive(false);
    }
}

void cl_CharacterManager::RemoveAllFromScene()
{
    for (const auto& character : m_characters)
        RemoveFromScene(character.first);
}

void cl_CharacterManager::LoadSceneIncludes(const TiXmlElement*) {}

cl_Character* cl_CharacterManager::AddCharacter(std::unique_ptr<cl_Character> character)
{
    const std::string id = character->GetName();
    auto& kept = m_characters[id];
    if (kept)
        LOG_WARNING("The character '%s' exists already.", id.c_str());
    else
    {
        kept = std::move(character);
        kept->SetNavmesh(m_navmesh);
        kept->ApplySceneMovementSettings(m_environmentType, m_running);
    }
    return kept.get();
}

void cl_CharacterManager::SetNavmesh(cl_Navmesh* navmesh)
{
    m_navmesh = navmesh;
    for (const auto& character : m_characters)
        character.second->SetNavmesh(navmesh);
}

void cl_CharacterManager::SetMovementSettings(EnvironmentType type, float running)
{
    m_environmentType = type;
    m_running = running;
    for (const auto& character : m_characters)
        character.second->ApplySceneMovementSettings(type, running);
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
