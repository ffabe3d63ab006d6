#include "graphics/cl_ItemManager.h"

#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlName.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/ItemManagerCommands.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PatchItem.h"
#include "graphics/cl_PatchItemLoader.h"
#include "graphics/cl_Scene.h"
#include "graphics/cl_SceneItem.h"
#include "graphics/cl_SceneItemLoader.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SceneObject.h"

#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreTechnique.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
const char* const RECEIVER = "itemmanager";

// The texts of the children of the definition's first `alias` element; children without text are skipped.
std::vector<std::string> Aliases(const TiXmlElement& definition)
{
    std::vector<std::string> aliases;
    const TiXmlElement* alias = definition.FirstChildElement("alias");
    for (const TiXmlElement* child = alias ? alias->FirstChildElement() : nullptr; child;
         child = child->NextSiblingElement())
    {
        const char* text = child->GetText();
        if (text && *text)
            aliases.emplace_back(text);
    }
    return aliases;
}
} // namespace

cl_ItemEntry::cl_ItemEntry() = default;

cl_ItemEntry::~cl_ItemEntry() = default;

cl_ItemManager::cl_ItemManager(cl_CommandDistributor& distributor)
    : m_itemParser("item", this), m_patchItemParser("patchitem", this),
      m_receiver(distributor, RECEIVER, this), m_frames(cl_GameTime::GetInstance(), this, "gamecomponents", 3)
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_ItemManager::~cl_ItemManager()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
}

void cl_ItemManager::Init(Ogre::SceneManager* sceneManager)
{
    m_sceneManager = sceneManager;
}

void cl_ItemManager::ParseElement(const TiXmlElement* element, const std::string& group, bool skip)
{
    const std::string id = element && !skip ? AttributeOrEmpty(*element, "assetref") : std::string();
    if (id.empty())
        return;
    std::vector<std::string> names = Aliases(*element);
    names.insert(names.begin(), id);
    for (const std::string& name : names)
    {
        m_definitions[name].reset(element->Clone()->ToElement());
        m_groups[name] = group;
    }
}

void cl_ItemManager::UnloadGroup(const std::string& group)
{
    for (auto entry = m_groups.begin(); entry != m_groups.end();)
    {
        if (entry->second != group)
        {
            ++entry;
            continue;
        }
        RemoveItem(entry->first);
        m_definitions.erase(entry->first);
        entry = m_groups.erase(entry);
    }
}

bool cl_ItemManager::ExecuteCmd(cl_Command& cmd)
{
    return RunItemManagerCommand(*this, cmd);
}

void cl_ItemManager::NotifyGameStateLoaded(cl_GameState* gameState)
{
    m_stateNode = gameState ? gameState->GetItemManagerState() : nullptr;
    for (const TiXmlElement* child = m_stateNode ? m_stateNode->FirstChildElement() : nullptr; child;
         child = child->NextSiblingElement())
    {
        cl_ItemEntry* entry = FindItem(child->ValueStr());
        if (!entry)
            continue;
        ResetItemPlacement(*entry);
        if (entry->sceneItem)
            entry->sceneItem->RestoreState(child);
    }
}

void cl_ItemManager::NotifyGameStateSaving(cl_GameState*)
{
    if (!m_stateNode)
    {
        LOG_ERROR("ItemManager could not save because it has no gamestate to save to.");
        return;
    }
    for (const auto& item : m_items)
    {
        cl_ItemEntry& entry = *item.second;
        ResetItemPlacement(entry);
        const cl_SceneObject* object = entry.sceneItem.get();
        if (!object || !object->GetPuppet() || !object->GetPuppet()->IsActive())
            continue;
        // The name becomes an element's name: one that is none would leave a save no reader takes.
        if (IsXmlName(item.first))
            object->SaveState(&FindOrAppendChild(*m_stateNode, item.first));
        else
            LOG_ERROR("The item '%s' is not saved: its name is no XML name.", item.first.c_str());
    }
}

