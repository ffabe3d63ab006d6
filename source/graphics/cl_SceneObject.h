#pragma once

#include "graphics/cl_VisualStateHolder.h"

#include <OgreQuaternion.h>
#include <OgreVector.h>

#include <cstdint>
#include <memory>
#include <set>
#include <string>

class ISyncedActionInitiator;
class TiXmlElement;
class cl_ControlledPuppet;
class cl_EventTrigger;

namespace Ogre
{
class SceneManager;
class SceneNode;
} // namespace Ogre

// Where an object's body hangs in the scene graph: below parent (null: nowhere) at a local position and
// orientation.
struct st_ObjectPlacement
{
    Ogre::SceneNode* parent = nullptr;
    Ogre::Vector3 position = Ogre::Vector3::ZERO;
    Ogre::Quaternion orientation = Ogre::Quaternion::IDENTITY;

    // Same parent, exactly the same position and orientation.
    bool operator==(const st_ObjectPlacement& other) const;
};

// A character or scene item standing in the scene: a puppet (its body, whose node is the object's place
// in the scene graph), named visual states, a focus point on its skeleton, scripts run by its animations'
// events, and its body state (submesh and slave visibility, light masks) in the saved game.
class cl_SceneObject : public cl_VisualStateHolder
{
public:
    // With a puppet of its own, named after the object.
    cl_SceneObject(Ogre::SceneManager& sceneManager, const std::string& name);
    // With a borrowed puppet (may be null), which keeps its name and which the object neither deletes nor
    // saves; it must outlive the object.
    cl_SceneObject(Ogre::SceneManager& sceneManager, cl_ControlledPuppet* puppet, const std::string& name);
    ~cl_SceneObject() override;

    // Appends the puppet's animations as `anim name=` children; nothing without a puppet.
    void ListAnimations(TiXmlElement& element) const;
    // Plays the animation at the scene node of that name, moved by offset and turned by rotation, and
    // tells initiator (may be null) when it ends.
    virtual void PlayAnimation(const std::string& animation, const std::string& position,
                               const Ogre::Vector3& offset, const Ogre::Quaternion& rotation,
                               ISyncedActionInitiator* initiator) = 0;
    // Plays the animation where the object stands.
    virtual void StartAnimation(const std::string& animation, ISyncedActionInitiator* initiator) = 0;
    virtual void StopAnimation() = 0;
    virtual void AbortAll() = 0;

    Ogre::SceneManager& GetSceneManager() const { return m_sceneManager; }
    // Null only for a borrowed null puppet.
    cl_ControlledPuppet* GetPuppet() const { return m_puppet; }
    // The puppet's node: the object's place in the scene graph; null without a puppet.
    Ogre::SceneNode* GetSceneNode() const;
    const std::string& GetName() const { return m_name; }
    // The asset the object stands for now: its name unless the item manager lets it stand for an alias.
    // Picking answers it.
    const std::string& GetAssetId() const { return m_assetId; }
    void SetAssetId(const std::string& assetId) { m_assetId = assetId; }
    // A free node that ApplySlaveTagPoints puts on the focus point; readers call that first.
    Ogre::SceneNode* GetFocusNode() const { return m_focusNode; }
    // A free node that sequences and characters move to an animation's start and place the object at.
    Ogre::SceneNode* GetOriginNode() const { return m_originNode; }
    bool IsPersistent() const { return m_persistent; }
    void SetPersistent(bool persistent) { m_persistent = persistent; }
    // Runs the scripts of the object's data on its puppet's animation events; the object's loader fills it.
    cl_EventTrigger& GetEventTrigger() const { return *m_eventTrigger; }

    // Makes the puppet run (or stop) with the game time.
    virtual void SetActive(bool active);
    // A uniform scale of the object's node.
    virtual void SetScale(float scale);

    // Where the object's node hangs now; no parent, zero and identity without a node.
    st_ObjectPlacement GetPlacement() const;
    // Places the object at node, relative to the scene root "_game": a node below "_game" but deeper
    // than its child keeps its world offset from the root, not rotated into the root's frame. Nothing for
    // a null node or a scene without "_game".
    virtual void SetLocation(Ogre::SceneNode* node);
    // Places the object at the scene node of that name; an unknown name is logged and changes nothing.
    virtual void SetLocation(const std::string& locationName);
    // Places the object's node; the placement before the change is remembered for RestorePlacement. The
    // placement it has already changes nothing and keeps the remembered one. Always true.
    virtual bool SetLocation(const st_ObjectPlacement& placement);
    // Goes back to the remembered placement; false when the object stands there already.
    bool RestorePlacement();

