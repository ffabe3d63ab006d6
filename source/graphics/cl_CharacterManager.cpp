#include "graphics/cl_CharacterManager.h"

#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "common/CommandArguments.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_BlobShadow.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterLoader.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneManager.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
const char* const RECEIVER = "charactermanager";
// Scene queries for characters use this mask.
const uint32_t CHARACTER_QUERY_FLAGS = 2;
} // namespace

cl_CharacterManager::cl_CharacterManager(cl_CommandDistributor& distributor)
    : m_characterParser("character", this), m_receiver(distributor, RECEIVER, this)
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_CharacterManager::~cl_CharacterManager()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
    // In the order borrowers first, which the map's own order is not.
    UnloadCharacters();
}

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
    const CommandEntry* command = args.Find(COMMANDS, true);
    return command && (this->*command->run)(args);
}

void cl_CharacterManager::LoadChapterCharacters()
{
    for (const auto& element : m_elements)
        LoadCharacter(element.first);
}

void cl_CharacterManager::UnloadCharacters()
{
    while (!m_characters.empty())
        UnloadCharacter(m_characters.begin()->first);
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
    const TiXmlElement* puppet = element.FirstChildElement("puppet");
    const std::string lenderId = puppet ? AttributeOrEmpty(*puppet, "external") : std::string();
    std::unique_ptr<cl_Character> character;
    if (!lenderId.empty())
    {
        if (std::find(m_loading.begin(), m_loading.end(), lenderId) != m_loading.end() || lenderId == id)
        {
            LOG_ERROR("The external puppet '%s' of '%s' would be its own; it is refused.", lenderId.c_str(),
                      id.c_str());
            return nullptr;
        }
        m_loading.push_back(id);
        cl_Character* lender = LoadCharacter(lenderId);
        m_loading.pop_back();
        if (!lender)
        {
            LOG_ERROR("Couldn't retrieve external puppet.");
            return nullptr;
        }
        character = std::make_unique<cl_Character>(*m_sceneManager, lender->GetPuppet(), name);
    }
    else
    {
        character = std::make_unique<cl_Character>(*m_sceneManager, name);
        if (puppet)
            character->GetPuppet()->FromXml(puppet);
    }
    if (!cl_CharacterLoader::Load(&element, character.get()))
    {
        LOG_ERROR("Loading Character failed!");
        return nullptr;
    }
    if (cl_ControlledPuppet* body = character->GetPuppet())
    {
        for (const std::string& subMesh : body->GetSubMeshNames())
            body->GetSubMesh(subMesh).entity->setQueryFlags(CHARACTER_QUERY_FLAGS);
    }
    cl_Character* kept = AddCharacter(std::move(character));
    if (!lenderId.empty())
        m_lenders[id] = lenderId;
    RestoreCharacter(*kept);
    return kept;
}

void cl_CharacterManager::UnloadCharacter(const std::string& id)
{
    // A borrower goes before the character whose puppet it uses.
    for (auto lender = m_lenders.begin(); lender != m_lenders.end();)
    {
        const std::string borrower = lender->first;
        if (lender->second != id)
        {
            ++lender;
            continue;
        }
        UnloadCharacter(borrower);
        lender = m_lenders.upper_bound(borrower);
    }
    m_lenders.erase(id);
    m_characters.erase(id);
}