void cl_ItemManager::Update(float)
{
    for (const auto& item : m_items)
        ResetItemPlacement(*item.second);
}

void cl_ItemManager::UnloadItems()
{
    while (!m_items.empty())
        RemoveItem(m_items.begin()->first);
    // Entries taken over without a name of their own cannot be listed; none is left behind.
    m_entries.clear();
}

void cl_ItemManager::StopItemAnimations()
{
    for (const std::unique_ptr<cl_ItemEntry>& entry : m_entries)
    {
        if (entry->sceneItem)
            entry->sceneItem->StopAnimation();
        if (entry->patchItem)
            entry->patchItem->StopAnimation();
    }
}

cl_ItemEntry* cl_ItemManager::AddSceneItem(std::unique_ptr<cl_SceneObject> item,
                                           const std::vector<std::string>& aliases)
{
    const std::string id = item->GetName();
    if (cl_ItemEntry* kept = Listed(id))
    {
        LOG_WARNING("The item '%s' exists already.", id.c_str());
        return kept;
    }
    auto entry = std::make_unique<cl_ItemEntry>();
    entry->sceneItem = std::move(item);
    entry->names[id] = false;
    m_items[id] = entry.get();
    for (const std::string& alias : aliases)
    {
        entry->names[alias] = false;
        entry->hasAliases = true;
        m_items.emplace(alias, entry.get());
    }
    m_entries.push_back(std::move(entry));
    return m_entries.back().get();
}

cl_ItemEntry* cl_ItemManager::Listed(const std::string& name) const
{
    const auto found = m_items.find(name);
    return found == m_items.end() ? nullptr : found->second;
}

cl_ItemEntry* cl_ItemManager::FindItem(const std::string& id)
{
    cl_ItemEntry* entry = Listed(id);
    if (entry && entry->sceneItem)
        entry->sceneItem->SetAssetId(id);
    return entry;
}

void cl_ItemManager::FreeWhenUnlisted(const cl_ItemEntry* entry)
{
    for (const auto& item : m_items)
    {
        if (item.second == entry)
            return;
    }
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [entry](const std::unique_ptr<cl_ItemEntry>& kept)
                                   { return kept.get() == entry; }),
                    m_entries.end());
}

cl_ItemEntry* cl_ItemManager::LoadItem(const std::string& id)
{
    cl_ItemEntry* entry = FindItem(id);
    if (entry && entry->removed)
    {
        // Another of its names was removed with the objects: this name builds them afresh.
        for (auto item = m_items.begin(); item != m_items.end();)
            item = item->second == entry ? m_items.erase(item) : std::next(item);
        FreeWhenUnlisted(entry);
        entry = nullptr;
    }
    if (!entry)
        entry = Build(id);
    if (entry)
        ApplyVisualisation(*entry, id);
    return entry;
}

cl_ItemEntry* cl_ItemManager::Build(const std::string& id)
{
    const auto definition = m_definitions.find(id);
    if (definition == m_definitions.end())
        return nullptr;
    const TiXmlElement& element = *definition->second;
    const std::string assetRef = AttributeOrEmpty(element, "assetref");
    LOG_INFO("Loading Item '%s'", assetRef.c_str());
    auto built = std::make_unique<cl_ItemEntry>();
    cl_ItemEntry* entry = built.get();
    m_entries.push_back(std::move(built));
    if (element.ValueStr() == "item")
        entry->sceneItem = cl_SceneItemLoader::Load(m_sceneManager, &element);
    else if (element.ValueStr() == "patchitem")
        entry->patchItem = cl_PatchItemLoader::Load(m_sceneManager, &element, assetRef);
    entry->names[assetRef] = false;
    m_items[assetRef] = entry;
    for (const std::string& name : Aliases(element))
    {
        entry->names[name] = false;
        entry->hasAliases = true;
        m_items[name] = entry;
    }
    if (m_stateNode && entry->sceneItem)
    {
        ResetItemPlacement(*entry);
        entry->sceneItem->RestoreState(m_stateNode->FirstChildElement(id));
    }
    if (entry->sceneItem)
        entry->sceneItem->SetAssetId(id);
    return entry;
}

