#include "graphics/cl_Scene.h"

#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_ItemPool.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SceneAsset.h"
#include "assets/cl_ScenePool.h"
#include "common/LogCall.h"
#include "common/MeshHelpers.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "graphics/cl_ItemManager.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_SceneManager.h"
#include "graphics/cl_SceneObject.h"
#include "gui/cl_GUISystem.h"
#include "gui/cl_IngameMenu.h"

#include <OgreCamera.h>
#include <OgreEntity.h>
#include <OgreMaterialManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreStringConverter.h>
#include <OgreWireBoundingBox.h>
#include <tinyxml.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace
{
const char* const ROOT_NODE = "_game";
const char* const SPAWN_POINT = "sp_";
const char* const NODE_VISUALISER = "sceneNodeVis";
const Ogre::uint8 VISUALISER_RENDER_QUEUE = 100;
const char* const CLICK_OBJECT_PREFIX = "co_";
// What RayQueryEntities meets: click objects and walkable geometry.
const uint32_t PICK_MASK = cl_Scene::QUERY_CLICK_OBJECT | 2;
// The share of the viewport's width and height that makes its exit border.
const float EXIT_MARGIN = 0.05f;

cl_ItemManager* Items()
{
    return cl_ItemManager::GetInstance();
}

cl_CharacterManager* Characters()
{
    return cl_CharacterManager::GetInstance();
}

// The current character for "" and "avatar", else the character of that id; null for none.
cl_Character* FindCharacter(const std::string& name)
{
    if (name.empty() || name == "avatar")
    {
        const cl_GameComponents* hub = cl_GameComponents::GetInstance();
        return hub ? hub->GetCurrentCharacter() : nullptr;
    }
    const cl_CharacterManager* characters = Characters();
    return characters ? characters->GetCharacter(name) : nullptr;
}

// The (reference, location) pairs of a list of state entries, read before anything acts on them: placing
// an object may edit the state the entries belong to.
std::vector<std::pair<std::string, std::string>> Placements(const std::vector<const TiXmlElement*>& entries,
                                                            const char* reference)
{
    std::vector<std::pair<std::string, std::string>> placements;
    for (const TiXmlElement* entry : entries)
        placements.emplace_back(AttributeOrEmpty(*entry, reference), AttributeOrEmpty(*entry, "locationref"));
    return placements;
}

// The asset of that id in the pool when it is an item or character that allows interaction; else null.
cl_ItemAsset* FindInteractive(const cl_AssetPool* pool, const std::string& id)
{
    auto* asset = pool && !id.empty() ? dynamic_cast<cl_ItemAsset*>(pool->FindAsset(id)) : nullptr;
    return asset && asset->AllowsInteraction() ? asset : nullptr;
}

cl_ItemAsset* FindInteractiveItem(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return pools ? FindInteractive(pools->GetItemPool(), id) : nullptr;
}

cl_ItemAsset* FindInteractiveCharacter(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return pools ? FindInteractive(pools->GetCharacterPool(), id) : nullptr;
}

// The item or character id an entity hit stands for: a click object's user value, else the owner of the
// entity among the scene objects; empty for none.
std::string ClickedId(const Ogre::Entity& entity)
{
    if (!StartsWith(entity.getName(), CLICK_OBJECT_PREFIX))
        return cl_SceneObject::FindOwnerOfEntity(entity.getName());
    const Ogre::Any& value = entity.getUserObjectBindings().getUserAny();
    const std::string* id = value.has_value() ? Ogre::any_cast<std::string>(&value) : nullptr;
    return id ? *id : std::string();
}

// The scene object of the id with its focus node placed; null when it has none.
Ogre::SceneNode* FocusNodeOf(const std::string& id)
{
    cl_SceneObject* object = cl_SceneObject::ResolveByName(id);
    if (!object)
        return nullptr;
    object->ApplySlaveTagPoints();
    return object->GetFocusNode();
}

template <class Place> void Timed(const char* what, const std::string& id, const Place& place)
{
    const uint32_t start = cl_GameTime::CurrentMilliseconds();
    place();
    LOG_INFO("Adding %s %s took %i ms", what, id.c_str(),
             static_cast<int>(cl_GameTime::CurrentMilliseconds() - start));
}
} // namespace

cl_Scene::cl_Scene(const TiXmlElement& definition) : m_definition(std::make_unique<TiXmlElement>(definition))
{
}

