#pragma once

#include "assets/ISceneStateListener.h"
#include "graphics/EnvironmentType.h"
#include "graphics/HotSpot.h"
#include "graphics/ObjectLocation.h"
#include "graphics/cl_Navmesh.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace Ogre
{
class Camera;
class Entity;
class Light;
class RaySceneQuery;
class SceneManager;
class SceneNode;
class WireBoundingBox;
} // namespace Ogre

class TiXmlElement;
class cl_Backdrop;
class cl_ItemAsset;
class cl_Patch;
class cl_SceneAsset;

// One walkable ground of a scene: the navigation mesh built from a mesh file with its placement.
struct SceneEnvironment
{
    std::string name;
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;
    std::unique_ptr<cl_Navmesh> navmesh;
};

// How a scene's characters move, from its `environment` element; the scene loader writes them before it
// builds the environments, which read the surface.
struct SceneEnvironmentParameters
{
    EnvironmentType type = ENVIRONMENT_OPEN;
    float navmeshRim = 0.0f;
    float running = 1.0f;
    int surface = 0;
};

// One entity a ray meets: how far along the ray, the point there, and the entity.
struct EntityHit
{
    float distance = 0.0f;
    Ogre::Vector3 point = Ogre::Vector3::ZERO;
    Ogre::Entity* entity = nullptr;
};
using EntityHits = std::vector<EntityHit>;

// The runtime of one location, made from a copy of its `scene` element. The scene loader fills it when it
// becomes the current scene (OGRE scene manager and camera, environments, backdrops, the location's
// entities, lights and named nodes) and empties it when it is left. While loaded it mirrors its scene
// asset's state: the items and characters the state places in the scene are spawned into it, and later
// edits of the state reach it as an ISceneStateListener.
//
// The queries are virtual so that tests can stand in for a scene.
class cl_Scene : public ISceneStateListener
{
public:
    // The query flags of the location's geometry.
    static constexpr uint32_t QUERY_CLICK_OBJECT = 1;
    static constexpr uint32_t QUERY_WALKABLE = 4;
    static constexpr uint32_t QUERY_AMBIENT = 8;

    // Keeps a copy of definition; its `assetref` names the scene's asset in the scenes pool.
    explicit cl_Scene(const TiXmlElement& definition);
    // Does not unload: the scene's loader unloads it first.
    ~cl_Scene() override;
    cl_Scene(const cl_Scene&) = delete;
    cl_Scene& operator=(const cl_Scene&) = delete;

    const TiXmlElement& GetDefinition() const { return *m_definition; }
    // Replaces the scene's element by a copy of definition (a reload with changed data).
    void SetDefinition(const TiXmlElement& definition);
    // The scene asset the definition names, looked up in the pool manager's scenes pool once and kept
    // until the next activation; null when there is none.
    cl_SceneAsset* GetAsset() const;
    // The definition's `assetref`.
    std::string GetId() const;

    // Whether the scene is shown through a backdrop (one is active); only then is anything picked under
    // the mouse.
    virtual bool HasBackdrop() const { return m_activeBackdrop != nullptr; }

    // Picking. Points are x, y from 0 to 1 across the viewport (left to right, top to bottom); rays run
    // from the scene camera through them. Nothing is hit while the scene is not loaded.
    // The nearest triangle hit among the entities whose query flags share a bit with mask. True on a hit,
    // whose world position goes to position (else it is left alone).
    virtual bool RayQuery(float x, float y, uint32_t mask, Ogre::Vector3& position) const;
    // Refills hits with every click object or walkable entity (query flags 3) the ray meets on a
    // triangle of its mesh, from either side, nearest first (equal distances in the query's order), and
    // answers their number.
    size_t RayQueryEntities(float x, float y, EntityHits& hits) const;
    // The interactive item or character at the point: the nearest hit whose asset (items first, then
    // characters) allows interaction; a nearer one that does not is passed over. Null for none. Also
    // sets the in-game menu's leave pointer for an armed exit's border, on every call.
    virtual cl_ItemAsset* PickItem(float x, float y) const;
    // The exit border: the left, right and top 5 percent of the viewport, never the bottom 5 percent.
    static bool IsInViewportMargin(float x, float y);
    // When the exit is armed and the point lies in the border, asks the scene manager to change to the
    // exit's scene and takes the click (true).
    virtual bool HandleExitClick(float x, float y);
    // Refills hotSpots with the screen places of the state's interactive items, then characters, for the
    // in-game menu's markers. One whose place cannot be found is skipped with a warning.
    virtual void GetHotSpots(HotSpots& hotSpots) const;
    // Refills locations with the state's interactive characters, then items: their scene objects, else
    // the nodes of their locations; one with neither is left out.
    void GetObjectLocations(ObjectLocations& locations) const;
    // The screen position of a world point through the scene camera: from 0 to 1 as above with normalise,
    // else from -1 to 1 (y up). Always true, also for a point behind the camera, whose place is then
    // mirrored: callers that care test the side themselves.
    bool WorldToScreen(const Ogre::Vector3& world, bool normalise, Ogre::Vector2& screen) const;
    // In the debug view, a wire box around the entity; null hides it. Out of it, the box is deleted.
    void ShowPickBox(Ogre::Entity* entity) const;

