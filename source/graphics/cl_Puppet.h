#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace Ogre
{
class Entity;
class Node;
class SceneNode;
} // namespace Ogre

// The visible body of a scene object: an entity on a scene node, with slave objects (further entities,
// such as a held prop, each on a node of its own). So far only what the controllers need: putting a scene
// node on one of their bones.
class cl_Puppet
{
public:
    // entity and sceneNode: not owned, either may be null.
    cl_Puppet(const std::string& name, Ogre::Entity* entity, Ogre::SceneNode* sceneNode);

    // Adds (or replaces) the slave object of that name. entity: not owned, may be null.
    void AddSlaveObject(const std::string& name, Ogre::Entity* entity);

    // The node the puppet stands on; null for none.
    Ogre::SceneNode* GetSceneNode() const { return m_sceneNode; }
    // Sets the OGRE query flags of the puppet's entity and of every slave object's entity.
    void SetQueryFlags(uint32_t flags);

    // Sets node's position and orientation to the world transform of the bone of the named slave
    // object's skeleton, its animation brought up to date first. A missing slave object, entity, parent
    // node, skeleton or bone is logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& slaveName, const std::string& boneName,
                                  Ogre::SceneNode* node);
    // The same with the puppet's own entity, skeleton and scene node. A puppet without scene node,
    // skeleton or that bone is logged and changes nothing; a null node does nothing.
    void ApplyTagPointToSceneNode(const std::string& boneName, Ogre::SceneNode* node);

private:
    std::string m_name;
    Ogre::Entity* m_entity;
    Ogre::SceneNode* m_sceneNode;
    std::map<std::string, Ogre::Entity*> m_slaveObjects;
};