cl_Scene::~cl_Scene() = default;

void cl_Scene::SetDefinition(const TiXmlElement& definition)
{
    if (&definition != m_definition.get())
        m_definition = std::make_unique<TiXmlElement>(definition);
}

cl_SceneAsset* cl_Scene::GetAsset() const
{
    if (!m_assetResolved)
    {
        const cl_PoolManager* pools = cl_PoolManager::GetInstance();
        m_asset = pools ? dynamic_cast<cl_SceneAsset*>(pools->GetScenePool()->FindAsset(GetId())) : nullptr;
        m_assetResolved = true;
    }
    return m_asset;
}

std::string cl_Scene::GetId() const
{
    return AttributeOrEmpty(*m_definition, "assetref");
}

Ogre::RaySceneQuery* cl_Scene::PrepareRayQuery(float x, float y, uint32_t mask) const
{
    if (!m_sceneManager || !m_camera)
        return nullptr;
    const Ogre::Ray ray = m_camera->getCameraToViewportRay(x, y);
    if (!m_rayQuery)
        m_rayQuery = m_sceneManager->createRayQuery(ray);
    else
    {
        m_rayQuery->clearResults();
        m_rayQuery->setRay(ray);
    }
    m_rayQuery->setQueryMask(mask);
    m_rayQuery->setSortByDistance(true);
    return m_rayQuery;
}

bool cl_Scene::RayQuery(float x, float y, uint32_t mask, Ogre::Vector3& position) const
{
    const RaycastResult hit = RaycastToPolygon(PrepareRayQuery(x, y, mask));
    if (hit.hit)
        position = hit.point;
    return hit.hit;
}

size_t cl_Scene::RayQueryEntities(float x, float y, EntityHits& hits) const
{
    hits.clear();
    Ogre::RaySceneQuery* query = PrepareRayQuery(x, y, PICK_MASK);
    if (!query)
        return 0;
    const Ogre::Ray ray = query->getRay();
    for (const Ogre::RaySceneQueryResultEntry& entry : query->execute())
    {
        if (!entry.movable || entry.movable->getMovableType() != "Entity")
            continue;
        auto* entity = static_cast<Ogre::Entity*>(entry.movable);
        const float distance = NearestTriangleHit(ray, entity, m_pickVertices, m_pickIndices);
        if (distance >= 0.0f)
            hits.push_back({distance, ray.getPoint(distance), entity});
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [](const EntityHit& a, const EntityHit& b) { return a.distance < b.distance; });
    return hits.size();
}

cl_ItemAsset* cl_Scene::PickItem(float x, float y) const
{
    if (cl_GUISystem* gui = cl_GUISystem::GetInstance())
    {
        cl_IngameMenu& menu = gui->GetIngameMenu();
        menu.m_pointerFlags.leave = m_exitArmed && IsInViewportMargin(x, y);
        menu.UpdateMousePointer();
    }
    RayQueryEntities(x, y, m_pickHits);
    for (const EntityHit& hit : m_pickHits)
    {
        const std::string id = ClickedId(*hit.entity);
        cl_ItemAsset* asset = FindInteractiveItem(id);
        if (!asset)
            asset = FindInteractiveCharacter(id);
        if (!asset)
            continue;
        if (asset->GetInteractionMode().empty())
            LOG_WARNING(
                "The Asset with the Id '%s' has no InteractionMode set. This is a false positive pick!",
                id.c_str());
        ShowPickBox(hit.entity);
        return asset;
    }
    ShowPickBox(nullptr);
    return nullptr;
}

bool cl_Scene::IsInViewportMargin(float x, float y)
{
    return (x < EXIT_MARGIN || x > 1.0f - EXIT_MARGIN || y < EXIT_MARGIN) && y < 1.0f - EXIT_MARGIN;
}

bool cl_Scene::HandleExitClick(float x, float y)
{
    if (!m_exitArmed || !IsInViewportMargin(x, y))
        return false;
    if (cl_SceneManager* scenes = cl_SceneManager::GetInstance())
        scenes->RequestSceneChange(m_exitTarget);
    return true;
}

