#include "graphics/cl_ItemManager.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/cl_Command.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_SceneObject.h"

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>
#include <tinyxml.h>

#include <algorithm>

cl_ItemManager::cl_ItemManager(cl_CommandDistributor& distributor)
    : m_itemParser("item", this), m_patchItemParser("patchitem", this),
      m_receiver(distributor, "itemmanager", this)
{
}

cl_ItemManager::~cl_ItemManager() = default;

void cl_ItemManager::Init() {}

void cl_ItemManager::ParseElement(const TiXmlElement*, const std::string&, bool) {}

void cl_ItemManager::UnloadGroup(const std::string&) {}

bool cl_ItemManager::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

void cl_ItemManager::UnloadItems()
{
    m_items.clear();
    m_entries.clear();
}

cl_ItemEntry* cl_ItemManager::AddSceneItem(std::unique_ptr<cl_SceneObject> item,
                                           const std::vector<std::string>& aliases)
{
    const std::string id = item->GetName();
    if (cl_ItemEntry* kept = LoadItem(id))
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

cl_ItemEntry* cl_ItemManager::LoadItem(const std::string& id)
{
    const auto found = m_items.find(id);
    return found == m_items.end() ? nullptr : found->second;
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
    cl_ItemEntry* entry = LoadItem(id);
    if (!entry)
        return nullptr;
    ResetItemPlacement(*entry);
    return entry->sceneItem.get();
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