    // Loading and unloading, by the scene loader.
    // Builds the items of the definition's `preload` (its `patchitem` ids) and reads the character and
    // item files its `characters` and `items` name; once per scene.
    void Preload();
    bool IsPreloaded() const { return m_preloaded; }
    // The next activation preloads again (the data files were read anew).
    void ClearPreloaded() { m_preloaded = false; }
    // Called once the location is built: preloads, listens to the asset (listed once), spawns what its
    // state places here, and makes the state's navmesh current (the first environment by name when the
    // state names none).
    void Activate();
    // Deletes the environments (the characters get no navmesh), despawns, stops listening, and removes
    // the node visualiser.
    void Deactivate();
    // The OGRE scene manager and camera the location is built in; a null scene manager: not loaded.
    void SetSceneManager(Ogre::SceneManager* sceneManager) { m_sceneManager = sceneManager; }
    Ogre::SceneManager* GetSceneManager() const { return m_sceneManager; }
    void SetCamera(Ogre::Camera* camera) { m_camera = camera; }
    Ogre::Camera* GetCamera() const { return m_camera; }

    // The values the loader reads from the definition.
    void SetOverlay(bool overlay) { m_overlay = overlay; }
    bool IsOverlay() const { return m_overlay; }
    // An armed exit: a click in the screen's border goes to the target scene.
    void SetExitArmed(bool armed) { m_exitArmed = armed; }
    bool IsExitArmed() const { return m_exitArmed; }
    void SetExitTarget(const std::string& sceneId) { m_exitTarget = sceneId; }
    const std::string& GetExitTarget() const { return m_exitTarget; }
    SceneEnvironmentParameters& GetEnvironmentParameters() { return m_environmentParameters; }
    const SceneEnvironmentParameters& GetEnvironmentParameters() const { return m_environmentParameters; }
    // The click-object table: the entity name of the click object of an item at a location, keyed by the
    // item id followed by the location name.
    void SetClickObject(const std::string& key, const std::string& entityName)
    {
        m_clickObjects[key] = entityName;
    }
    void ClearClickObjects() { m_clickObjects.clear(); }
    const std::map<std::string, std::string>& GetClickObjects() const { return m_clickObjects; }

    // Navigation.
    // Builds the environment's navmesh from the mesh of that name, placed by the transform, with the
    // environment parameters' surface as default surface; an environment of that name before is deleted.
    // Call before the scene is activated, which hands the characters their navmesh.
    void AddEnvironment(const std::string& name, const Ogre::Vector3& position, const Ogre::Vector3& scale,
                        const Ogre::Quaternion& orientation);
    const std::map<std::string, SceneEnvironment>& GetEnvironments() const { return m_environments; }
    // The navmesh of the environment of that name; null for none.
    cl_Navmesh* FindNavmesh(const std::string& name) const;
    // The navmesh name the scene state records; empty when it records none.
    std::string GetNavmeshName() const;
    // The navmesh of the environment the scene state names; null when there is none.
    cl_Navmesh* GetNavmesh() const;
    // Records the name in the scene state and makes that environment's navmesh the characters' with the
    // scene's rim. A name that is no environment is logged, and the characters get no navmesh.
    void SetNavmesh(const std::string& name);
    // Hands the characters the navmesh GetNavmesh gives, with the scene's rim; nothing when there is none.
    void ApplyNavmesh();

    // Backdrops.
    // Takes the backdrop over under its name. A backdrop of that name held before is destroyed (and is no
    // longer the active one). Gives the backdrop back.
    cl_Backdrop* AddBackdrop(std::unique_ptr<cl_Backdrop> backdrop);
    // The backdrop of that name, or null.
    cl_Backdrop* GetBackdrop(const std::string& name) const;
    const std::map<std::string, std::unique_ptr<cl_Backdrop>>& GetBackdrops() const { return m_backdrops; }
    // Makes the named backdrop the active one: the old one is deactivated, the game state records the
    // name, the new one is activated and the camera shows its first shot. A name that is not a backdrop,
    // or the active one's, changes nothing. While a backdrop is being made active, a shot of it that
    // names yet another backdrop changes nothing either (logged), so that two backdrops whose first shots
    // name each other cannot call each other for ever.
    void ActivateBackdrop(const std::string& name);
    // Null when none is active.
    cl_Backdrop* GetActiveBackdrop() const { return m_activeBackdrop; }
    // The active backdrop's name; "default" when none is active.
    std::string GetActiveBackdropName() const;
    // Deletes every backdrop, and with them their patches: the patch table is emptied too.
    void DestroyBackdrops();
    // Files the patch (owned by one of the scene's backdrops) under id; an id taken before is replaced.
    void AddPatch(const std::string& id, cl_Patch* patch) { m_patches[id] = patch; }
    // The patch filed under the name, or null.
    cl_Patch* GetPatch(const std::string& name) const;