void cl_Scene::GetHotSpots(HotSpots& hotSpots) const
{
    hotSpots.clear();
    const cl_SceneAsset* asset = GetAsset();
    if (!asset)
        return;
    const auto add =
        [&](const cl_ItemAsset& object, const std::string& id, const Ogre::SceneNode* node, const char* what)
    {
        if (!node)
        {
            LOG_WARNING("Couldn't resolve a the screen position of %s '%s'!", what, id.c_str());
            return;
        }
        Ogre::Vector2 screen;
        WorldToScreen(node->_getDerivedPosition(), true, screen);
        hotSpots.push_back({screen.x, screen.y, object.GetInteractionMode(), id});
    };
    std::vector<const TiXmlElement*> entries;
    asset->GetSceneObjects(entries);
    for (const TiXmlElement* entry : entries)
    {
        const char* id = entry->Attribute("itemref");
        const char* location = entry->Attribute("locationref");
        const cl_ItemAsset* item = id && location ? FindInteractiveItem(id) : nullptr;
        if (!item)
            continue;
        Ogre::SceneNode* node = FocusNodeOf(id);
        if (!node)
            node = FindClickNode(location);
        if (!node)
            node = FindSceneNode(location);
        add(*item, id, node, "item");
    }
    asset->GetPuppets(entries);
    for (const TiXmlElement* entry : entries)
    {
        const char* id = entry->Attribute("characterref");
        const char* location = entry->Attribute("locationref");
        const cl_ItemAsset* character = id && location ? FindInteractiveCharacter(id) : nullptr;
        if (!character)
            continue;
        Ogre::SceneNode* node = FocusNodeOf(id);
        add(*character, id, node ? node : FindSceneNode(location), "character");
    }
}

void cl_Scene::GetObjectLocations(ObjectLocations& locations) const
{
    locations.clear();
    const cl_SceneAsset* asset = GetAsset();
    if (!asset)
        return;
    const auto add = [&](const std::string& id, const char* location, int kind)
    {
        if (cl_SceneObject* object = cl_SceneObject::ResolveByName(id))
            locations.push_back({object, nullptr, id, kind});
        else if (Ogre::SceneNode* node = FindSceneNode(location))
            locations.push_back({nullptr, node, id, ObjectLocation::KIND_NODE});
    };
    std::vector<const TiXmlElement*> entries;
    asset->GetPuppets(entries);
    for (const TiXmlElement* entry : entries)
    {
        const char* id = entry->Attribute("characterref");
        if (id && FindInteractiveCharacter(id))
            add(id, AttributeOrEmpty(*entry, "locationref").c_str(), ObjectLocation::KIND_CHARACTER);
    }
    asset->GetSceneObjects(entries);
    for (const TiXmlElement* entry : entries)
    {
        const char* id = entry->Attribute("itemref");
        const char* location = entry->Attribute("locationref");
        if (id && location && FindInteractiveItem(id))
            add(id, location, ObjectLocation::KIND_ITEM);
    }
}

bool cl_Scene::WorldToScreen(const Ogre::Vector3& world, bool normalise, Ogre::Vector2& screen) const
{
    if (!m_camera)
        return true;
    const Ogre::Vector3 projected = m_camera->getProjectionMatrix() * (m_camera->getViewMatrix() * world);
    screen.x = projected.x;
    screen.y = projected.y;
    if (normalise)
    {
        screen.x = 0.5f * projected.x + 0.5f;
        screen.y = 1.0f - (0.5f * projected.y + 0.5f);
    }
    return true;
}

void cl_Scene::ShowPickBox(Ogre::Entity* entity) const
{
    Ogre::SceneNode* root = m_sceneManager ? m_sceneManager->getRootSceneNode() : nullptr;
    if (!m_debugView || !root)
    {
        if (m_pickBox && m_pickBox->getParentSceneNode())
            m_pickBox->getParentSceneNode()->detachObject(m_pickBox.get());
        m_pickBox.reset();
        return;
    }
    if (!m_pickBox)
    {
        m_pickBox = std::make_unique<Ogre::WireBoundingBox>();
        m_pickBox->setRenderQueueGroup(VISUALISER_RENDER_QUEUE);
        root->attachObject(m_pickBox.get());
    }
    m_pickBox->setVisible(entity != nullptr);
    if (entity)
        m_pickBox->setupBoundingBox(entity->getWorldBoundingBox(true));
}

