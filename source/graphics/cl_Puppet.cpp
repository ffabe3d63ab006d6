#include "graphics/cl_Puppet.h"

#include "common/LogCall.h"
#include "common/MapKeys.h"
#include "common/StringHelpers.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "graphics/IPuppetAnimationEventListener.h"

#include <OgreAnimationState.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
// Numbers the puppets' scene nodes over the whole run.
int s_puppetCount = 0;

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

// An entity of the mesh file named name, casting shadows, lit by every plain light and seen by the game
// camera; null, logged, when the name is taken or the mesh cannot be had.
Ogre::Entity* CreateEntity(Ogre::SceneManager& sceneManager, const std::string& name,
                           const std::string& meshFile)
{
    if (!sceneManager.hasEntity(name))
    {
        try
        {
            Ogre::Entity* entity = sceneManager.createEntity(
                name, meshFile, Ogre::ResourceGroupManager::AUTODETECT_RESOURCE_GROUP_NAME);
            entity->setCastShadows(true);
            entity->setLightMask(0x7FFFFFFF);
            entity->setVisibilityFlags(2);
            return entity;
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("The mesh '%s' could not be loaded: %s", meshFile.c_str(),
                      exception.getDescription().c_str());
        }
    }
    LOG_ERROR("Couldn't create entity!");
    return nullptr;
}

// The record of key, else the first (in key order) whose entity is named key; an empty record for none.
template <class Record>
Record FindRecord(const std::map<std::string, Record>& records, const std::string& key)
{
    const auto found = records.find(key);
    if (found != records.end())
        return found->second;
    for (const auto& record : records)
    {
        if (record.second.entity && record.second.entity->getName() == key)
            return record.second;
    }
    return Record();
}

// The part of an event-listener key before its '#', when the key names one animation's event.
bool IsAnimationKey(const std::string& key, std::string& path)
{
    const size_t hash = key.find('#');
    if (hash == std::string::npos || hash == 0)
        return false;
    path = key.substr(0, hash);
    return true;
}
} // namespace

cl_Puppet::cl_Puppet(Ogre::SceneManager& sceneManager)
    : m_sceneManager(sceneManager),
      m_sceneNode(sceneManager.createSceneNode(Format("puppet%i", s_puppetCount)))
{
    ++s_puppetCount;
}

cl_Puppet::~cl_Puppet()
{
    for (const auto& subMesh : m_subMeshes)
    {
        m_sceneManager.destroyEntity(subMesh.second.entity);
        m_sceneManager.destroySceneNode(subMesh.second.node);
    }
    for (const auto& slave : m_slaveObjects)
    {
        m_sceneManager.destroyEntity(slave.second.entity);
        m_sceneManager.destroySceneNode(slave.second.node);
    }
    m_sceneManager.destroySceneNode(m_sceneNode);
}

void cl_Puppet::Update(float)
{
    m_finishFades = false;
}

void cl_Puppet::SetActive(bool active)
{
    if (active == IsActive())
        return;
    if (active)
    {
        m_frames = std::make_unique<cl_GameTimeRegistration>(cl_GameTime::GetInstance(), this, "puppets", 0);
        return;
    }
    SetLightMask(0x7FFFFFFF);
    m_frames.reset();
    for (const auto& slave : m_slaveObjects)
    {
        if (Ogre::SceneNode* parent = slave.second.node->getParentSceneNode())
            parent->removeChild(slave.second.node);
    }
}

bool cl_Puppet::AddSubMesh(const std::string& meshFile, const std::string& name)
{
    const std::string prefix = m_sceneNode->getName();
    const int index = static_cast<int>(m_subMeshes.size());
    Ogre::Entity* entity =
        CreateEntity(m_sceneManager, Format("%s_entity%i", prefix.c_str(), index), meshFile);
    if (!entity)
        return false;
    const std::string nodeName = Format("%s_mesh%i", prefix.c_str(), index);
    if (m_sceneManager.hasSceneNode(nodeName))
    {
        LOG_ERROR("Couldn't create node!");
        m_sceneManager.destroyEntity(entity);
        return false;
    }
    Ogre::SceneNode* node = m_sceneNode->createChildSceneNode(nodeName);
    node->attachObject(entity);

    st_SubMesh& record = m_subMeshes[name];
    if (record.entity)
    {
        m_sceneManager.destroyEntity(record.entity);
        m_sceneManager.destroySceneNode(record.node);
    }
    if (!m_mainEntity || m_mainEntity == record.entity)
        m_mainEntity = entity;
    record = st_SubMesh{entity, node, "parent"};
    return true;
}

st_SubMesh cl_Puppet::GetSubMesh(const std::string& name) const
{
    return FindRecord(m_subMeshes, name);
}

std::vector<std::string> cl_Puppet::GetSubMeshNames() const
{
    return KeysOf(m_subMeshes);
}

bool cl_Puppet::SetSubMeshVisible(const std::string& name, bool visible)
{
    const auto found = m_subMeshes.find(name);
    if (found == m_subMeshes.end() || !found->second.node)
        return false;
    Ogre::SceneNode* node = found->second.node;
    if (Ogre::SceneNode* parent = node->getParentSceneNode())
        parent->removeChild(node);
    node->setVisible(visible, true);
    if (visible)
        m_sceneNode->addChild(node);
    return true;
}

