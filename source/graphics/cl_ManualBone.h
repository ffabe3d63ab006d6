#pragma once

#include "graphics/cl_FocusTargetControl.h"

#include <string>

namespace Ogre
{
class Bone;
class SkeletonInstance;
} // namespace Ogre

// A bone the focus control turns itself, with its parent: a head controls the parent and looks from the
// named bone; an eye controls the named bone and takes the parent as its frame.
class cl_FocusTargetControl::cl_ManualBone
{
public:
    // slaveName: the slave object whose skeleton holds the bone; empty for the puppet's own.
    cl_ManualBone(const std::string& boneName, const std::string& slaveName);
    // Gives the bones back.
    ~cl_ManualBone();
    cl_ManualBone(const cl_ManualBone&) = delete;
    cl_ManualBone& operator=(const cl_ManualBone&) = delete;

    // The named bone of the puppet's (or slave object's) skeleton; null without that skeleton, that bone
    // or a parent of the bone.
    Ogre::Bone* FindBone(const cl_Puppet& puppet) const;
    // Gives back what it held, then takes the bone and its parent and puts the controlled one (the parent
    // for a head, else the bone) under manual control: every animation of the skeleton loses its track
    // for it. False, holding nothing, when FindBone finds none.
    bool Attach(const cl_Puppet& puppet, bool head);
    // Each bone held goes back to its initial orientation and to the animations.
    void Release();

    // Both bones are held.
    bool Holds() const { return m_bone && m_partner; }
    Ogre::Bone* GetBone() const { return m_bone; }
    Ogre::Bone* GetPartner() const { return m_partner; }
    const std::string& GetBoneName() const { return m_boneName; }

private:
    Ogre::SkeletonInstance* FindSkeleton(const cl_Puppet& puppet) const;

    std::string m_boneName;
    std::string m_slaveName;
    Ogre::Bone* m_bone = nullptr;
    Ogre::Bone* m_partner = nullptr;
};