void cl_Scene::ForgetPicking()
{
    const bool debugView = m_debugView;
    m_debugView = false;
    ShowPickBox(nullptr);
    m_debugView = debugView;
    if (m_rayQuery && m_sceneManager)
        m_sceneManager->destroyQuery(m_rayQuery);
    m_rayQuery = nullptr;
}

void cl_Scene::Preload()
{
    if (m_preloaded)
        return;
    cl_ItemManager* items = Items();
    const TiXmlElement* preload = m_definition->FirstChildElement("preload");
    for (const TiXmlElement* patchItem = preload ? preload->FirstChildElement("patchitem") : nullptr;
         patchItem && items; patchItem = patchItem->NextSiblingElement("patchitem"))
    {
        if (const char* id = patchItem->Attribute("id"))
            items->LoadItem(id);
    }
    if (cl_CharacterManager* characters = Characters())
        characters->LoadSceneIncludes(m_definition->FirstChildElement("characters"));
    if (items)
        items->LoadSceneIncludes(m_definition->FirstChildElement("items"));
    m_preloaded = true;
}

void cl_Scene::Activate()
{
    Preload();
    m_assetResolved = false;
    cl_SceneAsset* asset = GetAsset();
    if (asset)
    {
        asset->RemoveSceneStateListener(this);
        asset->AddSceneStateListener(this);
    }
    SpawnSceneObjects();
    if (!GetNavmeshName().empty())
        ApplyNavmesh();
    else if (!m_environments.empty())
        SetNavmesh(m_environments.begin()->first);
}

void cl_Scene::Deactivate()
{
    if (cl_CharacterManager* characters = Characters())
        characters->SetNavmesh(nullptr);
    m_environments.clear();
    DespawnSceneObjects();
    if (cl_SceneAsset* asset = GetAsset())
        asset->RemoveSceneStateListener(this);
    if (m_nodeVisualiser && m_sceneManager)
        m_sceneManager->destroyEntity(m_nodeVisualiser);
    m_nodeVisualiser = nullptr;
    ForgetPicking();
}

void cl_Scene::AddEnvironment(const std::string& name, const Ogre::Vector3& position,
                              const Ogre::Vector3& scale, const Ogre::Quaternion& orientation)
{
    SceneEnvironment environment{name, position, scale, orientation, std::make_unique<cl_Navmesh>()};
    environment.navmesh->Load(name, position, orientation, scale, m_environmentParameters.surface);
    m_environments[name] = std::move(environment);
}

cl_Navmesh* cl_Scene::FindNavmesh(const std::string& name) const
{
    const auto found = m_environments.find(name);
    return found == m_environments.end() ? nullptr : found->second.navmesh.get();
}

std::string cl_Scene::GetNavmeshName() const
{
    const cl_SceneAsset* asset = GetAsset();
    return asset ? asset->GetNavMesh() : std::string();
}

cl_Navmesh* cl_Scene::GetNavmesh() const
{
    return FindNavmesh(GetNavmeshName());
}

void cl_Scene::SetNavmesh(const std::string& name)
{
    if (cl_SceneAsset* asset = GetAsset())
        asset->SetNavMesh(name);
    cl_Navmesh* navmesh = FindNavmesh(name);
    if (!navmesh)
        LOG_WARNING("The scene '%s' has no navmesh '%s'; the characters have none now.", GetId().c_str(),
                    name.c_str());
    HandOver(navmesh);
}

void cl_Scene::ApplyNavmesh()
{
    if (cl_Navmesh* navmesh = GetNavmesh())
        HandOver(navmesh);
}

void cl_Scene::HandOver(cl_Navmesh* navmesh) const
{
    if (navmesh)
        navmesh->SetRim(m_environmentParameters.navmeshRim);
    if (cl_CharacterManager* characters = Characters())
    {
        characters->SetNavmesh(navmesh);
        characters->SetMovementSettings(m_environmentParameters.type, m_environmentParameters.running);
    }
}

cl_Backdrop* cl_Scene::AddBackdrop(std::unique_ptr<cl_Backdrop> backdrop)
{
    std::unique_ptr<cl_Backdrop>& entry = m_backdrops[backdrop->GetName()];
    if (entry)
    {
        if (entry.get() == m_activeBackdrop)
            m_activeBackdrop = nullptr;
        ForgetPatchesOf(*entry);
    }
    entry = std::move(backdrop);
    return entry.get();
}