void cl_CharacterManager::RestoreCharacter(cl_Character& character) const
{
    if (m_stateNode)
        character.LoadState(m_stateNode->FirstChildElement(character.GetName()));
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

void cl_CharacterManager::RestoreSavedPlacements()
{
    if (!m_stateNode)
        return;
    for (const auto& entry : m_characters)
    {
        cl_Character& character = *entry.second;
        // Without a child its stored transform is an older game's.
        const TiXmlElement* saved = m_stateNode->FirstChildElement(entry.first);
        if (!saved || !character.GetPuppet() || !character.GetPuppet()->IsActive())
            continue;
        // Placing forgets the named position, which the scene's placement had replaced too.
        if (character.RestoreTransform())
            character.SetCustomObjectPosition(AttributeOrEmpty(*saved, "customOP"));
    }
}

void cl_CharacterManager::LoadSceneIncludes(const TiXmlElement* scene)
{
    if (!scene)
        return;
    for (const TiXmlElement* include = scene->FirstChildElement("include"); include;
         include = include->NextSiblingElement("include"))
    {
        const std::string file = AttributeOrEmpty(*include, "charfile");
        if (file.empty())
            continue;
        TiXmlDocument document;
        // Unreadable: logged by the opener.
        if (!OpenGameDataResource(file, document))
            continue;
        if (document.Error())
        {
            LOG_ERROR("The character file '%s' is no valid XML: %s (line %d).", file.c_str(),
                      document.ErrorDesc(), document.ErrorRow());
            continue;
        }
        const TiXmlElement* element =
            document.RootElement() ? document.RootElement()->FirstChildElement("character") : nullptr;
        if (document.RootElement() && document.RootElement()->ValueStr() == "character")
            element = document.RootElement();
        const std::string id = element ? AttributeOrEmpty(*element, "assetref") : std::string();
        if (id.empty())
            continue;
        const uint32_t start = cl_GameTime::CurrentMilliseconds();
        if (cl_Character* character = LoadCharacter(id))
            cl_CharacterLoader::Extend(character, element);
        LOG_INFO("Loading skeleton for %s took %i ms", id.c_str(),
                 static_cast<int>(cl_GameTime::CurrentMilliseconds() - start));
    }
}

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
    const auto mapped = m_speakers.find(speaker);
    return GetCharacter(mapped == m_speakers.end() ? speaker : mapped->second);
}

void cl_CharacterManager::MapSpeaker(const std::string& speaker, const std::string& character)
{
    if (speaker == character)
        m_speakers.erase(speaker);
    else
        m_speakers[speaker] = character;
}

size_t cl_CharacterManager::CollectActiveCharacters(std::vector<cl_Character*>& characters) const
{
    characters.clear();
    for (const auto& character : m_characters)
    {
        if (character.second->GetPuppet() && character.second->GetPuppet()->IsActive())
            characters.push_back(character.second.get());
    }
    return characters.size();
}

// ---- Game state

void cl_CharacterManager::NotifyGameStateLoaded(cl_GameState* gameState)
{
    m_stateNode = gameState ? gameState->GetCharacterManagerState() : nullptr;
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    for (const auto& entry : m_characters)
    {
        cl_Character& character = *entry.second;
        RestoreCharacter(character);
        if (!character.GetPuppet() || !character.GetPuppet()->IsActive())
            continue;
        if (auto* asset =
                dynamic_cast<cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(entry.first) : nullptr))
            character.SetVisualState(asset->GetVisualisation());
    }
    m_speakers.clear();
    const TiXmlElement* map = m_stateNode ? m_stateNode->FirstChildElement("speakermap") : nullptr;
    for (const TiXmlElement* entry = map ? map->FirstChildElement("entry") : nullptr; entry;
         entry = entry->NextSiblingElement("entry"))
    {
        const std::string speaker = AttributeOrEmpty(*entry, "speaker");
        const std::string character = AttributeOrEmpty(*entry, "char");
        if (!speaker.empty() && !character.empty())
            m_speakers[speaker] = character;
    }
}

void cl_CharacterManager::NotifyGameStateSaving(cl_GameState*)
{
    if (!m_stateNode)
    {
        LOG_ERROR("CharacterManager could not save because it has no gamestate to save to.");
        return;
    }
    for (const auto& entry : m_characters)
        entry.second->SaveState(&FindOrAppendChild(*m_stateNode, entry.first));
    if (TiXmlElement* old = m_stateNode->FirstChildElement("speakermap"))
        m_stateNode->RemoveChild(old);
    TiXmlElement* map = AppendChild(*m_stateNode, "speakermap");
    for (const auto& speaker : m_speakers)
    {
        TiXmlElement* entry = AppendChild(*map, "entry");
        entry->SetAttribute("speaker", speaker.first);
        entry->SetAttribute("char", speaker.second);
    }
}