void cl_ItemManager::ApplyVisualisation(cl_ItemEntry& entry, const std::string& id) const
{
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    cl_Asset* found = pools ? pools->FindItemOrCharacter(id) : nullptr;
    cl_ItemPool* itemPool = pools ? pools->GetItemPool() : nullptr;
    if (!found && itemPool)
    {
        found = itemPool->AddNewAsset(id);
        if (found)
        {
            found->BindState(cl_GameState::GetInstance());
            LOG_INFO("Creating temp asset for item '%s'.", id.c_str());
        }
    }
    const auto* asset = dynamic_cast<const cl_ItemAsset*>(found);
    if (!asset)
        return;
    const std::string visualisation = asset->GetVisualisation();
    if (entry.patchItem)
        entry.patchItem->SetVisualState(visualisation);
    if (entry.sceneItem)
        entry.sceneItem->SetVisualState(visualisation);
}

void cl_ItemManager::ResetItemPlacement(cl_ItemEntry& entry)
{
    if (!entry.hasAliases || !entry.sceneItem)
        return;
    const auto placed =
        std::find_if(entry.names.begin(), entry.names.end(), [](const auto& name) { return name.second; });
    if (placed != entry.names.end())
    {
        entry.sceneItem->SetAssetId(placed->first);
        return;
    }
    entry.sceneItem->SetLocation(st_ObjectPlacement());
    entry.sceneItem->SetActive(false);
}

cl_SceneObject* cl_ItemManager::GetItemObject(const std::string& id)
{
    cl_ItemEntry* entry = FindItem(id);
    if (!entry)
        return nullptr;
    ResetItemPlacement(*entry);
    return entry->sceneItem.get();
}

cl_PatchItem* cl_ItemManager::GetPatchItem(const std::string& id) const
{
    const cl_ItemEntry* entry = Listed(id);
    return entry ? entry->patchItem.get() : nullptr;
}

std::string cl_ItemManager::CreateIconMaterial(const std::string& itemId, const std::string& use)
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    const std::string iconTag = hub ? hub->GetInventory().GetItemIconTag(itemId) : std::string();
    const std::string name = use + "_" + itemId + iconTag;
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists(name, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME))
        return name;
    Ogre::MaterialPtr material = materials.create(name, "CHAPTERDATA");
    material->setLightingEnabled(false);
    material->setDepthCheckEnabled(false);
    material->setSceneBlending(Ogre::SBT_TRANSPARENT_ALPHA);
    // An icon lies over the scene: a shadow cast onto it would only smudge it.
    material->setReceiveShadows(false);
    material->getTechnique(0)->getPass(0)->createTextureUnitState("icon_" + itemId + iconTag + ".dds");
    return name;
}

template <class Place>
void cl_ItemManager::PlaceUnderId(cl_ItemEntry& entry, const std::string& id, const std::string& location,
                                  const Place& place)
{
    entry.names[id] = true;
    entry.location = location;
    if (!entry.sceneItem)
        return;
    place(*entry.sceneItem);
    entry.sceneItem->SetActive(true);
}

void cl_ItemManager::AddItem(const std::string& id)
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    const cl_Scene* scene = scenes ? scenes->GetLoadedScene() : nullptr;
    Ogre::SceneNode* root = scene ? scene->GetSceneNode("SceneRoot") : nullptr;
    AddItem(id, st_ObjectPlacement{root, Ogre::Vector3::ZERO, Ogre::Quaternion::IDENTITY});
}