cl_Backdrop* cl_Scene::GetBackdrop(const std::string& name) const
{
    const auto found = m_backdrops.find(name);
    return found == m_backdrops.end() ? nullptr : found->second.get();
}

void cl_Scene::ActivateBackdrop(const std::string& name)
{
    cl_Backdrop* backdrop = GetBackdrop(name);
    if (!backdrop || backdrop == m_activeBackdrop)
        return;
    if (m_activatingBackdrop)
    {
        LOG_WARNING("A shot of the backdrop '%s' names the backdrop '%s'; the view stays on '%s'.",
                    GetActiveBackdropName().c_str(), name.c_str(), GetActiveBackdropName().c_str());
        return;
    }
    m_activatingBackdrop = true;
    if (m_activeBackdrop)
        m_activeBackdrop->Deactivate();
    m_activeBackdrop = backdrop;
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->SetCurrentBackdrop(name);
    backdrop->Activate();
    if (cl_Camera* camera = cl_Camera::GetInstance())
        camera->ActivateBackdropShot(name);
    m_activatingBackdrop = false;
}

std::string cl_Scene::GetActiveBackdropName() const
{
    for (const auto& entry : m_backdrops)
    {
        if (entry.second.get() == m_activeBackdrop && m_activeBackdrop)
            return entry.first;
    }
    return "default";
}

void cl_Scene::DestroyBackdrops()
{
    m_patches.clear();
    m_activeBackdrop = nullptr;
    m_backdrops.clear();
}

cl_Patch* cl_Scene::GetPatch(const std::string& name) const
{
    const auto found = m_patches.find(name);
    return found == m_patches.end() ? nullptr : found->second;
}

void cl_Scene::ForgetPatchesOf(const cl_Backdrop& backdrop)
{
    for (const std::unique_ptr<cl_Patch>& patch : backdrop.GetPatches())
    {
        for (auto entry = m_patches.begin(); entry != m_patches.end();)
            entry = entry->second == patch.get() ? m_patches.erase(entry) : std::next(entry);
    }
}

void cl_Scene::DestroyLights()
{
    for (Ogre::Light* light : m_lights)
        m_sceneManager->destroyLight(light);
    m_lights.clear();
}

void cl_Scene::DestroyEntities()
{
    for (std::vector<Ogre::Entity*>* list : {&m_shadowReceivers, &m_clickGeometry, &m_ambientEntities})
    {
        for (Ogre::Entity* entity : *list)
            m_sceneManager->destroyEntity(entity);
        list->clear();
    }
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    for (const std::string& name : m_documentMaterials)
    {
        if (const Ogre::MaterialPtr material = materials.getByName(name, Ogre::RGN_AUTODETECT))
            materials.remove(material);
    }
    m_documentMaterials.clear();
}

bool cl_Scene::SetNode(const std::string& name, Ogre::SceneNode* node)
{
    const auto filed = m_nodes.emplace(name, node);
    filed.first->second = node;
    return !filed.second;
}

void cl_Scene::AddDocumentNode(Ogre::SceneNode* node)
{
    m_documentNodes[node->getName()] = node;
}

Ogre::SceneNode* cl_Scene::FindDocumentNode(const std::string& name) const
{
    const auto found = m_documentNodes.find(name);
    return found == m_documentNodes.end() ? nullptr : found->second;
}

void cl_Scene::DestroyNodes()
{
    m_nodes.clear();
    for (const auto& node : m_documentNodes)
        m_sceneManager->destroySceneNode(node.second);
    m_documentNodes.clear();
    for (const std::string& name : m_documentAnimations)
    {
        if (m_sceneManager->hasAnimation(name))
            m_sceneManager->destroyAnimation(name);
    }
    m_documentAnimations.clear();
}

void cl_Scene::DestroyNode(const std::string& name)
{
    if (name != ROOT_NODE && !name.empty() && m_sceneManager->hasSceneNode(name))
        m_sceneManager->destroySceneNode(name);
}

Ogre::SceneNode* cl_Scene::GetSceneRoot() const
{
    if (!m_sceneManager)
    {
        LOG_ERROR("Cannot retrieve SceneRoot because this scene is not loaded.");
        return nullptr;
    }
    return m_sceneManager->hasSceneNode(ROOT_NODE) ? m_sceneManager->getSceneNode(ROOT_NODE) : nullptr;
}

