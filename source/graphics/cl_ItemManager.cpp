#include "graphics/cl_ItemManager.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_SceneObject.h"

#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreTechnique.h>

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
