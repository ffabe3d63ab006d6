#include "graphics/cl_ItemManager.h"

#include "assets/cl_ItemAsset.h"
#include "assets/cl_PoolManager.h"
#include "common/CommandArguments.h"
#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Command.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_PatchItem.h"
#include "graphics/cl_PatchItemLoader.h"
#include "graphics/cl_SceneItem.h"
#include "graphics/cl_SceneItemLoader.h"
#include "graphics/cl_SceneObject.h"

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
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
        if (const char* text = child->GetText())
            aliases.emplace_back(text);
    }
    return aliases;
}
} // namespace

cl_ItemEntry::cl_ItemEntry() = default;

cl_ItemEntry::~cl_ItemEntry() = default;

cl_ItemManager::cl_ItemManager(cl_CommandDistributor& distributor)
    : m_itemParser("item", this), m_patchItemParser("patchitem", this),
      m_receiver(distributor, RECEIVER, this)
{
}

cl_ItemManager::~cl_ItemManager() = default;

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
        if (cl_ItemEntry* item = FindItem(entry->first))
        {
            item->sceneItem.reset();
            item->patchItem.reset();
        }
        m_items.erase(entry->first);
        m_definitions.erase(entry->first);
        entry = m_groups.erase(entry);
    }
}

bool cl_ItemManager::ExecuteCmd(cl_Command& cmd)
{
    const CommandArguments args(cmd, RECEIVER);
    if (const CommandEntry* command = args.Find(COMMANDS, true))
        (this->*command->run)(args);
    return false;
}

void cl_ItemManager::CmdPlayItemAnimation(const CommandArguments& args)
{
    cl_ItemEntry* entry = LoadItem(args.String(0));
    if (!entry)
        return;
    if (cl_SceneObject* item = entry->sceneItem.get())
    {
        ResetItemPlacement(*entry);
        if (args.Count() == 3)
            item->PlayAnimation(args.String(1), args.String(2), Ogre::Vector3::ZERO,
                                Ogre::Quaternion::IDENTITY, nullptr);
        else
            item->StartAnimation(args.String(1), nullptr);
    }
    else if (entry->patchItem)
    {
        entry->patchItem->PlayAnimation(args.String(1), nullptr);
    }
}

void cl_ItemManager::CmdStopItemAnimation(const CommandArguments& args)
{
    cl_ItemEntry* entry = FindItem(args.String(0));
    if (!entry)
        return;
    if (entry->sceneItem)
    {
        ResetItemPlacement(*entry);
        entry->sceneItem->StopAnimation();
    }
    else if (entry->patchItem)
    {
        entry->patchItem->StopAnimation();
    }
}

void cl_ItemManager::UnloadItems()
{
    m_items.clear();
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
    if (cl_ItemEntry* kept = FindItem(id))
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

cl_ItemEntry* cl_ItemManager::FindItem(const std::string& id) const
{
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
}

cl_ItemEntry* cl_ItemManager::LoadItem(const std::string& id)
{
    cl_ItemEntry* entry = FindItem(id);
    const auto definition = m_definitions.find(id);
    if (!entry && definition != m_definitions.end())
    {
        const TiXmlElement& element = *definition->second;
        const std::string assetRef = AttributeOrEmpty(element, "assetref");
        LOG_INFO("Loading Item '%s'", assetRef.c_str());
        auto built = std::make_unique<cl_ItemEntry>();
        Build(*built, element, assetRef);
        entry = built.get();
        m_entries.push_back(std::move(built));
        for (const std::string& name : Aliases(element))
        {
            entry->names[name] = false;
            entry->hasAliases = true;
            m_items[name] = entry;
        }
        entry->names[assetRef] = false;
        m_items[assetRef] = entry;
    }
    if (entry)
        ApplyVisualisation(*entry, id);
    return entry;
}

void cl_ItemManager::Build(cl_ItemEntry& entry, const TiXmlElement& definition, const std::string& id) const
{
    if (definition.ValueStr() == "item")
        entry.sceneItem = cl_SceneItemLoader::Load(m_sceneManager, &definition);
    else if (definition.ValueStr() == "patchitem")
        entry.patchItem = cl_PatchItemLoader::Load(m_sceneManager, &definition, id);
}

void cl_ItemManager::ApplyVisualisation(cl_ItemEntry& entry, const std::string& id) const
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const auto* asset = dynamic_cast<const cl_ItemAsset*>(pools ? pools->FindItemOrCharacter(id) : nullptr);
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
    const bool placed =
        std::any_of(entry.names.begin(), entry.names.end(), [](const auto& name) { return name.second; });
    if (placed)
        return;
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
    const cl_ItemEntry* entry = FindItem(id);
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
    const auto found = m_items.find(id);
    if (found != m_items.end())
        PlaceUnderId(*found->second, id, location, [&](cl_SceneObject& item) { item.SetLocation(location); });
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
    const auto found = m_items.find(id);
    if (found != m_items.end())
        RemoveFromScene(*found->second, id);
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