Ogre::SceneNode* cl_Scene::GetSceneNode(const std::string& name) const
{
    if (!m_sceneManager)
    {
        LOG_ERROR("Cannot retrieve scenenode '%s' because this scene is not loaded.", name.c_str());
        return nullptr;
    }
    if (name == "SceneRoot")
        return GetSceneRoot();
    // OGRE refuses even to look for a node without name.
    return !name.empty() && m_sceneManager->hasSceneNode(name) ? m_sceneManager->getSceneNode(name) : nullptr;
}

Ogre::SceneNode* cl_Scene::FindNode(const std::string& name) const
{
    const auto found = m_nodes.find(name);
    return found == m_nodes.end() ? nullptr : found->second;
}

std::string cl_Scene::FindSpawnPointName(const std::string& location, const std::string& sourceScene) const
{
    const char* const items = "items_";
    if (StartsWith(location, items))
    {
        const std::string name = SPAWN_POINT + location.substr(std::strlen(items));
        if (FindNode(name))
            return name;
    }
    for (const std::string& name : {SPAWN_POINT + sourceScene, std::string("sp_default")})
    {
        if (FindNode(name))
            return name;
    }
    const std::string* first = nullptr;
    for (const auto& node : m_nodes)
    {
        if (StartsWith(node.first, SPAWN_POINT) && (!first || node.first < *first))
            first = &node.first;
    }
    if (!first)
        return std::string();
    LOG_WARNING("No spawnpoint defined for entering the current scene from scene '%s'!", sourceScene.c_str());
    return *first;
}

Ogre::SceneNode* cl_Scene::GetSpawnPointNode(const std::string& location,
                                             const std::string& sourceScene) const
{
    return FindNode(FindSpawnPointName(location, sourceScene));
}

Ogre::SceneNode* cl_Scene::GetTargetNode(const std::string& location, const std::string& sourceScene) const
{
    const std::string spawnPoint = FindSpawnPointName(location, sourceScene);
    return spawnPoint.empty() ? nullptr : FindNode(spawnPoint + "_target");
}

Ogre::SceneNode* cl_Scene::ResolvePosition(const std::string& name) const
{
    const cl_Character* character = FindCharacter(name);
    if (!character)
        return FindNode("op_" + name);
    if (Ogre::SceneNode* location = FindNode(character->GetLocationName()))
        return location;
    if (Ogre::SceneNode* own = FindNode("op_" + name + "_" + character->GetName()))
        return own;
    return FindNode("op_" + name);
}

Ogre::SceneNode* cl_Scene::ResolveTargetPosition(const std::string& name) const
{
    const cl_CharacterManager* characters = Characters();
    if (const cl_Character* character = characters ? characters->GetCharacter(name) : nullptr)
    {
        if (Ogre::SceneNode* target = FindNode(character->GetLocationName() + "_target"))
            return target;
        if (Ogre::SceneNode* own = FindNode("op_" + name + "_target_" + character->GetName()))
            return own;
    }
    return FindNode("op_" + name + "_target");
}

Ogre::Entity* cl_Scene::FindClickObject(const std::string& name) const
{
    for (Ogre::Entity* entity : m_clickGeometry)
    {
        if (entity->getName() == name)
            return entity;
    }
    return nullptr;
}

Ogre::Entity* cl_Scene::FindSceneObject(const std::string& name) const
{
    for (Ogre::Entity* entity : m_ambientEntities)
    {
        if (entity->getName() == name)
            return entity;
    }
    return nullptr;
}

void cl_Scene::ToggleDebugView()
{
    m_debugView = !m_debugView;
    for (Ogre::Entity* entity : m_clickGeometry)
        entity->setVisible(m_debugView);
}

void cl_Scene::VisualizeSceneNode(const std::string& name)
{
    if (!m_sceneManager)
        return;
    if (!m_nodeVisualiser)
    {
        try
        {
            m_nodeVisualiser = m_sceneManager->createEntity(NODE_VISUALISER, "axes.mesh");
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("The axes to show a node cannot be made: %s", exception.getDescription().c_str());
            return;
        }
        m_nodeVisualiser->setRenderQueueGroup(VISUALISER_RENDER_QUEUE);
    }
    if (Ogre::SceneNode* parent = m_nodeVisualiser->getParentSceneNode())
        parent->detachObject(m_nodeVisualiser);
    if (Ogre::SceneNode* node = GetSceneNode(name))
        node->attachObject(m_nodeVisualiser);
}