void cl_ItemManager::AddItem(const std::string& id, const std::string& location)
{
    cl_ItemEntry* entry = LoadItem(id);
    if (!entry)
    {
        LOG_WARNING("Failed to add item '%s'!", id.c_str());
        return;
    }
    PlaceUnderId(*entry, id, location, [&](cl_SceneObject& item) { item.SetLocation(location); });
}

void cl_ItemManager::AddItem(const std::string& id, const st_ObjectPlacement& placement)
{
    cl_ItemEntry* entry = LoadItem(id);
    if (!entry)
    {
        LOG_WARNING("Failed to add item '%s'!", id.c_str());
        return;
    }
    PlaceUnderId(*entry, id, "", [&](cl_SceneObject& item) { item.SetLocation(placement); });
}

void cl_ItemManager::PlaceItemAtLocation(const std::string& id, const std::string& location)
{
    if (cl_ItemEntry* entry = FindItem(id))
        PlaceUnderId(*entry, id, location, [&](cl_SceneObject& item) { item.SetLocation(location); });
}

void cl_ItemManager::RemoveFromScene(cl_ItemEntry& entry, const std::string& name)
{
    entry.names[name] = false;
    if (!entry.sceneItem || entry.hasAliases)
        return;
    entry.sceneItem->SetLocation(st_ObjectPlacement());
    entry.sceneItem->SetActive(false);
}

void cl_ItemManager::RemoveItemFromScene(const std::string& id)
{
    if (cl_ItemEntry* entry = FindItem(id))
        RemoveFromScene(*entry, id);
}

bool cl_ItemManager::RemoveItem(const std::string& id)
{
    cl_ItemEntry* entry = FindItem(id);
    if (!entry)
        return false;
    if (entry->sceneItem)
        entry->sceneItem->AbortAll();
    if (entry->patchItem)
        entry->patchItem->StopAnimation();
    entry->sceneItem.reset();
    entry->patchItem.reset();
    entry->removed = true;
    m_items.erase(id);
    FreeWhenUnlisted(entry);
    return true;
}

void cl_ItemManager::SetItemPickable(const std::string& id, bool pickable)
{
    const uint32_t flags = pickable ? 1u : 0u;
    if (m_sceneManager && m_sceneManager->hasEntity(id))
        m_sceneManager->getEntity(id)->setQueryFlags(flags);
    const std::string clickObject = "co_" + id;
    if (m_sceneManager && m_sceneManager->hasEntity(clickObject))
        m_sceneManager->getEntity(clickObject)->setQueryFlags(flags);
    else if (cl_SceneObject* item = GetItemObject(id))
        item->SetQueryFlags(flags);
}

void cl_ItemManager::RemoveAllFromScene()
{
    for (const auto& item : m_items)
        RemoveFromScene(*item.second, item.first);
}

void cl_ItemManager::CollectFreelyPlacedItems(std::map<std::string, cl_SceneObject*>& items) const
{
    items.clear();
    for (const auto& item : m_items)
    {
        const cl_ItemEntry& entry = *item.second;
        const auto placed = entry.names.find(item.first);
        if (entry.sceneItem && placed != entry.names.end() && placed->second && entry.location.empty())
            items[item.first] = entry.sceneItem.get();
    }
}

void cl_ItemManager::LoadSceneIncludes(const TiXmlElement* items)
{
    for (const TiXmlElement* include = items ? items->FirstChildElement("include") : nullptr; include;
         include = include->NextSiblingElement("include"))
    {
        const std::string file = AttributeOrEmpty(*include, "itemfile");
        TiXmlDocument document;
        if (file.empty() || !OpenGameDataResource(file, document))
            continue;
        const TiXmlElement* data = document.FirstChildElement("tarqdata");
        const TiXmlElement* item = data ? data->FirstChildElement("item") : nullptr;
        if (document.Error() || !item)
        {
            LOG_ERROR("The item file '%s' holds no item.", file.c_str());
            continue;
        }
        const std::string id = AttributeOrEmpty(*item, "assetref");
        if (!id.empty())
            LoadItem(id);
    }
}
