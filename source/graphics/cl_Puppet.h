#pragma once

#include "common/IGameTimeListener.h"

#include <OgrePrerequisites.h>
#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class IPuppetAnimationEventListener;
class PuppetPose;
class TiXmlElement;
class cl_GameTimeRegistration;
class cl_PuppetAnimWeight;
struct st_NormalizationGroup;

namespace Ogre
{
class AnimationState;
class Entity;
class MovableObject;
class Node;
class SceneManager;
class SceneNode;
class SkeletonInstance;
} // namespace Ogre

// A submesh of a puppet: an entity on a node of its own below the puppet's node.
struct st_SubMesh
{
    Ogre::Entity* entity = nullptr;
    Ogre::SceneNode* node = nullptr;
    // Bounds that should follow the animation; kept for the data, OGRE's own bounds are used.
    bool dynamicBounds = false;
    // The asset a pick on this submesh stands for; "parent" means the puppet's owner.
    std::string assetRef = "parent";
};

// A slave object of a puppet: an entity on a free node of its own, placed by animations or tag points.
struct st_SlaveObject
{
    Ogre::Entity* entity = nullptr;
    Ogre::SceneNode* node = nullptr;
    // The node it hangs under (see FindNode); empty: the one its animation names.
    std::string position;
    std::string assetRef = "parent";
};

// The motion the main animations hand the puppet in one frame, applied to its node in its local space.
struct st_RootMotion
{
    Ogre::Vector3 translation = Ogre::Vector3::ZERO;
    Ogre::Quaternion rotation = Ogre::Quaternion::IDENTITY;
    Ogre::Vector3 scale = Ogre::Vector3::UNIT_SCALE;
};

// The animated body of a scene object: a scene node of its own ("puppet0", "puppet1"...) with named
// submeshes below it (the first one's skeleton is shared by all), named slave objects (further entities,
// such as a held lantern, each on a free node), vertex poses, and a tree of weight nodes whose roots blend
// its animations. Each frame (time group "puppets") it runs the tree, moves its node by the root motion of
// its clips and shows a fallback clip while nothing else plays. It tells listeners the events its
// animations fire.
class cl_Puppet : public IGameTimeListener
{
public:
    // The value of GetRootBoneHandle when no bone carries root motion.
    static constexpr uint16_t NO_BONE = 0xFFFF;

    // Creates the puppet's scene node, attached nowhere: the owner places it.
    explicit cl_Puppet(Ogre::SceneManager& sceneManager);
    // Unloads the model, then destroys the puppet's node.
    virtual ~cl_Puppet();
    cl_Puppet(const cl_Puppet&) = delete;
    cl_Puppet& operator=(const cl_Puppet&) = delete;

    // One frame of the time group "puppets" while active: poses, the weight tree root by root, root
    // motion, the fallback clip.
    void Update(float dt) override;
    // Adds the model of a "puppet" element (submeshes, slave objects, copied vertex animations, weight
    // roots, poses) to what the puppet has. False, logged, only for a null element or one of another
    // name; what fails inside is logged and skipped.
    virtual bool FromXml(const TiXmlElement* element);
    // Appends `animtree` with one `weight name=` per root, written by the root.
    virtual void SaveState(TiXmlElement& element) const;
    // true joins the time group "puppets"; false leaves it, gives every submesh the light mask 0x7FFFFFFF
    // and takes the slave objects out of the scene graph. A call that changes nothing does nothing.
    virtual void SetActive(bool active);
    bool IsActive() const { return m_frames != nullptr; }
    // Empties the model: merged skeleton files and copied vertex animations are taken out of the shared
    // OGRE resources, every entity and node of the submeshes and slaves is destroyed, poses, weight tree
    // and groups are deleted. The puppet's node, name, activity and event listeners stay. Always true.
    virtual bool Unload();

    // The name messages use: "unknown" until the owner names the puppet.
    const std::string& GetName() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    Ogre::SceneNode* GetSceneNode() const { return m_sceneNode; }
    Ogre::SceneManager& GetSceneManager() const { return m_sceneManager; }
    // Set by whoever re-places the puppet's node: the next update ends every running fade at once, so the
    // body does not blend from where it stood.
    void SetFinishFades(bool finish) { m_finishFades = finish; }
    bool GetFinishFades() const { return m_finishFades; }