void cl_Scene::SetShadowsEnabled(int mode)
{
    if (!m_sceneManager || (mode != 0 && mode != 1))
        return;
    m_sceneManager->setShadowTechnique(mode == 0 ? Ogre::SHADOWTYPE_NONE
                                                 : Ogre::SHADOWTYPE_TEXTURE_ADDITIVE_INTEGRATED);
    for (Ogre::Entity* entity : m_shadowReceivers)
        entity->setVisible(mode == 1);
}

void cl_Scene::SpawnSceneObjects()
{
    cl_SceneAsset* asset = GetAsset();
    if (!asset)
        return;
    std::vector<const TiXmlElement*> entries;
    asset->GetSceneObjects(entries);
    for (const auto& item : Placements(entries, "itemref"))
        Timed("Sceneobject", item.first, [&] { AttachItem(item.second, item.first); });
    asset->GetPuppets(entries);
    for (const auto& puppet : Placements(entries, "characterref"))
    {
        Timed("Puppet", puppet.first,
              [&]
              {
                  if (cl_CharacterManager* characters = Characters())
                      characters->AddCharacter(puppet.first, puppet.second);
              });
    }
    asset->GetAtmoObjects(entries);
    std::vector<TiXmlElement> atmoObjects;
    for (const TiXmlElement* entry : entries)
        atmoObjects.push_back(*entry);
    for (const TiXmlElement& atmoObject : atmoObjects)
        SpawnAtmoObject(atmoObject);
}

void cl_Scene::SpawnAtmoObject(const TiXmlElement& atmoObject)
{
    const std::string item = AttributeOrEmpty(atmoObject, "itemref");
    const std::string parentName = AttributeOrEmpty(atmoObject, "parent");
    Ogre::SceneNode* parent = GetSceneNode(parentName);
    if (!parent)
    {
        LOG_WARNING("The scene '%s' has no node '%s' to put the item '%s' under; the item stays out.",
                    GetId().c_str(), parentName.c_str(), item.c_str());
        return;
    }
    const st_ObjectPlacement placement{
        parent,
        Ogre::StringConverter::parseVector3(AttributeOrEmpty(atmoObject, "offset"), Ogre::Vector3::ZERO),
        Ogre::StringConverter::parseQuaternion(AttributeOrEmpty(atmoObject, "rotation"),
                                               Ogre::Quaternion::IDENTITY)};
    cl_ItemManager* items = Items();
    if (!items)
        return;
    items->AddItem(item, placement);
    // Fetched again, which re-places an item known under aliases: the entry's placement wins.
    if (cl_SceneObject* object = items->GetItemObject(item))
        object->SetLocation(placement);
}

void cl_Scene::DespawnSceneObjects()
{
    cl_SceneAsset* asset = GetAsset();
    if (!asset)
        return;
    SavePlacements();
    std::vector<const TiXmlElement*> entries;
    asset->GetSceneObjects(entries);
    for (const auto& item : Placements(entries, "itemref"))
        DetachItem(item.second, item.first);
    asset->GetPuppets(entries);
    cl_CharacterManager* characters = Characters();
    for (const auto& puppet : Placements(entries, "characterref"))
    {
        if (characters)
            characters->RemoveFromScene(puppet.first);
    }
}

void cl_Scene::SavePlacements()
{
    cl_SceneAsset* asset = GetAsset();
    const cl_ItemManager* items = Items();
    if (!asset || !items)
        return;
    asset->RemoveAtmoObjects();
    std::map<std::string, cl_SceneObject*> placed;
    items->CollectFreelyPlacedItems(placed);
    for (const auto& item : placed)
    {
        const Ogre::SceneNode* node = item.second->GetSceneNode();
        const Ogre::SceneNode* parent = node ? node->getParentSceneNode() : nullptr;
        TiXmlElement* atmoObject = parent ? asset->AddAtmoObject(item.first) : nullptr;
        if (!atmoObject)
            continue;
        atmoObject->SetAttribute("parent", parent->getName());
        atmoObject->SetAttribute("offset", Ogre::StringConverter::toString(node->getPosition()));
        atmoObject->SetAttribute("rotation", Ogre::StringConverter::toString(node->getOrientation()));
    }
}