    // What the scene document builds, all in the OGRE scene manager; the scene forgets or destroys it.
    void AddShadowReceiver(Ogre::Entity* entity) { m_shadowReceivers.push_back(entity); }
    void AddClickGeometry(Ogre::Entity* entity) { m_clickGeometry.push_back(entity); }
    void AddAmbientEntity(Ogre::Entity* entity) { m_ambientEntities.push_back(entity); }
    void AddLight(Ogre::Light* light) { m_lights.push_back(light); }
    const std::vector<Ogre::Entity*>& GetShadowReceivers() const { return m_shadowReceivers; }
    const std::vector<Ogre::Entity*>& GetClickGeometry() const { return m_clickGeometry; }
    const std::vector<Ogre::Entity*>& GetAmbientEntities() const { return m_ambientEntities; }
    const std::vector<Ogre::Light*>& GetLights() const { return m_lights; }
    // The node table: helpers and the placement nodes of click geometry, by name. A name filed again
    // takes the new node; true when the name held a node before.
    bool SetNode(const std::string& name, Ogre::SceneNode* node);
    const std::unordered_map<std::string, Ogre::SceneNode*>& GetNodes() const { return m_nodes; }
    // The nodes, node animations and materials the scene document created, destroyed with the location.
    void AddDocumentNode(Ogre::SceneNode* node);
    // The document's node of that name, or null.
    Ogre::SceneNode* FindDocumentNode(const std::string& name) const;
    void AddDocumentAnimation(const std::string& name) { m_documentAnimations.push_back(name); }
    void AddDocumentMaterial(const std::string& name) { m_documentMaterials.push_back(name); }
    // Destroy through the OGRE scene manager and empty their lists: the lights; the entities of the
    // three lists, then the document's materials; the document's nodes (the node table is emptied: nodes
    // it found made before stay) and animations.
    void DestroyLights();
    void DestroyEntities();
    void DestroyNodes();
    // Destroys the node of that name when there is one; the location's node "_game" stays.
    void DestroyNode(const std::string& name);

    // Nodes and positions.
    // The location's node "_game"; null, with an error, while the scene is not loaded.
    Ogre::SceneNode* GetSceneRoot() const;
    // The node of that name ("SceneRoot" is the location's node "_game"); null when OGRE has none, and
    // with an error while the scene is not loaded.
    Ogre::SceneNode* GetSceneNode(const std::string& name) const;
    // Where a character entering from sourceScene is placed: for a location "items_<x>" the node "sp_<x>",
    // else "sp_<sourceScene>", else "sp_default", else the first "sp_" node by name (with a warning);
    // null when there is no "sp_" node. All from the node table.
    Ogre::SceneNode* GetSpawnPointNode(const std::string& location, const std::string& sourceScene) const;
    // The node named as the spawn point followed by "_target"; null without either.
    Ogre::SceneNode* GetTargetNode(const std::string& location, const std::string& sourceScene) const;
    // Where the character or object of that name stands ("" and "avatar": the current character): a
    // character's current location, else "op_<name>_<character>", else "op_<name>"; null for none.
    Ogre::SceneNode* ResolvePosition(const std::string& name) const;
    // Where it faces: "<location>_target" of a character's current location, else
    // "op_<name>_target_<character>", else "op_<name>_target"; null for none.
    Ogre::SceneNode* ResolveTargetPosition(const std::string& name) const;
    // The first click-geometry entity of exactly that name ("co_" + the object's name), or null.
    Ogre::Entity* FindClickObject(const std::string& name) const;
    // The first ambient entity of exactly that name, or null.
    Ogre::Entity* FindSceneObject(const std::string& name) const;

    // Debug views and shadows.
    // Flips the debug view: click geometry is shown while it is on.
    void ToggleDebugView();
    bool IsDebugView() const { return m_debugView; }
    // Shows the axes ("axes.mesh") at the node GetSceneNode gives for the name; made on first use.
    void VisualizeSceneNode(const std::string& name);
    // 0: no shadows, shadow receivers hidden; 1: texture shadows (additive, integrated), receivers shown.
    // Other modes change nothing.
    void SetShadowsEnabled(int mode);

