#pragma once

#include "graphics/HotSpot.h"
#include "graphics/cl_Navmesh.h"

#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

namespace Ogre
{
class SceneManager;
class SceneNode;
} // namespace Ogre

class cl_Backdrop;
class cl_ItemAsset;
class cl_Patch;
class cl_SceneAsset;

// The runtime of the loaded scene, owned by the scene manager: what the player sees of its scene asset.
//
// So far the location's backdrops with their patches and named nodes, and what the application's input
// routing asks of it; there is nothing to hit yet: picks find nothing, rays hit nothing and no exit takes
// a click. The queries are virtual so that the scene subsystem, and tests, can stand in.
class cl_Scene
{
public:
    // The query mask of the walkable ground.
    static constexpr uint32_t QUERY_WALKABLE = 4;

    // asset: the scene's asset, not owned, may be null; it must outlive the scene (a chapter unloads its
    // scene before its pools go).
    cl_Scene(cl_SceneAsset* asset, bool hasBackdrop);
    virtual ~cl_Scene();
    cl_Scene(const cl_Scene&) = delete;
    cl_Scene& operator=(const cl_Scene&) = delete;

    cl_SceneAsset* GetAsset() const { return m_asset; }
    // Whether the scene is shown through a backdrop; only then is anything picked under the mouse.
    bool HasBackdrop() const { return m_hasBackdrop; }

    // The interactive item or character at the point (x, y from 0 to 1 across the viewport): the first hit
    // of a ray through it whose asset allows interaction. Null for none.
    virtual cl_ItemAsset* PickItem(float x, float y) const;
    // Casts a ray from the scene camera through the point against the objects whose query flags share a
    // bit with mask. True on a hit, whose world position goes to position (else it is left alone).
    virtual bool RayQuery(float x, float y, uint32_t mask, Ogre::Vector3& position) const;
    // When an exit is armed and the point lies within its margin, requests the change to the exit's scene
    // and takes the click (true).
    virtual bool HandleExitClick(float x, float y);
    // Refills hotSpots with the screen places of the scene's usable items and characters, for the in-game
    // menu's markers; none yet.
    virtual void GetHotSpots(HotSpots& hotSpots) const;

    // Makes the named navigation mesh current; the characters walk on it.
    void SetNavmesh(const std::string& name) { m_navmesh = name; }
    const std::string& GetNavmeshName() const { return m_navmesh; }
    // The scene's navmesh of that name, made when missing; FindNavmesh gives null for an unknown name.
    cl_Navmesh& AddNavmesh(const std::string& name);
    cl_Navmesh* FindNavmesh(const std::string& name) const;

    // The OGRE scene manager the location is built in; null while the scene is not loaded.
    void SetSceneManager(Ogre::SceneManager* sceneManager) { m_sceneManager = sceneManager; }
    Ogre::SceneManager* GetSceneManager() const { return m_sceneManager; }
    // The location's node "_game"; null, with an error, while the scene is not loaded.
    Ogre::SceneNode* GetSceneRoot() const;
    // The node of that name ("SceneRoot" is the location's node "_game"); null when OGRE has none, and
    // with an error while the scene is not loaded.
    Ogre::SceneNode* GetSceneNode(const std::string& name) const;

    // Takes the backdrop over under its name. A backdrop of that name held before is destroyed (and is no
    // longer the active one). Gives the backdrop back.
    cl_Backdrop* AddBackdrop(std::unique_ptr<cl_Backdrop> backdrop);
    // The backdrop of that name, or null.
    cl_Backdrop* GetBackdrop(const std::string& name) const;
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

private:
    // Takes the backdrop's patches out of the patch table.
    void ForgetPatchesOf(const cl_Backdrop& backdrop);

    cl_SceneAsset* m_asset;
    bool m_hasBackdrop;
    std::string m_navmesh;
    std::map<std::string, std::unique_ptr<cl_Navmesh>> m_navmeshes;
    Ogre::SceneManager* m_sceneManager = nullptr;
    std::map<std::string, std::unique_ptr<cl_Backdrop>> m_backdrops;
    cl_Backdrop* m_activeBackdrop = nullptr;
    bool m_activatingBackdrop = false;
    std::map<std::string, cl_Patch*> m_patches;
};
