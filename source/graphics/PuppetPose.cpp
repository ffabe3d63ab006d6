#include "graphics/PuppetPose.h"

#include "graphics/PuppetMeshes.h"
#include "graphics/cl_Puppet.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreEntity.h>
#include <OgreKeyFrame.h>
#include <OgrePose.h>
#include <tinyxml.h>

#include <algorithm>

void PuppetPose::FromXml(const TiXmlElement& element, cl_Puppet& puppet)
{
    const char* poseName = element.Attribute("posename");
    if (!poseName)
        return;
    if (const char* slave = element.Attribute("slave"))
    {
        AddReferences(puppet.GetSlave(slave).entity, poseName);
        return;
    }
    for (const std::string& name : puppet.GetSubMeshNames())
        AddReferences(puppet.GetSubMesh(name).entity, poseName);
}

void PuppetPose::AddReferences(Ogre::Entity* entity, const char* poseName)
{
    if (!entity)
        return;
    Ogre::Mesh& mesh = *entity->getMesh();
    if (!mesh.hasAnimation(POSES_ANIMATION))
        return;
    const Ogre::Animation& animation = *mesh.getAnimation(POSES_ANIMATION);
    const Ogre::PoseList& poses = mesh.getPoseList();
    for (size_t index = 0; index < poses.size(); ++index)
    {
        const Ogre::Pose& pose = *poses[index];
        if (pose.getName() != poseName || !animation.hasVertexTrack(pose.getTarget()))
            continue;
        const Ogre::VertexAnimationTrack& track = *animation.getVertexTrack(pose.getTarget());
        if (track.getAnimationType() != Ogre::VAT_POSE || track.getNumKeyFrames() == 0)
            continue;
        const std::pair<Ogre::VertexPoseKeyFrame*, uint16_t> reference(track.getVertexPoseKeyFrame(0),
                                                                       static_cast<uint16_t>(index));
        if (std::find(m_references.begin(), m_references.end(), reference) == m_references.end())
            m_references.push_back(reference);
    }
}

void PuppetPose::Update(float dt)
{
    m_weight = m_fade.IsRunning() ? m_fade.Advance(dt) : m_fade.GetTarget();
    for (const auto& reference : m_references)
        reference.first->updatePoseReference(reference.second, m_weight + m_baseInfluence);
}

void PuppetPose::SetWeight(float target, float time)
{
    if (time > 0.0f)
        m_fade.Start(m_weight, target, time);
    else
    {
        m_fade.Hold(target);
        m_weight = target;
    }
}