    // Puts the focus point on the bone (empty: the puppet's node) of the slave (empty: the puppet's own
    // skeleton) and places the focus node there.
    void SetFocus(const std::string& bone, const std::string& slave);
    const std::string& GetFocusBone() const { return m_focusBone; }
    const std::string& GetFocusSlave() const { return m_focusSlave; }
    void ApplySlaveTagPoints();

    // The material of that name (any resource group) on the sub-entity of the submesh's entity; an unknown
    // submesh, index or material changes nothing.
    void SetSubMeshMaterial(const std::string& subMesh, unsigned int subEntityIndex,
                            const std::string& material);
    // The same on a slave object's entity.
    void SetSubEntityMaterial(const std::string& slave, unsigned int subEntityIndex,
                              const std::string& material);
    // Makes pass passIndex of technique 0 of the sub-entity's material blend by alpha, the texture unit's
    // alpha scaled by alpha. The material changes in place, for all its users. Indices out of range change
    // nothing.
    void SetTransparency(const std::string& subMesh, unsigned int subEntityIndex, unsigned int passIndex,
                         unsigned int textureUnitIndex, float alpha);
    // The OGRE query flags of every entity of the puppet.
    void SetQueryFlags(uint32_t flags);
    // Sets, respectively clears, the mask's bits in the light mask of every submesh; the mask they start
    // from is that of the first submesh by name (0x7FFFFFFF without submeshes).
    void AddLightMask(uint32_t mask);
    void RemoveLightMask(uint32_t mask);

    // Writes the visual state, name, placement, puppet, focus and controls into element, for debugging.
    virtual void WriteDebugInfo(TiXmlElement& element) const;
    // Writes the body state (`submeshes`, `slaves`) into the object's element of the game state; nothing
    // for a null element or a borrowed puppet.
    virtual void SaveState(TiXmlElement* element) const;
    // Reads what SaveState wrote; names the puppet lacks are skipped. Nothing for a null element.
    virtual void RestoreState(const TiXmlElement* element);

    // "" and "avatar": the current character; else the character of that id; else the loaded item of
    // that id (placed by default when it is not placed). Null for none.
    static cl_SceneObject* ResolveByName(const std::string& name);
    // ResolveByName, else the item loaded now; null when none can be.
    static cl_SceneObject* ResolveOrLoadByName(const std::string& name);
    // Adds every character and every loaded item to objects; returns the set's size.
    static size_t CollectSceneObjects(std::set<cl_SceneObject*>& objects);
    // The asset a picked entity stands for: the object's name, or the asset reference of the submesh or
    // slave it belongs to. Objects with borrowed puppets are not searched. Empty for none.
    static std::string FindOwnerOfEntity(const std::string& entityName);

private:
    cl_SceneObject(Ogre::SceneManager& sceneManager, std::unique_ptr<cl_ControlledPuppet> ownPuppet,
                   cl_ControlledPuppet* puppet, const std::string& name);
    // Puts the node from where it hangs to the placement and lets the puppet skip its fades.
    void MoveNode(const st_ObjectPlacement& from, const st_ObjectPlacement& to);
    // The light mask AddLightMask and RemoveLightMask change.
    uint32_t GetLightMask() const;

    bool m_persistent = false;
    std::unique_ptr<cl_EventTrigger> m_eventTrigger;
    std::string m_focusBone;
    std::string m_focusSlave;
    st_ObjectPlacement m_rememberedPlacement;
    // Set only when the puppet is the object's own.
    std::unique_ptr<cl_ControlledPuppet> m_ownPuppet;
    cl_ControlledPuppet* m_puppet;
    Ogre::SceneManager& m_sceneManager;
    std::string m_name;
    std::string m_assetId;
    Ogre::SceneNode* m_focusNode = nullptr;
    Ogre::SceneNode* m_originNode = nullptr;
};