    // The weight node of an animation path ("skeletal/walk/loop/straight_fast"; slashes before, after or
    // doubled change nothing). Missing children below the root are created empty. Null for an empty path
    // and, logged, for a first segment that names no root.
    cl_PuppetAnimWeight* ResolveAnimPath(std::string_view path);
    // The root of that name; null for none.
    cl_PuppetAnimWeight* GetRoot(const std::string& name) const;
    // The node and its subtree jump to their fade targets. Null does nothing.
    void FinishFades(cl_PuppetAnimWeight* node);
    // The longest time left of a fade to 0 anywhere in the tree; 0 when none runs.
    float GetFadeOutTime() const;
    // The group of that name, created when missing; it lives until Unload.
    st_NormalizationGroup& GetNormalizationGroup(const std::string& name);
    // Appends one `anim name=` child per animation path of the weight tree, root by root in name order.
    void WriteAnimationList(TiXmlElement& element) const;
    // Whether a state of the model, other than the poses' and a shown fallback's, plays with a weight.
    bool IsOtherAnimationActive() const;
    // The main animation of node (may be null) plays at weight 1 while nothing else does; time -1 lets its
    // clock run, another value holds it there. A fallback shown until now gets its own enabled flag back.
    void SetFallbackAnimation(cl_PuppetAnimWeight* node, float time);
    // The owner switches the fallback on; off, no fallback plays.
    void SetFallbackSwitchedOn(bool on) { m_fallbackSwitchedOn = on; }
    // What the main animations add to in this frame's update.
    st_RootMotion& GetRootMotion() { return m_rootMotion; }
    // The skeleton of the first submesh's entity; null without.
    Ogre::SkeletonInstance* GetSkeleton() const { return m_skeleton; }
    Ogre::Entity* GetMainEntity() const { return m_mainEntity; }
    // The bone whose tracks carry the root motion: the second root bone; NO_BONE for none.
    uint16_t GetRootBoneHandle() const { return m_rootBoneHandle; }

    // Adds (or replaces) the submesh of that name: an entity of the mesh file (from the resource group
    // holding it) on a child node of the puppet's node; the first one's skeleton becomes the puppet's, the
    // later ones share it. A mesh that cannot be had is logged; false then.
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
    bool SetSubMeshDynamicBounds(const std::string& name, bool dynamic);
    // Every submesh entity gets the mask; slaves keep theirs.
    void SetLightMask(uint32_t mask);

    // Adds the slave object of that id: an entity of the mesh file on a new free node, hanging under the
    // node position names (see FindNode) when placed. An id already there or a mesh that cannot be had is
    // logged; false then.
    bool AddSlaveObject(const std::string& id, const std::string& meshFile, const std::string& assetRef,
                        const std::string& position = std::string());
    // A copy of the record of that id, else of the first whose entity has that name; an empty record for
    // none.
    st_SlaveObject GetSlave(const std::string& id) const;
    // The record of that id (not of an entity name); null for none.
    const st_SlaveObject* FindSlave(const std::string& id) const;
    // Ascending byte order.
    std::vector<std::string> GetSlaveIds() const;
    std::vector<st_SlaveObject> GetSlaves() const;
    // The entities of the submeshes, then those of the slaves.
    std::vector<Ogre::MovableObject*> GetMovableObjects() const;
    // The node a slave object hangs under: its record's position, else name (empty: "parent"). "avatar"
    // and "parent" (either case) are the puppet's node, "SceneRoot"/"sceneroot" the scene's root "_game",
    // anything else the scene node of that name. Null for an unknown slave or node.
    Ogre::SceneNode* FindNode(const std::string& slaveId, const std::string& name) const;
    // Takes every slave object's node out of the scene graph.
    void DetachSlaveNodes();
    // The scene's root node "_game"; null when the scene manager has none.
    Ogre::SceneNode* GetSceneRoot() const;

