#pragma once

#include "graphics/HotSpot.h"
#include "graphics/cl_Navmesh.h"

#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

class cl_ItemAsset;
class cl_SceneAsset;

// The runtime of the loaded scene, owned by the scene manager: what the player sees of its scene asset.
//
// So far only what the application's input routing asks of it, and there is nothing to hit yet: picks find
// nothing, rays hit nothing and no exit takes a click. The queries are virtual so that the scene subsystem,
// and tests, can stand in.
class cl_Scene
{
public:
    // The query mask of the walkable ground.
    static constexpr uint32_t QUERY_WALKABLE = 4;

    // asset: the scene's asset, not owned, may be null; it must outlive the scene (a chapter unloads its
    // scene before its pools go).
    cl_Scene(cl_SceneAsset* asset, bool hasBackdrop);
    virtual ~cl_Scene() = default;
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

private:
    cl_SceneAsset* m_asset;
    bool m_hasBackdrop;
    std::string m_navmesh;
    std::map<std::string, std::unique_ptr<cl_Navmesh>> m_navmeshes;
};