Ogre::SceneNode* cl_Scene::FindClickNode(const std::string& location) const
{
    return FindSceneNode(CLICK_OBJECT_PREFIX + location);
}

Ogre::SceneNode* cl_Scene::FindSceneNode(const std::string& name) const
{
    return m_sceneManager && !name.empty() && m_sceneManager->hasSceneNode(name)
               ? m_sceneManager->getSceneNode(name)
               : nullptr;
}

Ogre::Entity* cl_Scene::FindClickEntity(const std::string& location, const std::string& item) const
{
    const auto listed = m_clickObjects.find(item + location);
    const std::string name = listed != m_clickObjects.end() ? listed->second : "co_" + item;
    return m_sceneManager && !name.empty() && m_sceneManager->hasEntity(name)
               ? m_sceneManager->getEntity(name)
               : nullptr;
}

void cl_Scene::AttachClickObject(const std::string& location, const std::string& item)
{
    Ogre::SceneNode* node = FindClickNode(location);
    Ogre::Entity* entity = FindClickEntity(location, item);
    if (!node || !entity)
        return;
    // Picking reads the item from the click object.
    entity->getUserObjectBindings().setUserAny(Ogre::Any(item));
    // A click object hangs on one node at a time.
    if (Ogre::SceneNode* parent = entity->getParentSceneNode())
        parent->detachObject(entity);
    node->attachObject(entity);
}

void cl_Scene::DetachClickObject(const std::string& location, const std::string& item)
{
    Ogre::SceneNode* node = FindClickNode(location);
    Ogre::Entity* entity = FindClickEntity(location, item);
    if (node && entity && entity->getParentSceneNode() == node)
        node->detachObject(entity);
}

void cl_Scene::ShowPatch(const std::string& item, bool visible) const
{
    cl_Patch* patch = GetPatch(item);
    if (patch && visible)
        patch->Show();
    else if (patch)
        patch->Hide();
}

void cl_Scene::AttachItem(const std::string& location, const std::string& item)
{
    AttachClickObject(location, item);
    ShowPatch(item, true);
    if (cl_ItemManager* items = Items())
        items->AddItem(item, location);
}

void cl_Scene::DetachItem(const std::string& location, const std::string& item)
{
    DetachClickObject(location, item);
    ShowPatch(item, false);
    if (cl_ItemManager* items = Items())
        items->RemoveItemFromScene(item);
}

void cl_Scene::NotifyItemEntered(const TiXmlElement& sceneObject)
{
    AttachItem(AttributeOrEmpty(sceneObject, "locationref"), AttributeOrEmpty(sceneObject, "itemref"));
}

void cl_Scene::NotifyItemLeft(const TiXmlElement& sceneObject)
{
    DetachItem(AttributeOrEmpty(sceneObject, "locationref"), AttributeOrEmpty(sceneObject, "itemref"));
}

void cl_Scene::NotifyCharacterEntered(const TiXmlElement& puppet)
{
    if (cl_CharacterManager* characters = Characters())
        characters->AddCharacter(AttributeOrEmpty(puppet, "characterref"),
                                 AttributeOrEmpty(puppet, "locationref"));
}

void cl_Scene::NotifyCharacterLeft(const TiXmlElement& puppet)
{
    if (cl_CharacterManager* characters = Characters())
        characters->RemoveFromScene(AttributeOrEmpty(puppet, "characterref"));
}

void cl_Scene::NotifySpawn()
{
    SpawnSceneObjects();
}

void cl_Scene::NotifyDespawn()
{
    DespawnSceneObjects();
}

void cl_Scene::NotifySavePlacements()
{
    SavePlacements();
}

void cl_Scene::NotifyItemMoved(const std::string& itemId, const std::string& oldLocation,
                               const std::string& newLocation)
{
    DetachClickObject(oldLocation, itemId);
    AttachClickObject(newLocation, itemId);
    if (cl_ItemManager* items = Items())
        items->PlaceItemAtLocation(itemId, newLocation);
}

void cl_Scene::NotifyCharacterMoved(const std::string& characterId, const std::string&,
                                    const std::string& newLocation)
{
    const cl_CharacterManager* characters = Characters();
    if (cl_Character* character = characters ? characters->GetCharacter(characterId) : nullptr)
    {
        character->SetLocation(newLocation);
        character->SetActive(true);
    }
}