    // Merges the animations of a skeleton file (from the resource group holding it) into the puppet's
    // skeleton, once per file; Unload takes them out again. A file whose first animation the skeleton has
    // already is not merged. A missing file or a puppet without skeleton is logged.
    void AddSkeletonFile(const std::string& skeletonFile);
    // Copies the pose animations of the source mesh that the target lacks into the target mesh; Unload
    // takes them out again. Missing meshes are logged.
    void CopyVertexAnimations(const std::string& sourceMesh, const std::string& targetMesh);
    // Reads a "pose" element into the pose of its "name", created when missing. A nameless one is logged.
    void AddPose(const TiXmlElement& element);
    // The pose of that name; null for none.
    PuppetPose* GetPose(const std::string& name) const;

    // Sets node's position and orientation to the world transform of the bone of the named slave
    // object's skeleton, its animation brought up to date first. A missing slave object, entity, parent
    // node, skeleton or bone is logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& slaveId, const std::string& boneName,
                                  Ogre::SceneNode* node);
    // The same with the puppet's own skeleton and scene node. A puppet without skeleton or that bone is
    // logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& boneName, Ogre::SceneNode* node);
    // The bone's world position; zero without node, skeleton or bone.
    Ogre::Vector3 GetWorldPosition(const std::string& boneName) const;
    // Puts node (reset to its initial state) where the clip of path starts: moved and turned, in its own
    // space, by the first key of the root-motion bone. Without node, skeleton, clip or track nothing.
    void ApplyAnimOriginToSceneNode(Ogre::SceneNode* node, const std::string& path);

    // key: an event name heard from every main animation of the puppet (a pair already registered stays
    // once; a leading '#' is part of the name), or "path#event" for the event of the main animation of
    // that node of the weight tree. listener: not owned; it must unregister before it dies.
    void AddAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener);
    // Removes every registration of listener under key.
    void RemoveAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener);
    // Tells the listeners of that event name, in registration order; a listener may unregister (itself or
    // another) while it is told.
    void DispatchAnimationEvent(const std::string& event);

private:
    // A "weight" under "animations": read into the root of its name, created when missing.
    void AddRoot(const TiXmlElement& element);
    // The fallback's state, when the fallback node has a main animation with one.
    Ogre::AnimationState* GetFallbackState() const;
    // Gives a shown fallback state its main animation's enabled flag back.
    void HideFallback();
    void ShowFallback(float dt);
    void UpdatePoses(float dt);
    void CollectPoseStates();
    void RemoveSkeletonFiles();
    void RemoveCopiedVertexAnimations();
    void Destroy(Ogre::Entity* entity, Ogre::SceneNode* node);

    Ogre::SceneManager& m_sceneManager;
    uint16_t m_rootBoneHandle = NO_BONE;
    std::map<std::string, std::unique_ptr<PuppetPose>> m_poses;
    // The poses animation's states of the entities, known until an entity comes or goes.
    std::vector<Ogre::AnimationState*> m_poseStates;
    bool m_poseStatesKnown = false;
    Ogre::Entity* m_mainEntity = nullptr;
    std::map<std::string, std::unique_ptr<cl_PuppetAnimWeight>, std::less<>> m_roots;
    cl_PuppetAnimWeight* m_fallbackNode = nullptr;
    float m_fallbackTime = -1.0f;
    bool m_fallbackShown = false;
    bool m_fallbackSwitchedOn = false;
    st_RootMotion m_rootMotion;
    bool m_finishFades = false;
    // Registered with the game time while the puppet is active.
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    Ogre::SceneNode* m_sceneNode;
    std::map<std::string, st_SubMesh> m_subMeshes;
    std::map<std::string, st_SlaveObject> m_slaveObjects;
    std::vector<std::unique_ptr<st_NormalizationGroup>> m_groups;
    std::string m_name = "unknown";
    Ogre::SkeletonInstance* m_skeleton = nullptr;
    std::vector<std::string> m_mergedSkeletonFiles;
    // Each copied animation's name with the mesh that received it.
    std::vector<std::pair<Ogre::MeshPtr, std::string>> m_copiedVertexAnimations;
    std::multimap<std::string, IPuppetAnimationEventListener*> m_eventListeners;
};
