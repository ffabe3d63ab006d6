#include "graphics/cl_Puppet.h"

#include "common/LogCall.h"

#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>

namespace
{
// Puts node on the bone of entity's skeleton, entity hanging below parent. False when the entity has no
// skeleton or no such bone.
bool PlaceOnBone(Ogre::Entity& entity, const Ogre::Node& parent, const std::string& boneName,
                 Ogre::SceneNode& node)
{
    Ogre::SkeletonInstance* skeleton = entity.getSkeleton();
    if (!skeleton || !skeleton->hasBone(boneName))
        return false;
    entity._updateAnimation();
    const Ogre::Bone* bone = skeleton->getBone(boneName);
    node.setPosition(parent._getDerivedOrientation() *
                         (parent._getDerivedScale() * bone->_getDerivedPosition()) +
                     parent._getDerivedPosition());
    node.setOrientation(parent._getDerivedOrientation() * bone->_getDerivedOrientation());
    return true;
}
} // namespace

cl_Puppet::cl_Puppet(const std::string& name, Ogre::Entity* entity, Ogre::SceneNode* sceneNode)
    : m_name(name), m_entity(entity), m_sceneNode(sceneNode)
{
}

void cl_Puppet::AddSlaveObject(const std::string& name, Ogre::Entity* entity)
{
    m_slaveObjects[name] = entity;
}

void cl_Puppet::SetQueryFlags(uint32_t flags)
{
    if (m_entity)
        m_entity->setQueryFlags(flags);
    for (const auto& slave : m_slaveObjects)
    {
        if (slave.second)
            slave.second->setQueryFlags(flags);
    }
}

void cl_Puppet::ApplyTagPointToSceneNode(const std::string& slaveName, const std::string& boneName,
                                         Ogre::SceneNode* node)
{
    if (!node)
        return;
    const auto slave = m_slaveObjects.find(slaveName);
    Ogre::Entity* entity = slave == m_slaveObjects.end() ? nullptr : slave->second;
    const Ogre::Node* parent = entity ? entity->getParentNode() : nullptr;
    if (!parent || !PlaceOnBone(*entity, *parent, boneName, *node))
        LOG_ERROR("SlaveObject's Tag point couldn't be resolved!");
}

void cl_Puppet::ApplyTagPointToSceneNode(const std::string& boneName, Ogre::SceneNode* node)
{
    if (!node)
        return;
    if (!m_sceneNode)
    {
        LOG_ERROR("Puppet %s doesn't have SceneNode!", m_name.c_str());
        return;
    }
    if (!m_entity || !m_entity->hasSkeleton())
    {
        LOG_ERROR("Puppet %s doesn't have Skeleton!", m_name.c_str());
        return;
    }
    if (!PlaceOnBone(*m_entity, *m_sceneNode, boneName, *node))
        LOG_ERROR("Puppet %s doesn't have the Bone '%s'!", m_name.c_str(), boneName.c_str());
}
