#include "graphics/cl_Puppet.h"

#include "common/LogCall.h"
#include "common/MapKeys.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/cl_GameTime.h"
#include "common/cl_GameTimeRegistration.h"
#include "graphics/IPuppetAnimationEventListener.h"
#include "graphics/PuppetMeshes.h"
#include "graphics/PuppetModelReader.h"
#include "graphics/PuppetPose.h"
#include "graphics/cl_PuppetAnimWeight.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <OgreAnimation.h>
#include <OgreAnimationState.h>
#include <OgreAnimationTrack.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreException.h>
#include <OgreKeyFrame.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <OgreSkeletonInstance.h>
#include <tinyxml.h>

#include <algorithm>

namespace
{
// Numbers the puppets' scene nodes over the whole run.
int s_puppetCount = 0;

const int LEVEL_LOADING = cl_Logger::LEVEL_INFO | cl_Logger::TOPIC_CHARACTER;

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

// An entity of the mesh named name, casting shadows, lit by every plain light and seen by the game
// camera; null, logged, when the name is taken.
Ogre::Entity* CreateEntity(Ogre::SceneManager& sceneManager, const std::string& name,
                           const Ogre::MeshPtr& mesh)
{
    if (sceneManager.hasEntity(name))
    {
        LOG_ERROR("Couldn't create entity!");
        return nullptr;
    }
    Ogre::Entity* entity = sceneManager.createEntity(name, mesh);
    entity->setCastShadows(true);
    entity->setLightMask(0x7FFFFFFF);
    entity->setVisibilityFlags(2);
    return entity;
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
bool IsAnimationKey(const std::string& key, std::string& path, std::string& event)
{
    const size_t hash = key.find('#');
    if (hash == std::string::npos || hash == 0)
        return false;
    path = key.substr(0, hash);
    event = key.substr(hash + 1);
    return true;
}

// The bone whose tracks carry the root motion: the second root bone. The first root carries the body;
// a rig with one root has none.
uint16_t PrepareForSceneNodeAnimation(const Ogre::Skeleton& skeleton)
{
    if (skeleton.getNumAnimations() == 0)
    {
        LOG_ERROR("Skeleton has no animations!");
        return cl_Puppet::NO_BONE;
    }
    const Ogre::Skeleton::BoneList& roots = skeleton.getRootBones();
    if (roots.empty())
    {
        LOG_ERROR("Skeleton has no root bone!");
        return cl_Puppet::NO_BONE;
    }
    return roots.size() < 2 ? cl_Puppet::NO_BONE : roots[1]->getHandle();
}

void RefreshListeners()
{
    if (cl_GameTime* gameTime = cl_GameTime::GetInstance())
        gameTime->UpdateWhileLoading();
}

// A path segment at a time: runs of '/' separate, leading and trailing ones are ignored.
bool NextSegment(std::string_view& rest, std::string_view& segment)
{
    const size_t begin = rest.find_first_not_of('/');
    if (begin == std::string_view::npos)
        return false;
    rest.remove_prefix(begin);
    const size_t end = std::min(rest.find('/'), rest.size());
    segment = rest.substr(0, end);
    rest.remove_prefix(end);
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
    cl_Puppet::Unload();
    m_sceneManager.destroySceneNode(m_sceneNode);
}

void cl_Puppet::Update(float dt)
{
    if (!m_poses.empty())
        UpdatePoses(dt);
    DetachSlaveNodes();
    m_rootMotion = st_RootMotion();
    for (const auto& root : m_roots)
    {
        if (m_finishFades)
            FinishFades(root.second.get());
        for (const auto& group : m_groups)
            group->sum = 0.0f;
        root.second->SyncTimes();
        root.second->Update(dt);
        root.second->Apply(dt);
    }
    m_finishFades = false;

    if (m_rootMotion.translation != Ogre::Vector3::ZERO)
        m_sceneNode->translate(m_rootMotion.translation, Ogre::Node::TS_LOCAL);
    if (m_rootMotion.rotation != Ogre::Quaternion::IDENTITY)
        m_sceneNode->rotate(m_rootMotion.rotation, Ogre::Node::TS_LOCAL);
    if (m_rootMotion.scale != Ogre::Vector3::UNIT_SCALE)
        m_sceneNode->scale(m_rootMotion.scale);

    if (!m_fallbackSwitchedOn || !m_fallbackNode)
        return;
    if (GetFallbackState() && !IsOtherAnimationActive())
        ShowFallback(dt);
    else if (m_fallbackShown)
        HideFallback();
}

void cl_Puppet::UpdatePoses(float dt)
{
    bool used = false;
    for (const auto& pose : m_poses)
    {
        pose.second->Update(dt);
        used = used || pose.second->GetWeight() + pose.second->GetBaseInfluence() > 0.0f;
    }
    if (!m_poseStatesKnown)
        CollectPoseStates();
    for (Ogre::AnimationState* state : m_poseStates)
    {
        if (state->getEnabled() != used)
            state->setEnabled(used);
        state->getParent()->_notifyDirty();
    }
}

void cl_Puppet::CollectPoseStates()
{
    m_poseStates.clear();
    const auto collect = [this](Ogre::Entity* entity)
    {
        // Entities that share a skeleton share their states too: each state once.
        if (entity->hasAnimationState(POSES_ANIMATION) &&
            std::find(m_poseStates.begin(), m_poseStates.end(), entity->getAnimationState(POSES_ANIMATION)) ==
                m_poseStates.end())
            m_poseStates.push_back(entity->getAnimationState(POSES_ANIMATION));
    };
    for (const auto& subMesh : m_subMeshes)
        collect(subMesh.second.entity);
    for (const auto& slave : m_slaveObjects)
        collect(slave.second.entity);
    m_poseStatesKnown = true;
}

Ogre::AnimationState* cl_Puppet::GetFallbackState() const
{
    const cl_PuppetMainAnimation* animation = m_fallbackNode ? m_fallbackNode->GetMainAnimation() : nullptr;
    return animation ? animation->GetState() : nullptr;
}

void cl_Puppet::ShowFallback(float dt)
{
    Ogre::AnimationState* state = GetFallbackState();
    m_fallbackShown = true;
    state->setEnabled(true);
    state->setWeight(1.0f);
    if (m_fallbackTime != -1.0f)
        state->setTimePosition(m_fallbackTime);
    else
        state->addTime(dt);
}

void cl_Puppet::HideFallback()
{
    if (Ogre::AnimationState* state = GetFallbackState())
        state->setEnabled(m_fallbackNode->GetMainAnimation()->IsEnabled());
    m_fallbackShown = false;
}

void cl_Puppet::SetFallbackAnimation(cl_PuppetAnimWeight* node, float time)
{
    if (m_fallbackShown)
        HideFallback();
    m_fallbackNode = node;
    m_fallbackTime = time;
}

bool cl_Puppet::IsOtherAnimationActive() const
{
    if (m_subMeshes.empty())
        return false;
    const Ogre::AnimationStateSet* states = m_subMeshes.begin()->second.entity->getAllAnimationStates();
    if (!states)
        return false;
    const Ogre::AnimationState* fallback = m_fallbackShown ? GetFallbackState() : nullptr;
    for (const Ogre::AnimationState* state : states->getEnabledAnimationStates())
    {
        if (state->getWeight() > 0.0f && state != fallback && state->getAnimationName() != POSES_ANIMATION)
            return true;
    }
    return false;
}

bool cl_Puppet::FromXml(const TiXmlElement* element)
{
    if (!element || element->ValueStr() != "puppet")
    {
        LOG_ERROR("Couldn't load puppet from xml - puppet node expected.");
        return false;
    }
    LOG_LEVEL(LEVEL_LOADING, "Loading character submeshes ...");
    if (const TiXmlElement* subMeshes = element->FirstChildElement("submeshes"))
    {
        for (const TiXmlElement* child = subMeshes->FirstChildElement(); child;
             child = child->NextSiblingElement())
            SubMeshFromXml(child, *this);
    }
    LOG_LEVEL(LEVEL_LOADING, "Loading character slaves ...");
    if (const TiXmlElement* slaves = element->FirstChildElement("slaveobjects"))
    {
        for (const TiXmlElement* child = slaves->FirstChildElement(); child;
             child = child->NextSiblingElement())
            SlaveObjectFromXml(child, *this);
    }
    for (const TiXmlElement* source = element->FirstChildElement("vtxanimsrc"); source;
         source = source->NextSiblingElement("vtxanimsrc"))
    {
        const char* sourceFile = source->Attribute("srcfile");
        const char* targetFile = source->Attribute("targetmesh");
        if (sourceFile && targetFile)
            CopyVertexAnimations(sourceFile, targetFile);
        else
            LOG_WARNING("Skipped a vtxanimsrc of the puppet '%s' that lacks 'srcfile' or 'targetmesh'.",
                        m_name.c_str());
    }
    LOG_LEVEL(LEVEL_LOADING, "Loading character animations ...");
    if (const TiXmlElement* animations = element->FirstChildElement("animations"))
    {
        for (const TiXmlElement* weight = animations->FirstChildElement("weight"); weight;
             weight = weight->NextSiblingElement("weight"))
            AddRoot(*weight);
    }
    LOG_LEVEL(LEVEL_LOADING, "Loading character poses ...");
    if (const TiXmlElement* poses = element->FirstChildElement("poses"))
    {
        for (const TiXmlElement* pose = poses->FirstChildElement("pose"); pose;
             pose = pose->NextSiblingElement("pose"))
            AddPose(*pose);
    }
    return true;
}

void cl_Puppet::AddRoot(const TiXmlElement& element)
{
    const char* name = element.Attribute("name");
    if (!name)
    {
        LOG_WARNING("Skipped a weight node of the puppet '%s' that lacks the attribute 'name'.",
                    m_name.c_str());
        return;
    }
    std::unique_ptr<cl_PuppetAnimWeight>& root = m_roots[name];
    if (!root)
        root = std::make_unique<cl_PuppetAnimWeight>(nullptr);
    root->FromXml(element, *this);
}

void cl_Puppet::AddPose(const TiXmlElement& element)
{
    const char* name = element.Attribute("name");
    if (!name)
    {
        LOG_WARNING("Skipped a pose of the puppet '%s' that lacks the attribute 'name'.", m_name.c_str());
        return;
    }
    std::unique_ptr<PuppetPose>& pose = m_poses[name];
    if (!pose)
        pose = std::make_unique<PuppetPose>();
    pose->FromXml(element, *this);
}

PuppetPose* cl_Puppet::GetPose(const std::string& name) const
{
    const auto found = m_poses.find(name);
    return found == m_poses.end() ? nullptr : found->second.get();
}

void cl_Puppet::SaveState(TiXmlElement& element) const
{
    TiXmlElement& tree = *AppendChild(element, "animtree");
    for (const auto& root : m_roots)
    {
        TiXmlElement& weight = *AppendChild(tree, "weight");
        weight.SetAttribute("name", root.first);
        root.second->SaveState(weight);
    }
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
    DetachSlaveNodes();
}

bool cl_Puppet::Unload()
{
    if (m_fallbackShown)
        HideFallback();
    m_fallbackTime = -1.0f;
    m_fallbackNode = nullptr;
    RemoveSkeletonFiles();
    RemoveCopiedVertexAnimations();
    m_mainEntity = nullptr;
    m_skeleton = nullptr;
    m_rootBoneHandle = NO_BONE;
    for (const auto& subMesh : m_subMeshes)
        Destroy(subMesh.second.entity, subMesh.second.node);
    m_subMeshes.clear();
    for (const auto& slave : m_slaveObjects)
        Destroy(slave.second.entity, slave.second.node);
    m_slaveObjects.clear();
    m_poseStatesKnown = false;
    m_poses.clear();
    m_roots.clear();
    m_groups.clear();
    return true;
}

void cl_Puppet::Destroy(Ogre::Entity* entity, Ogre::SceneNode* node)
{
    m_sceneManager.destroyEntity(entity);
    m_sceneManager.destroySceneNode(node);
}

cl_PuppetAnimWeight* cl_Puppet::ResolveAnimPath(std::string_view path)
{
    std::string_view rest = path;
    std::string_view segment;
    if (!NextSegment(rest, segment))
        return nullptr;
    const auto root = m_roots.find(segment);
    if (root == m_roots.end())
    {
        LOG_ERROR("AnimPath '%s' could not be resolved.", std::string(path).c_str());
        return nullptr;
    }
    cl_PuppetAnimWeight* node = root->second.get();
    while (NextSegment(rest, segment))
        node = &node->GetOrCreateChild(segment);
    return node;
}

cl_PuppetAnimWeight* cl_Puppet::GetRoot(const std::string& name) const
{
    const auto found = m_roots.find(name);
    return found == m_roots.end() ? nullptr : found->second.get();
}

void cl_Puppet::FinishFades(cl_PuppetAnimWeight* node)
{
    if (!node)
        return;
    node->SetTarget(node->GetFadeTarget(), 0.0f);
    for (int index = 0; cl_PuppetAnimWeight* child = node->GetChild(index); ++index)
        FinishFades(child);
}

float cl_Puppet::GetFadeOutTime() const
{
    float longest = 0.0f;
    for (const auto& root : m_roots)
        longest = std::max(longest, root.second->GetFadeOutTime());
    return longest;
}

st_NormalizationGroup& cl_Puppet::GetNormalizationGroup(const std::string& name)
{
    for (const auto& group : m_groups)
    {
        if (group->name == name)
            return *group;
    }
    m_groups.push_back(std::make_unique<st_NormalizationGroup>(st_NormalizationGroup{name, 0.0f}));
    return *m_groups.back();
}

void cl_Puppet::WriteAnimationList(TiXmlElement& element) const
{
    for (const auto& root : m_roots)
        root.second->WriteAnimationList(root.first, element);
}

bool cl_Puppet::AddSubMesh(const std::string& meshFile, const std::string& name)
{
    const Ogre::MeshPtr mesh = AutoAddMeshPoses(meshFile);
    const std::string prefix = m_sceneNode->getName();
    // A replaced submesh leaves the count as it was, so a later one may find its number taken.
    int number = static_cast<int>(m_subMeshes.size());
    while (m_sceneManager.hasEntity(Format("%s_entity%i", prefix.c_str(), number)) ||
           m_sceneManager.hasSceneNode(Format("%s_mesh%i", prefix.c_str(), number)))
        ++number;
    Ogre::Entity* entity =
        mesh ? CreateEntity(m_sceneManager, Format("%s_entity%i", prefix.c_str(), number), mesh) : nullptr;
    LOG_LEVEL(LEVEL_LOADING, "Created character submesh-entity ...");
    RefreshListeners();
    if (!entity)
    {
        LOG_ERROR("Couldn't create entity!");
        return false;
    }
    Ogre::SceneNode* node = m_sceneNode->createChildSceneNode(Format("%s_mesh%i", prefix.c_str(), number));
    node->attachObject(entity);

    const auto found = m_subMeshes.find(name);
    const st_SubMesh replaced = found == m_subMeshes.end() ? st_SubMesh() : found->second;
    const bool replacesMain = replaced.entity && replaced.entity == m_mainEntity;
    if (!m_mainEntity || (replacesMain && !m_skeleton))
    {
        m_mainEntity = entity;
        m_skeleton = entity->getSkeleton();
        if (m_skeleton)
            m_rootBoneHandle = PrepareForSceneNodeAnimation(*m_skeleton);
    }
    else if (m_skeleton && entity->hasSkeleton())
    {
        try
        {
            entity->shareSkeletonInstanceWith(m_mainEntity);
            // The shared states come from the main entity's mesh: this mesh's poses animation joins them.
            entity->refreshAvailableAnimationState();
        }
        catch (const Ogre::Exception&)
        {
            LOG_ERROR("The mesh '%s' of the submesh '%s' has another skeleton than the puppet '%s'.",
                      meshFile.c_str(), name.c_str(), m_name.c_str());
            Destroy(entity, node);
            return false;
        }
        // The skeleton lives on with the entities that share it.
        if (replacesMain)
            m_mainEntity = entity;
    }
    if (replaced.entity)
        Destroy(replaced.entity, replaced.node);
    m_subMeshes[name] = st_SubMesh{entity, node, false, "parent"};
    m_poseStatesKnown = false;
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

bool cl_Puppet::SetSubMeshDynamicBounds(const std::string& name, bool dynamic)
{
    const auto found = m_subMeshes.find(name);
    if (found == m_subMeshes.end())
        return false;
    found->second.dynamicBounds = dynamic;
    return true;
}

void cl_Puppet::SetLightMask(uint32_t mask)
{
    for (const auto& subMesh : m_subMeshes)
        subMesh.second.entity->setLightMask(mask);
}

bool cl_Puppet::AddSlaveObject(const std::string& id, const std::string& meshFile,
                               const std::string& assetRef, const std::string& position)
{
    if (m_slaveObjects.count(id))
    {
        LOG_ERROR("A SlaveObject named '%s' allready exists!", id.c_str());
        return false;
    }
    const Ogre::MeshPtr mesh = AutoAddMeshPoses(meshFile);
    // Named after the puppet's node too: two puppets may well have slaves of one id.
    Ogre::Entity* entity = mesh ? CreateEntity(m_sceneManager,
                                               Format("%s_%s_slave%i", m_sceneNode->getName().c_str(),
                                                      id.c_str(), static_cast<int>(m_slaveObjects.size())),
                                               mesh)
                                : nullptr;
    if (!entity)
    {
        LOG_ERROR("Couldn't create entity!");
        return false;
    }
    Ogre::SceneNode* node = m_sceneManager.createSceneNode();
    node->attachObject(entity);
    m_slaveObjects[id] = st_SlaveObject{entity, node, position, assetRef};
    m_poseStatesKnown = false;
    return true;
}

st_SlaveObject cl_Puppet::GetSlave(const std::string& id) const
{
    return FindRecord(m_slaveObjects, id);
}

const st_SlaveObject* cl_Puppet::FindSlave(const std::string& id) const
{
    const auto found = m_slaveObjects.find(id);
    return found == m_slaveObjects.end() ? nullptr : &found->second;
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

Ogre::SceneNode* cl_Puppet::FindNode(const std::string& slaveId, const std::string& name) const
{
    const st_SlaveObject* slave = FindSlave(slaveId);
    if (!slave)
        return nullptr;
    const std::string& nodeName = !slave->position.empty() ? slave->position : name;
    if (nodeName.empty() || nodeName == "avatar" || nodeName == "Avatar" || nodeName == "parent" ||
        nodeName == "Parent")
        return m_sceneNode;
    if (nodeName == "SceneRoot" || nodeName == "sceneroot")
        return GetSceneRoot();
    return m_sceneManager.hasSceneNode(nodeName) ? m_sceneManager.getSceneNode(nodeName) : nullptr;
}

void cl_Puppet::DetachSlaveNodes()
{
    for (const auto& slave : m_slaveObjects)
    {
        if (Ogre::SceneNode* parent = slave.second.node->getParentSceneNode())
            parent->removeChild(slave.second.node);
    }
}

Ogre::SceneNode* cl_Puppet::GetSceneRoot() const
{
    return m_sceneManager.hasSceneNode("_game") ? m_sceneManager.getSceneNode("_game") : nullptr;
}

void cl_Puppet::AddSkeletonFile(const std::string& skeletonFile)
{
    if (std::find(m_mergedSkeletonFiles.begin(), m_mergedSkeletonFiles.end(), skeletonFile) !=
        m_mergedSkeletonFiles.end())
        return;
    const Ogre::SkeletonPtr loaded = LoadPuppetSkeleton(skeletonFile);
    RefreshListeners();
    if (!loaded)
        return;
    if (!m_skeleton)
    {
        LOG_ERROR("The skeleton file '%s' cannot be merged: the puppet '%s' has no skeleton.",
                  skeletonFile.c_str(), m_name.c_str());
        return;
    }
    const Ogre::SkeletonPtr& own = m_mainEntity->getMesh()->getSkeleton();
    if (loaded->getNumAnimations() == 0)
        LOG_WARNING("The skeleton file '%s' has no animations.", skeletonFile.c_str());
    else if (!own->hasAnimation(loaded->getAnimation(0)->getName()))
    {
        Ogre::Skeleton::BoneHandleMap bones;
        loaded->_buildMapBoneByHandle(loaded.get(), bones);
        try
        {
            own->_mergeSkeletonAnimations(loaded.get(), bones, Ogre::StringVector());
            m_mergedSkeletonFiles.push_back(skeletonFile);
        }
        catch (const Ogre::Exception& exception)
        {
            LOG_ERROR("The animations of the skeleton file '%s' could not be merged: %s",
                      skeletonFile.c_str(), exception.getDescription().c_str());
        }
        RefreshListeners();
    }
    for (const auto& subMesh : m_subMeshes)
        subMesh.second.entity->refreshAvailableAnimationState();
    m_poseStatesKnown = false;
}

void cl_Puppet::RemoveSkeletonFiles()
{
    if (m_mergedSkeletonFiles.empty())
        return;
    const Ogre::SkeletonPtr& own = m_mainEntity->getMesh()->getSkeleton();
    for (const std::string& file : m_mergedSkeletonFiles)
    {
        const Ogre::SkeletonPtr loaded = LoadPuppetSkeleton(file);
        for (unsigned short index = 0; loaded && index < loaded->getNumAnimations(); ++index)
        {
            const std::string& animation = loaded->getAnimation(index)->getName();
            if (own->hasAnimation(animation))
                own->removeAnimation(animation);
        }
    }
    m_mergedSkeletonFiles.clear();
    for (const auto& subMesh : m_subMeshes)
        subMesh.second.entity->refreshAvailableAnimationState();
}

void cl_Puppet::CopyVertexAnimations(const std::string& sourceMesh, const std::string& targetMesh)
{
    const Ogre::MeshPtr source = LoadPuppetMesh(sourceMesh);
    const Ogre::MeshPtr target = LoadPuppetMesh(targetMesh);
    if (!source || !target)
        return;
    for (const std::string& animation : CopyPoseAnimations(*source, *target))
        m_copiedVertexAnimations.emplace_back(target, animation);
}

void cl_Puppet::RemoveCopiedVertexAnimations()
{
    for (const auto& copied : m_copiedVertexAnimations)
    {
        if (copied.first->hasAnimation(copied.second))
            copied.first->removeAnimation(copied.second);
    }
    m_copiedVertexAnimations.clear();
}

void cl_Puppet::ApplyTagPointToSceneNode(const std::string& slaveId, const std::string& boneName,
                                         Ogre::SceneNode* node)
{
    if (!node)
        return;
    const st_SlaveObject* slave = FindSlave(slaveId);
    Ogre::Entity* entity = slave ? slave->entity : nullptr;
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

Ogre::Vector3 cl_Puppet::GetWorldPosition(const std::string& boneName) const
{
    if (!m_skeleton || !m_skeleton->hasBone(boneName))
        return Ogre::Vector3::ZERO;
    // Scaled like the body it belongs to, as the tag points are.
    return m_sceneNode->_getDerivedOrientation() *
               (m_sceneNode->_getDerivedScale() * m_skeleton->getBone(boneName)->_getDerivedPosition()) +
           m_sceneNode->_getDerivedPosition();
}

void cl_Puppet::ApplyAnimOriginToSceneNode(Ogre::SceneNode* node, const std::string& path)
{
    if (!m_skeleton)
    {
        LOG_ERROR("Puppet %s doesn't have Skeleton!", m_name.c_str());
        return;
    }
    const cl_PuppetAnimWeight* weight = node ? ResolveAnimPath(path) : nullptr;
    const cl_PuppetMainAnimation* main = weight ? weight->GetMainAnimation() : nullptr;
    if (!main || !main->GetState() || m_rootBoneHandle == NO_BONE)
        return;
    const Ogre::Animation* animation = m_skeleton->_getAnimationImpl(main->GetState()->getAnimationName());
    if (!animation || !animation->hasNodeTrack(m_rootBoneHandle))
        return;
    const Ogre::NodeAnimationTrack& track = *animation->getNodeTrack(m_rootBoneHandle);
    if (track.getNumKeyFrames() == 0)
        return;
    const Ogre::TransformKeyFrame& first = *track.getNodeKeyFrame(0);
    node->resetToInitialState();
    node->translate(first.getTranslate(), Ogre::Node::TS_LOCAL);
    node->rotate(first.getRotation(), Ogre::Node::TS_LOCAL);
}

void cl_Puppet::AddAnimationEventListener(const std::string& key, IPuppetAnimationEventListener* listener)
{
    std::string path;
    std::string event;
    if (IsAnimationKey(key, path, event))
    {
        const cl_PuppetAnimWeight* node = ResolveAnimPath(path);
        if (cl_PuppetMainAnimation* animation = node ? node->GetMainAnimation() : nullptr)
            animation->AddListener(event, listener);
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
    std::string event;
    if (IsAnimationKey(key, path, event))
    {
        const cl_PuppetAnimWeight* node = ResolveAnimPath(path);
        if (cl_PuppetMainAnimation* animation = node ? node->GetMainAnimation() : nullptr)
            animation->RemoveListener(event, listener);
        return;
    }
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
    const auto range = m_eventListeners.equal_range(event);
    if (range.first == range.second)
        return;
    std::vector<IPuppetAnimationEventListener*> listeners;
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