// ---- Commands

namespace
{
bool IsString(const CommandArguments& args, int index)
{
    return args.Any(index).GetType() == cl_Argument::TYPE_STRING;
}
} // namespace

cl_Character* cl_CharacterManager::CharacterOrLog(const CommandArguments& args, const char* failure) const
{
    cl_Character* character = GetCharacter(args.String(0));
    if (!character && failure)
        LOG_ERROR(failure, args.String(0).c_str());
    return character;
}

bool cl_CharacterManager::CmdAddCharacter(const CommandArguments& args)
{
    if (args.Count() == 2)
        AddCharacter(args.String(0), args.String(1));
    return true;
}

bool cl_CharacterManager::CmdRemoveCharacter(const CommandArguments& args)
{
    RemoveFromScene(args.String(0));
    return true;
}

bool cl_CharacterManager::CmdToggleNavMesh(const CommandArguments& args)
{
    const cl_Character* character = nullptr;
    if (args.Count() == 1)
    {
        character = CharacterOrLog(args, "Character width id '%s' couldn't be found.");
        if (!character)
            return false;
    }
    else if (const cl_GameComponents* hub = cl_GameComponents::GetInstance())
        character = hub->GetCurrentCharacter();
    // Without a character named or current: the mesh every character is given.
    cl_Navmesh* navmesh = character ? character->GetNavmesh() : m_navmesh;
    if (!navmesh || !m_sceneManager)
    {
        LOG_WARNING("ToggleNavMesh: the characters walk on no navigation mesh to show.");
        return true;
    }
    navmesh->ToggleDebugView(*m_sceneManager);
    return true;
}

bool cl_CharacterManager::SetPartVisible(const CommandArguments& args, const char* command, bool slave,
                                         bool visible)
{
    if (!IsString(args, 0))
    {
        LOG_ERROR("The first parameter in a '%s' command needs to be a character id.", command);
        return false;
    }
    if (!IsString(args, 1))
    {
        LOG_ERROR(slave ? "The second parameter in a '%s' command needs to be a slave name."
                        : "The second parameter in a '%s' command needs to be a submesh name.",
                  command);
        return false;
    }
    const std::string id = args.String(0);
    const std::string part = args.String(1);
    const cl_Character* character = GetCharacter(id);
    cl_ControlledPuppet* puppet = character ? character->GetPuppet() : nullptr;
    bool changed = false;
    if (puppet && slave)
    {
        const st_SlaveObject* found = puppet->FindSlave(part);
        if (found && found->node)
        {
            found->node->setVisible(visible, true);
            changed = true;
        }
    }
    else if (puppet)
        changed = puppet->SetSubMeshVisible(part, visible);
    if (!changed)
        LOG_ERROR(slave ? "Changing visibility of slave '%s' of character '%s' failed."
                        : "Changing visibility of submesh '%s' of character '%s' failed.",
                  part.c_str(), id.c_str());
    return changed;
}

bool cl_CharacterManager::CmdHideSubMesh(const CommandArguments& args)
{
    return SetPartVisible(args, "HideSubMesh", false, false);
}

bool cl_CharacterManager::CmdShowSubMesh(const CommandArguments& args)
{
    return SetPartVisible(args, "ShowSubMesh", false, true);
}

bool cl_CharacterManager::CmdHideSlave(const CommandArguments& args)
{
    return SetPartVisible(args, "HideSlave", true, false);
}

bool cl_CharacterManager::CmdShowSlave(const CommandArguments& args)
{
    return SetPartVisible(args, "ShowSlave", true, true);
}

bool cl_CharacterManager::CmdChangeCertainSlaveMaterial(const CommandArguments& args)
{
    if (cl_Character* character = GetCharacter(args.String(0)))
        character->SetSubEntityMaterial(args.String(1), static_cast<unsigned int>(std::max(args.Int(2), 0)),
                                        args.String(3));
    return false;
}

