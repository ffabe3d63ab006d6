#include "graphics/cl_CharacterManager.h"

#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

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

void cl_CharacterManager::AddCharacter(const std::string& id, const std::string& location)
{
    cl_Character* character = GetCharacter(id);
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    if (!character || !scene)
        return;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (auto* asset = dynamic_cast<cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(id) : nullptr))
    {
        character->SetVisualState(asset->GetVisualisation());
        const std::string currentScene = asset->GetCurrentScene();
        if ((currentScene.empty() || currentScene == "none") && scene->GetAsset())
            asset->SetCurrentScene(scene->GetAsset()->GetId());
    }
    const cl_ControlledPuppet* puppet = character->GetPuppet();
    if (puppet && puppet->IsActive())
        return;
    character->SetLocation(location);
    character->SetActive(true);
}

void cl_CharacterManager::RemoveFromScene(const std::string& id)
{
    if (cl_Character* character = GetCharacter(id))
        RemoveFromScene(*character);
}

void cl_CharacterManager::RemoveAllFromScene()
{
    for (const auto& character : m_characters)
        RemoveFromScene(*character.second);
}

void cl_CharacterManager::RemoveFromScene(cl_Character& character)
{
    character.SetLocation(st_ObjectPlacement());
    character.SetActive(false);
}

void cl_CharacterManager::LoadSceneIncludes(const TiXmlElement*) {}
