#pragma once

#include "assets/cl_Asset.h"

#include <string>
#include <vector>

class ISceneStateListener;
class TiXmlElement;

// A location of the game. Its `scene` element of the game state (found by "idref"; BindState never
// creates one) records which items (`sceneobject`: itemref, locationref) and characters (`puppet`:
// characterref, locationref) stand where, its atmosphere items (`atmoobject`: itemref) and its navigation
// mesh (`navmesh`: navmeshref). The loaded runtime of the scene listens and is told of every change.
// Without a bound state element the writers do nothing, tell nobody, and the readers give nothing.
class cl_SceneAsset : public cl_Asset
{
public:
    std::string GetType() const override;
    // Saves the logic, then tells the listeners to write back their objects' placement
    // (NotifySavePlacements).
    void SaveState(cl_GameState* gameState) override;
    // Tells the listeners Despawn, looks up the scene's state element (null game state: unbinds), binds
    // the logic, then tells the listeners Spawn.
    void BindState(cl_GameState* gameState) override;

    // The "parentScene" of the pool file; empty when absent.
    const std::string& GetParentScene() const { return m_parentScene; }
    void SetParentScene(const std::string& sceneId) { m_parentScene = sceneId; }

    // Listeners are not owned and are told in the order they were added; one removed while others are
    // being told is not told any more. Remove takes out every entry of the listener.
    void AddSceneStateListener(ISceneStateListener* listener);
    void RemoveSceneStateListener(ISceneStateListener* listener);

    // Replace the content of the list with the state's elements of that kind, in document order. The
    // elements belong to the game state.
    void GetSceneObjects(std::vector<const TiXmlElement*>& sceneObjects) const;
    void GetPuppets(std::vector<const TiXmlElement*>& puppets) const;
    void GetAtmoObjects(std::vector<const TiXmlElement*>& atmoObjects) const;

    // Moves the item's `sceneobject` to the location (NotifyItemMoved), or appends one (NotifyItemEntered).
    void AddSceneObject(const std::string& itemId, const std::string& locationId);
    // The same for a character's `puppet` (NotifyCharacterMoved, NotifyCharacterEntered); notify false
    // tells nobody.
    void AddPuppet(const std::string& characterId, const std::string& locationId, bool notify = true);
    // Removes the item's first `sceneobject` and tells the listeners with a copy (NotifyItemLeft); nothing
    // when the item is not in the scene.
    void RemoveSceneObject(const std::string& itemId);
    // The same for a character's `puppet` (NotifyCharacterLeft); notify false tells nobody.
    void RemovePuppet(const std::string& characterId, bool notify = true);
    // The location of the item's first `sceneobject`, else of the character's first `puppet`, else empty.
    std::string FindObjectLocation(const std::string& id) const;

    // Appends an `atmoobject` for the item unless it has one; nobody is told. Gives the item's element
    // (belonging to the game state) for the placement's attributes; null without a bound state element.
    TiXmlElement* AddAtmoObject(const std::string& itemId);
    // Removes every `atmoobject`; nobody is told.
    void RemoveAtmoObjects();
    // Writes "navmeshref" of the first `navmesh`, appending one when there is none.
    void SetNavMesh(const std::string& navMeshId);
    // The "navmeshref" of the first `navmesh`; empty when there is none.
    std::string GetNavMesh() const;

private:
    // What differs between items and characters placed in the scene.
    struct Placement;
    static const Placement SCENE_OBJECT;
    static const Placement PUPPET;

    void GetChildren(const char* name, std::vector<const TiXmlElement*>& children) const;
    void Place(const Placement& kind, const std::string& id, const std::string& locationId, bool notify);
    void Remove(const Placement& kind, const std::string& id, bool notify);
    template <class Notify> void TellListeners(const Notify& notify);

    std::string m_parentScene;
    TiXmlElement* m_state = nullptr;
    std::vector<ISceneStateListener*> m_listeners;
};