bool cl_CharacterManager::CmdSetSubMeshAssetRef(const CommandArguments& args)
{
    const char* command = "SetSubMeshAssetRef";
    if (!IsString(args, 0))
    {
        LOG_ERROR("The first parameter in a '%s' command needs to be a character id.", command);
        return false;
    }
    if (!IsString(args, 1))
    {
        LOG_ERROR("The second parameter in a '%s' command needs to be a submesh name.", command);
        return false;
    }
    if (!IsString(args, 2))
    {
        LOG_ERROR("The second parameter in a '%s' command needs to be the assetRef.", command);
        return false;
    }
    const cl_Character* character = GetCharacter(args.String(0));
    if (!character || !character->GetPuppet() ||
        !character->GetPuppet()->SetSubMeshAssetRef(args.String(1), args.String(2)))
    {
        LOG_ERROR("Changing assetref of submesh '%s' of character '%s' failed.", args.String(1).c_str(),
                  args.String(0).c_str());
        return false;
    }
    return true;
}

bool cl_CharacterManager::SetBlobShadowVisible(const CommandArguments& args, const char* command,
                                               bool visible)
{
    if (!IsString(args, 0))
    {
        LOG_ERROR("The first parameter in a '%s' command needs to be a character id.", command);
        return false;
    }
    const cl_Character* character = GetCharacter(args.String(0));
    cl_BlobShadow* shadow = character ? character->GetBlobShadow() : nullptr;
    if (!shadow)
        LOG_ERROR(visible ? "Showing BlobShadow of character '%s' failed."
                          : "Hiding BlobShadow of character '%s' failed.",
                  args.String(0).c_str());
    else if (visible)
        shadow->Show();
    else
        shadow->Hide();
    return false;
}

bool cl_CharacterManager::CmdShowBlobShadow(const CommandArguments& args)
{
    return SetBlobShadowVisible(args, "ShowBlobShadow", true);
}

bool cl_CharacterManager::CmdHideBlobShadow(const CommandArguments& args)
{
    return SetBlobShadowVisible(args, "HideBlobShadow", false);
}

bool cl_CharacterManager::CmdSetFocusTarget(const CommandArguments& args)
{
    if (cl_Character* character = CharacterOrLog(args, "Could not set focus target - character not found!"))
        character->SetFocus(args.String(1), args.Count() == 3 ? args.String(2) : std::string());
    return true;
}

bool cl_CharacterManager::CmdSetSpeachPosition(const CommandArguments& args)
{
    if (cl_Character* character =
            CharacterOrLog(args, "Could not set speach position - character not found!"))
        character->SetSpeechNodeName(args.String(1));
    return true;
}

bool cl_CharacterManager::CmdSetCustomOP(const CommandArguments& args)
{
    if (cl_Character* character =
            CharacterOrLog(args, "Could not set custom off position - character not found!"))
        character->SetCustomObjectPosition(args.String(1));
    return true;
}

bool cl_CharacterManager::CmdSetExamineDistance(const CommandArguments& args)
{
    if (cl_Character* character =
            CharacterOrLog(args, "Could not set examine distance - character not found!"))
        character->SetExamineDistance(args.Float(1));
    return true;
}

bool cl_CharacterManager::CmdScale(const CommandArguments& args)
{
    if (args.Count() < 2)
    {
        LOG_ERROR("Scaling character failed. Insufficient arguments.");
        return false;
    }
    cl_Character* character = CharacterOrLog(args, "Scaling character '%s' failed.");
    if (!character)
        return false;
    character->StartScaleFade(args.Float(1), args.Float(2));
    return true;
}

bool cl_CharacterManager::CmdMapSpeaker(const CommandArguments& args)
{
    MapSpeaker(args.String(0), args.String(1));
    return true;
}

bool cl_CharacterManager::CmdStopCharacterAnimation(const CommandArguments& args)
{
    cl_Character* character = GetCharacter(args.String(0));
    if (character)
        character->StopAnimation();
    return character != nullptr;
}
