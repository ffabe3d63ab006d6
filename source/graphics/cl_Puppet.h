#pragma once

#include "common/IGameTimeListener.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class IPuppetAnimationEventListener;
class TiXmlElement;
class cl_GameTimeRegistration;

namespace Ogre
{
class Entity;
class MovableObject;
class Node;
class SceneManager;
class SceneNode;
} // namespace Ogre

// A submesh of a puppet: an entity on a node of its own below the puppet's node.
struct st_SubMesh
{
    Ogre::Entity* entity = nullptr;
    Ogre::SceneNode* node = nullptr;
    // The asset a pick on this submesh stands for; "parent" means the puppet's owner.
    std::string assetRef = "parent";
};

// A slave object of a puppet: an entity on a free node of its own, placed by animations or tag points.
struct st_SlaveObject
{
    Ogre::Entity* entity = nullptr;
    Ogre::SceneNode* node = nullptr;
    std::string assetRef = "parent";
};

// The visible body of a scene object: a scene node of its own ("puppet0", "puppet1"...) with named
// submeshes below it (the first one's skeleton is the puppet's) and named slave objects (further entities,
// such as a held prop, each on a free node). It tells listeners of the events its animations fire.
class cl_Puppet : public IGameTimeListener
{
public:
    // Creates the puppet's scene node, attached nowhere: the owner places it.
    explicit cl_Puppet(Ogre::SceneManager& sceneManager);
    // Destroys the entities and nodes of the submeshes and slaves and the puppet's node.
    virtual ~cl_Puppet();
    cl_Puppet(const cl_Puppet&) = delete;
    cl_Puppet& operator=(const cl_Puppet&) = delete;

    // One frame of the time group "puppets" while active: fades asked to finish have finished.
    void Update(float dt) override;
    // true joins the time group "puppets"; false leaves it, gives every submesh the light mask 0x7FFFFFFF
    // and takes the slave objects out of the scene graph. A call that changes nothing does nothing.
    virtual void SetActive(bool active);
    bool IsActive() const { return m_frames != nullptr; }

    // The name messages use: "unknown" until the owner names the puppet.
    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    Ogre::SceneNode* GetSceneNode() const { return m_sceneNode; }
    // Set by whoever re-places the puppet's node: the next update ends every running fade at once, so the
    // body does not blend from where it stood.
    void SetFinishFades(bool finish) { m_finishFades = finish; }
    bool GetFinishFades() const { return m_finishFades; }

    // Adds (or replaces) the submesh of that name: an entity of the mesh file on a child node of the
    // puppet's node. A mesh that cannot be loaded or an entity name already taken is logged; false then.
    bool AddSubMesh(const std::string& meshFile, const std::string& name);
    // A copy of the record of the submesh of that name, else of the first whose entity has that name; an
    // empty record (no entity, no node, asset "parent") for none.
    st_SubMesh GetSubMesh(const std::string& name) const;
    // Ascending byte order.
    std::vector<std::string> GetSubMeshNames() const;
    // Takes the submesh's node from its parent, shows or hides it (and what hangs below it) and, when
    // shown, puts it back under the puppet's node. False for a name the puppet lacks.
    bool SetSubMeshVisible(const std::string& name, bool visible);
    // False for a name the puppet lacks; the mesh itself does not change.
    bool SetSubMeshAssetRef(const std::string& name, const std::string& assetRef);
    // Every submesh entity gets the mask; slaves keep theirs.
    void SetLightMask(uint32_t mask);

    // Adds the slave object of that id: an entity of the mesh file on a new free node. An id already
    // there, a mesh that cannot be loaded or an entity name taken is logged; false then.
    bool AddSlaveObject(const std::string& id, const std::string& meshFile, const std::string& assetRef);
    // A copy of the record of that id, else of the first whose entity has that name; an empty record for
    // none.
    st_SlaveObject GetSlave(const std::string& id) const;
    // Ascending byte order.
    std::vector<std::string> GetSlaveIds() const;
    std::vector<st_SlaveObject> GetSlaves() const;
    // The entities of the submeshes, then those of the slaves.
    std::vector<Ogre::MovableObject*> GetMovableObjects() const;

    // Appends one `anim name=` child per animation of the puppet's skeleton, in name order.
    void WriteAnimationList(TiXmlElement& element) const;
    // Appends the description `animtree` of the puppet's animations to element.
    void SaveState(TiXmlElement& element) const;

    // Sets node's position and orientation to the world transform of the bone of the named slave
    // object's skeleton, its animation brought up to date first. A missing slave object, entity, parent
    // node, skeleton or bone is logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& slaveId, const std::string& boneName,
                                  Ogre::SceneNode* node);
    // The same with the puppet's own skeleton and scene node. A puppet without skeleton or that bone is
    // logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& boneName, Ogre::SceneNode* node);

    // key: an event name heard from every animation of the puppet (a pair already registered stays
    // once), or "path#event" for the event of one animation of the weight tree. listener: not owned; it
    // must unregister before it dies.
    void AddAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener);
    // Removes every registration of listener under key.
    void RemoveAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener);
    // Tells the listeners of that event name, in registration order; a listener may unregister (itself or
    // another) while it is told.
    void DispatchAnimationEvent(const std::string& event);

private:
    Ogre::SceneManager& m_sceneManager;
    Ogre::SceneNode* m_sceneNode;
    std::string m_name = "unknown";
    bool m_finishFades = false;
    // Registered with the game time while the puppet is active.
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    // The first submesh's entity: its skeleton is the puppet's.
    Ogre::Entity* m_mainEntity = nullptr;
    std::map<std::string, st_SubMesh> m_subMeshes;
    std::map<std::string, st_SlaveObject> m_slaveObjects;
    std::multimap<std::string, IPuppetAnimationEventListener*> m_eventListeners;
};
