#include "graphics/cl_ManualBone.h"

#include "graphics/cl_Puppet.h"

#include <OgreAnimation.h>
#include <OgreBone.h>
#include <OgreEntity.h>
#include <OgreSkeletonInstance.h>

cl_FocusTargetControl::cl_ManualBone::cl_ManualBone(const std::string& boneName, const std::string& slaveName)
    : m_boneName(boneName), m_slaveName(slaveName)
{
}

cl_FocusTargetControl::cl_ManualBone::~cl_ManualBone()
{
    Release();
}

Ogre::SkeletonInstance* cl_FocusTargetControl::cl_ManualBone::FindSkeleton(const cl_Puppet& puppet) const
{
    if (m_slaveName.empty())
        return puppet.GetSkeleton();
    const st_SlaveObject* slave = puppet.FindSlave(m_slaveName);
    return slave && slave->entity && slave->entity->hasSkeleton() ? slave->entity->getSkeleton() : nullptr;
}

Ogre::Bone* cl_FocusTargetControl::cl_ManualBone::FindBone(const cl_Puppet& puppet) const
{
    Ogre::SkeletonInstance* skeleton = FindSkeleton(puppet);
    if (!skeleton || m_boneName.empty() || !skeleton->hasBone(m_boneName))
        return nullptr;
    Ogre::Bone* bone = skeleton->getBone(m_boneName);
    return bone->getParent() ? bone : nullptr;
}

bool cl_FocusTargetControl::cl_ManualBone::Attach(const cl_Puppet& puppet, bool head)
{
    Release();
    Ogre::Bone* bone = FindBone(puppet);
    if (!bone)
        return false;
    m_bone = bone;
    // A bone's parent in a skeleton is a bone.
    m_partner = static_cast<Ogre::Bone*>(bone->getParent());
    Ogre::Bone* controlled = head ? m_partner : m_bone;
    controlled->setManuallyControlled(true);
    // The tracks go from the skeleton that every puppet on it shares: none of them animates the bone then.
    const Ogre::SkeletonInstance* skeleton = FindSkeleton(puppet);
    for (unsigned short index = 0; index < skeleton->getNumAnimations(); ++index)
    {
        Ogre::Animation* animation = skeleton->getAnimation(index);
        if (animation->hasNodeTrack(controlled->getHandle()))
            animation->destroyNodeTrack(controlled->getHandle());
    }
    return true;
}

void cl_FocusTargetControl::cl_ManualBone::Release()
{
    for (Ogre::Bone* bone : {m_bone, m_partner})
    {
        if (!bone)
            continue;
        bone->setOrientation(bone->getInitialOrientation());
        bone->setManuallyControlled(false);
    }
    m_bone = nullptr;
    m_partner = nullptr;
}