    // The scene state, mirrored.
    // Places the state's items (AttachItem), characters and atmosphere items, each timed in the log.
    void SpawnSceneObjects();
    // Writes the placements back (SavePlacements), then takes the state's items and characters out.
    void DespawnSceneObjects();
    // Replaces the state's `atmoobject` entries by the items placed freely under a node, with the node's
    // name as `parent` and their offset and rotation.
    void SavePlacements();
    // Hangs the click object of the item at the location on the location's click node, shows the patch
    // of the item's id, and places the item there.
    void AttachItem(const std::string& location, const std::string& item);
    // Reverses AttachItem.
    void DetachItem(const std::string& location, const std::string& item);

    void NotifyItemEntered(const TiXmlElement& sceneObject) override;
    void NotifyItemLeft(const TiXmlElement& sceneObject) override;
    void NotifyCharacterEntered(const TiXmlElement& puppet) override;
    void NotifyCharacterLeft(const TiXmlElement& puppet) override;
    void NotifySpawn() override;
    void NotifyDespawn() override;
    void NotifySavePlacements() override;
    void NotifyItemMoved(const std::string& itemId, const std::string& oldLocation,
                         const std::string& newLocation) override;
    void NotifyCharacterMoved(const std::string& characterId, const std::string& oldLocation,
                              const std::string& newLocation) override;

private:
    // Takes the backdrop's patches out of the patch table.
    void ForgetPatchesOf(const cl_Backdrop& backdrop);
    // The node table's node of that name, or null.
    Ogre::SceneNode* FindNode(const std::string& name) const;
    // The spawn point's name; empty for none.
    std::string FindSpawnPointName(const std::string& location, const std::string& sourceScene) const;
    // Gives the characters the navmesh (may be null) with the scene's rim.
    void HandOver(cl_Navmesh* navmesh) const;
    // The click object of the item at the location on, respectively off, the location's click node.
    void AttachClickObject(const std::string& location, const std::string& item);
    void DetachClickObject(const std::string& location, const std::string& item);
    // The click node and click object of the item at the location; null when OGRE has none.
    Ogre::SceneNode* FindClickNode(const std::string& location) const;
    // The OGRE scene manager's node of that name; null for none and while the scene is not loaded.
    Ogre::SceneNode* FindSceneNode(const std::string& name) const;
    Ogre::Entity* FindClickEntity(const std::string& location, const std::string& item) const;
    void SpawnAtmoObject(const TiXmlElement& atmoObject);
    void ShowPatch(const std::string& item, bool visible) const;
    // The ray query set up for the point: made on first use, later given the new ray; null while the
    // scene is not loaded.
    Ogre::RaySceneQuery* PrepareRayQuery(float x, float y, uint32_t mask) const;
    // Destroys the ray query and the pick box.
    void ForgetPicking();

    std::unique_ptr<TiXmlElement> m_definition;
    bool m_overlay = false;
    bool m_preloaded = false;
    mutable cl_SceneAsset* m_asset = nullptr;
    mutable bool m_assetResolved = false;
    std::map<std::string, SceneEnvironment> m_environments;
    std::map<std::string, std::unique_ptr<cl_Backdrop>> m_backdrops;
    cl_Backdrop* m_activeBackdrop = nullptr;
    bool m_activatingBackdrop = false;
    Ogre::Camera* m_camera = nullptr;
    Ogre::SceneManager* m_sceneManager = nullptr;
    std::vector<Ogre::Entity*> m_shadowReceivers;
    std::vector<Ogre::Entity*> m_clickGeometry;
    std::vector<Ogre::Entity*> m_ambientEntities;
    std::vector<Ogre::Light*> m_lights;
    bool m_debugView = false;
    Ogre::Entity* m_nodeVisualiser = nullptr;
    std::map<std::string, std::string> m_clickObjects;
    std::map<std::string, cl_Patch*> m_patches;
    std::unordered_map<std::string, Ogre::SceneNode*> m_nodes;
    std::unordered_map<std::string, Ogre::SceneNode*> m_documentNodes;
    std::vector<std::string> m_documentAnimations;
    std::vector<std::string> m_documentMaterials;
    SceneEnvironmentParameters m_environmentParameters;
    bool m_exitArmed = false;
    std::string m_exitTarget;
    // The one ray query of the picks, made on first use and destroyed when the scene is deactivated, and
    // the working space of the picks, kept between frames.
    mutable Ogre::RaySceneQuery* m_rayQuery = nullptr;
    mutable EntityHits m_pickHits;
    mutable std::vector<Ogre::Vector3> m_pickVertices;
    mutable std::vector<uint32_t> m_pickIndices;
    mutable std::unique_ptr<Ogre::WireBoundingBox> m_pickBox;
};