bool cl_Puppet::SetSubMeshAssetRef(const std::string& name, const std::string& assetRef)
{
    const auto found = m_subMeshes.find(name);
    if (found == m_subMeshes.end())
        return false;
    found->second.assetRef = assetRef;
    return true;
}

void cl_Puppet::SetLightMask(uint32_t mask)
{
    for (const auto& subMesh : m_subMeshes)
        subMesh.second.entity->setLightMask(mask);
}

bool cl_Puppet::AddSlaveObject(const std::string& id, const std::string& meshFile,
                               const std::string& assetRef)
{
    if (m_slaveObjects.count(id))
    {
        LOG_ERROR("A SlaveObject named '%s' allready exists!", id.c_str());
        return false;
    }
    // Named after the puppet's node too: two puppets may well have slaves of one id.
    Ogre::Entity* entity = CreateEntity(m_sceneManager,
                                        Format("%s_%s_slave%i", m_sceneNode->getName().c_str(), id.c_str(),
                                               static_cast<int>(m_slaveObjects.size())),
                                        meshFile);
    if (!entity)
        return false;
    Ogre::SceneNode* node = m_sceneManager.createSceneNode();
    node->attachObject(entity);
    m_slaveObjects[id] = st_SlaveObject{entity, node, assetRef};
    return true;
}

st_SlaveObject cl_Puppet::GetSlave(const std::string& id) const
{
    return FindRecord(m_slaveObjects, id);
}

std::vector<std::string> cl_Puppet::GetSlaveIds() const
{
    return KeysOf(m_slaveObjects);
}

std::vector<st_SlaveObject> cl_Puppet::GetSlaves() const
{
    std::vector<st_SlaveObject> slaves;
    for (const auto& slave : m_slaveObjects)
        slaves.push_back(slave.second);
    return slaves;
}

std::vector<Ogre::MovableObject*> cl_Puppet::GetMovableObjects() const
{
    std::vector<Ogre::MovableObject*> objects;
    for (const auto& subMesh : m_subMeshes)
        objects.push_back(subMesh.second.entity);
    for (const auto& slave : m_slaveObjects)
        objects.push_back(slave.second.entity);
    return objects;
}

void cl_Puppet::WriteAnimationList(TiXmlElement& element) const
{
    const Ogre::AnimationStateSet* states = m_mainEntity ? m_mainEntity->getAllAnimationStates() : nullptr;
    if (!states)
        return;
    for (const auto& state : states->getAnimationStates())
    {
        auto* anim = new TiXmlElement("anim");
        anim->SetAttribute("name", state.first);
        element.LinkEndChild(anim);
    }
}

void cl_Puppet::SaveState(TiXmlElement& element) const
{
    element.LinkEndChild(new TiXmlElement("animtree"));
}

void cl_Puppet::ApplyTagPointToSceneNode(const std::string& slaveId, const std::string& boneName,
                                         Ogre::SceneNode* node)
{
    if (!node)
        return;
    const auto slave = m_slaveObjects.find(slaveId);
    Ogre::Entity* entity = slave == m_slaveObjects.end() ? nullptr : slave->second.entity;
    const Ogre::Node* parent = entity ? entity->getParentNode() : nullptr;
    if (!parent || !PlaceOnBone(*entity, *parent, boneName, *node))
        LOG_ERROR("SlaveObject's Tag point couldn't be resolved!");
}

void cl_Puppet::ApplyTagPointToSceneNode(const std::string& boneName, Ogre::SceneNode* node)
{
    if (!node)
        return;
    if (!m_mainEntity || !m_mainEntity->hasSkeleton())
    {
        LOG_ERROR("Puppet %s doesn't have Skeleton!", m_name.c_str());
        return;
    }
    if (!PlaceOnBone(*m_mainEntity, *m_sceneNode, boneName, *node))
        LOG_ERROR("Puppet %s doesn't have the Bone '%s'!", m_name.c_str(), boneName.c_str());
}

void cl_Puppet::AddAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener)
{
    std::string path;
    if (IsAnimationKey(key, path))
    {
        // The animations of the weight tree are not built yet, so no path leads to one.
        LOG_ERROR("AnimPath '%s' could not be resolved.", path.c_str());
        return;
    }
    const auto range = m_eventListeners.equal_range(key);
    const bool known =
        std::any_of(range.first, range.second,
                    [listener](const auto& registered) { return registered.second == listener; });
    if (!known)
        m_eventListeners.emplace(key, listener);
}

void cl_Puppet::RemoveAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener)
{
    std::string path;
    if (IsAnimationKey(key, path))
        return;
    const auto range = m_eventListeners.equal_range(key);
    for (auto registered = range.first; registered != range.second;)
    {
        if (registered->second == listener)
            registered = m_eventListeners.erase(registered);
        else
            ++registered;
    }
}

void cl_Puppet::DispatchAnimationEvent(const std::string& event)
{
    std::vector<IPuppetAnimationEventListener*> listeners;
    const auto range = m_eventListeners.equal_range(event);
    for (auto registered = range.first; registered != range.second; ++registered)
        listeners.push_back(registered->second);
    for (IPuppetAnimationEventListener* listener : listeners)
    {
        // An earlier listener may have unregistered this one.
        const auto now = m_eventListeners.equal_range(event);
        if (std::any_of(now.first, now.second,
                        [listener](const auto& registered) { return registered.second == listener; }))
            listener->OnAnimationEvent(event);
    }
}
