#include "assets/cl_SceneAsset.h"

#include "assets/ISceneStateListener.h"
#include "assets/cl_GameState.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

#include <algorithm>
#include <memory>

struct cl_SceneAsset::Placement
{
    const char* element;
    const char* idAttribute;
    void (ISceneStateListener::*entered)(const TiXmlElement&);
    void (ISceneStateListener::*left)(const TiXmlElement&);
    void (ISceneStateListener::*moved)(const std::string&, const std::string&, const std::string&);
};

const cl_SceneAsset::Placement cl_SceneAsset::SCENE_OBJECT{
    "sceneobject", "itemref", &ISceneStateListener::NotifyItemEntered, &ISceneStateListener::NotifyItemLeft,
    &ISceneStateListener::NotifyItemMoved};
const cl_SceneAsset::Placement cl_SceneAsset::PUPPET{
    "puppet", "characterref", &ISceneStateListener::NotifyCharacterEntered,
    &ISceneStateListener::NotifyCharacterLeft, &ISceneStateListener::NotifyCharacterMoved};

namespace
{
const char* const ATMO_OBJECT = "atmoobject";
const char* const NAV_MESH = "navmesh";
const char* const LOCATION = "locationref";
} // namespace

template <class Notify> void cl_SceneAsset::TellListeners(const Notify& notify)
{
    const std::vector<ISceneStateListener*> listeners = m_listeners;
    for (ISceneStateListener* listener : listeners)
    {
        if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
            notify(*listener);
    }
}

std::string cl_SceneAsset::GetType() const
{
    return "scene";
}

void cl_SceneAsset::SaveState(cl_GameState* gameState)
{
    cl_Asset::SaveState(gameState);
    TellListeners([](ISceneStateListener& listener) { listener.NotifySavePlacements(); });
}

void cl_SceneAsset::BindState(cl_GameState* gameState)
{
    TellListeners([](ISceneStateListener& listener) { listener.NotifyDespawn(); });
    m_state = gameState ? gameState->GetSceneState(GetId()) : nullptr;
    cl_Asset::BindState(gameState);
    TellListeners([](ISceneStateListener& listener) { listener.NotifySpawn(); });
}

void cl_SceneAsset::AddSceneStateListener(ISceneStateListener* listener)
{
    m_listeners.push_back(listener);
}

void cl_SceneAsset::RemoveSceneStateListener(ISceneStateListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void cl_SceneAsset::GetSceneObjects(std::vector<const TiXmlElement*>& sceneObjects) const
{
    GetChildren(SCENE_OBJECT.element, sceneObjects);
}

void cl_SceneAsset::GetPuppets(std::vector<const TiXmlElement*>& puppets) const
{
    GetChildren(PUPPET.element, puppets);
}

void cl_SceneAsset::GetAtmoObjects(std::vector<const TiXmlElement*>& atmoObjects) const
{
    GetChildren(ATMO_OBJECT, atmoObjects);
}

void cl_SceneAsset::AddSceneObject(const std::string& itemId, const std::string& locationId)
{
    Place(SCENE_OBJECT, itemId, locationId, true);
}

void cl_SceneAsset::AddPuppet(const std::string& characterId, const std::string& locationId, bool notify)
{
    Place(PUPPET, characterId, locationId, notify);
}

void cl_SceneAsset::RemoveSceneObject(const std::string& itemId)
{
    Remove(SCENE_OBJECT, itemId, true);
}

void cl_SceneAsset::RemovePuppet(const std::string& characterId, bool notify)
{
    Remove(PUPPET, characterId, notify);
}

std::string cl_SceneAsset::FindObjectLocation(const std::string& id) const
{
    if (!m_state)
        return std::string();
    for (const Placement* kind : {&SCENE_OBJECT, &PUPPET})
    {
        if (const TiXmlElement* placed =
                FindChildWithAttribute(*m_state, kind->element, kind->idAttribute, id))
            return AttributeOrEmpty(*placed, LOCATION);
    }
    return std::string();
}

TiXmlElement* cl_SceneAsset::AddAtmoObject(const std::string& itemId)
{
    if (!m_state)
        return nullptr;
    if (TiXmlElement* kept = FindChildWithAttribute(*m_state, ATMO_OBJECT, "itemref", itemId))
        return kept;
    TiXmlElement* atmoObject = AppendChild(*m_state, ATMO_OBJECT);
    atmoObject->SetAttribute("itemref", itemId);
    return atmoObject;
}

void cl_SceneAsset::RemoveAtmoObjects()
{
    if (!m_state)
        return;
    while (TiXmlElement* atmoObject = m_state->FirstChildElement(ATMO_OBJECT))
        m_state->RemoveChild(atmoObject);
}

void cl_SceneAsset::SetNavMesh(const std::string& navMeshId)
{
    if (!m_state)
        return;
    TiXmlElement* navMesh = m_state->FirstChildElement(NAV_MESH);
    if (!navMesh)
        navMesh = AppendChild(*m_state, NAV_MESH);
    navMesh->SetAttribute("navmeshref", navMeshId);
}

std::string cl_SceneAsset::GetNavMesh() const
{
    const TiXmlElement* navMesh = m_state ? m_state->FirstChildElement(NAV_MESH) : nullptr;
    return navMesh ? AttributeOrEmpty(*navMesh, "navmeshref") : std::string();
}

void cl_SceneAsset::GetChildren(const char* name, std::vector<const TiXmlElement*>& children) const
{
    children.clear();
    for (const TiXmlElement* child = m_state ? m_state->FirstChildElement(name) : nullptr; child;
         child = child->NextSiblingElement(name))
        children.push_back(child);
}

void cl_SceneAsset::Place(const Placement& kind, const std::string& id, const std::string& locationId,
                          bool notify)
{
    if (!m_state)
        return;
    if (TiXmlElement* placed = FindChildWithAttribute(*m_state, kind.element, kind.idAttribute, id))
    {
        const std::string oldLocation = AttributeOrEmpty(*placed, LOCATION);
        placed->SetAttribute(LOCATION, locationId);
        if (notify)
            TellListeners([&](ISceneStateListener& listener)
                          { (listener.*kind.moved)(id, oldLocation, locationId); });
        return;
    }
    TiXmlElement* placed = AppendChild(*m_state, kind.element);
    placed->SetAttribute(kind.idAttribute, id);
    placed->SetAttribute(LOCATION, locationId);
    if (notify)
        TellListeners([&](ISceneStateListener& listener) { (listener.*kind.entered)(*placed); });
}

void cl_SceneAsset::Remove(const Placement& kind, const std::string& id, bool notify)
{
    TiXmlElement* placed =
        m_state ? FindChildWithAttribute(*m_state, kind.element, kind.idAttribute, id) : nullptr;
    if (!placed)
        return;
    // The listeners get a copy: the element itself is deleted with its removal.
    const TiXmlElement copy(*placed);
    m_state->RemoveChild(placed);
    if (notify)
        TellListeners([&](ISceneStateListener& listener) { (listener.*kind.left)(copy); });
}
