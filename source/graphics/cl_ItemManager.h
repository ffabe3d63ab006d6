#pragma once

#include "ISingleton.h"
#include "assets/IGameStateListener.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/ITarqdataParser.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ParserRegistration.h"
#include "common/cl_ReceiverRegistration.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class cl_PatchItem;
class cl_SceneObject;
struct st_ObjectPlacement;

namespace Ogre
{
class SceneManager;
} // namespace Ogre

// A built item: its scene object or its patch item, known under its id and its aliases, each marked when
// the item is placed in the scene under that name.
struct cl_ItemEntry
{
    cl_ItemEntry();
    ~cl_ItemEntry();

    std::unique_ptr<cl_SceneObject> sceneItem;
    std::unique_ptr<cl_PatchItem> patchItem;
    bool hasAliases = false;
    std::map<std::string, bool> names;
    // The location the item was last placed at by name; empty when it was placed freely, under a node.
    std::string location;
    // Its objects were destroyed by RemoveItem: a name still listed builds them afresh when addressed.
    bool removed = false;
};

// Owns the items placed in the scenes; parser of the data-file elements `item` and `patchitem`. One object
// may stand for several assets (its id and aliases, at most one of them in the scene): it carries as its
// asset id the name it was last addressed by, and while one of its names is placed, the first such name
// in byte order. Each item's body state is kept in the game state's "itemmanager" element.
class cl_ItemManager : public ISingleton<cl_ItemManager>,
                       public ITarqdataParser,
                       public ICommandReceiver,
                       public IGameStateListener,
                       public IGameTimeListener
{
public:
    // Registers as the receiver "itemmanager" with distributor, which must outlive it.
    explicit cl_ItemManager(cl_CommandDistributor& distributor);
    ~cl_ItemManager() override;

    // Called once in the game set-up, after the character manager's: items are built on sceneManager (not
    // owned; null builds none).
    void Init(Ogre::SceneManager* sceneManager);

    // Keeps a copy of an `item` or `patchitem` definition under its `assetref` and under the text of each
    // child of its `alias` element, replacing an earlier one (an item already built keeps its objects).
    // A definition without `assetref` is ignored.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Deletes the items and definitions that files of that group declared.
    void UnloadGroup(const std::string& group) override;

    // The commands of the receiver "itemmanager" (ItemManagerCommands). Answers whether one was run.
    bool ExecuteCmd(cl_Command& cmd) override;

    void NotifyGameStateCleared() override { m_stateNode = nullptr; }
    void NotifyChapterChanged() override {}
    void NotifyGameStateLoading() override {}
    // Takes the tree's "itemmanager" element (appended when missing); every built item named by one of its
    // children reads that child. Items built later read theirs when built.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // Each name whose item's puppet is active writes the item's body state into its child (one child per
    // name, so an id and its alias write the same). Without a loaded state: logged, nothing written.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

    // Every frame: the alias rule (ResetItemPlacement) for every name, so an object with aliases leaves
    // the scene at the latest in the frame after its last placed name was removed.
    void Update(float dt) override;

    // RemoveItem for every name; the definitions stay.
    void UnloadItems();
    // Every animation an item plays ends (result 1 to whoever waits), while the scene's nodes and patches
    // still exist: the scene is being taken down.
    void StopItemAnimations();

    // Takes a built item (not null) over under its name and the aliases, none of them placed. A name
    // already taken keeps its item (logged) and the new one is deleted. Returns the entry kept under the
    // object's name.
    cl_ItemEntry* AddSceneItem(std::unique_ptr<cl_SceneObject> item,
                               const std::vector<std::string>& aliases = {});
    // The entry of the item built under that id or alias, built from its definition first when needed
    // (logged; also when RemoveItem destroyed its objects under another name); an item of an `item`
    // definition is a scene item, one of a `patchitem` a patch item. A new scene item reads its child of
    // the game state's "itemmanager". An id no pool has an asset for gets a temporary one in the items
    // pool (logged, made once). The asset's visualisation is applied each time. Null when the id has
    // neither item nor definition.
    cl_ItemEntry* LoadItem(const std::string& id);
    // Only for a scene item with aliases: the first placed name becomes its asset id; with none placed it
    // leaves the scene (no parent, the origin, inactive).
    void ResetItemPlacement(cl_ItemEntry& entry);
    // The scene object of the item built under that id, after ResetItemPlacement; null for none. Never
    // builds.
    cl_SceneObject* GetItemObject(const std::string& id);
    // The patch item built under that id; null for none. Never builds.
    cl_PatchItem* GetPatchItem(const std::string& id) const;
    // Places the item (built first when it can be) at the loaded scene's root node, without a scene at the
    // empty placement, and activates it; an item that cannot be built is logged, and nothing happens.
    void AddItem(const std::string& id);
    // The same at the scene node named location.
    void AddItem(const std::string& id, const std::string& location);
    // The same at a placement: under its parent node at its offset and rotation, placed freely.
    void AddItem(const std::string& id, const st_ObjectPlacement& placement);
    // Places an item already built under that id at the named location, and activates it; nothing for
    // an id that has no built item.
    void PlaceItemAtLocation(const std::string& id, const std::string& location);
    // The item is no longer placed under name; a scene item without aliases goes to the empty placement
    // (no parent) and stops.
    void RemoveFromScene(cl_ItemEntry& entry, const std::string& name);
    // RemoveFromScene of the item built under that id; nothing for none.
    void RemoveItemFromScene(const std::string& id);
    // RemoveFromScene under every name.
    void RemoveAllFromScene();
    // Destroys the objects of the item built under that name (they end what they play first) and drops
    // the name; the entry stays under its other names, and goes when no name is left. False for a name
    // without an item.
    bool RemoveItem(const std::string& id);
    // The pick query flags of the item (1 pickable, 0 not): of the OGRE entity named id, and of the
    // scene's click object "co_<id>" or else of the item's scene object.
    void SetItemPickable(const std::string& id, bool pickable);
    // Fills items (emptied first) with the scene objects of the items placed under their id without a
    // location's name, by id.
    void CollectFreelyPlacedItems(std::map<std::string, cl_SceneObject*>& items) const;
    // Builds the items that the item files of a scene's `items` element name: of each `include` with an
    // `itemfile` (read from the game data), the `assetref` of the file's first `item`. Null does nothing;
    // a file that cannot be read is logged and skipped.
    void LoadSceneIncludes(const TiXmlElement* items);

    // Every name (id or alias) with its entry, in byte order; an entry appears once per name.
    const std::map<std::string, cl_ItemEntry*>& GetItems() const { return m_items; }
    // The entry listed under that id or alias, which then carries the id as its asset id; null for none.
    // Never builds.
    cl_ItemEntry* FindItem(const std::string& id);

    // The name of the item's icon material for a use ("inv" the inventory, "mpt" the pointer): the use,
    // "_", the item id and the item's icon tag of the inventory. Made on first request in "CHAPTERDATA",
    // unlit and alpha-blended over the texture "icon_<item id><icon tag>.dds".
    static std::string CreateIconMaterial(const std::string& itemId, const std::string& use);

private:
    cl_ItemEntry* Listed(const std::string& name) const;
    // A new entry built from the definition and listed under its id and aliases; null for none.
    cl_ItemEntry* Build(const std::string& id);
    // The asset of that id (made as a temporary one when no pool has it); its visualisation on the patch
    // item and then the scene item.
    void ApplyVisualisation(cl_ItemEntry& entry, const std::string& id) const;
    // Frees the entry when no name lists it any more.
    void FreeWhenUnlisted(const cl_ItemEntry* entry);

    // Marks the item placed under id at the location (empty: freely) and lets place put its scene object
    // there.
    template <class Place>
    void PlaceUnderId(cl_ItemEntry& entry, const std::string& id, const std::string& location,
                      const Place& place);

    Ogre::SceneManager* m_sceneManager = nullptr;
    std::vector<std::unique_ptr<cl_ItemEntry>> m_entries;
    std::map<std::string, cl_ItemEntry*> m_items;
    std::map<std::string, std::unique_ptr<TiXmlElement>> m_definitions;
    std::map<std::string, std::string> m_groups;
    // The game state's "itemmanager" element; null while no state is loaded.
    TiXmlElement* m_stateNode = nullptr;
    cl_ParserRegistration m_itemParser;
    cl_ParserRegistration m_patchItemParser;
    cl_ReceiverRegistration m_receiver;
    cl_GameTimeRegistration m_frames;
};
