#include "graphics/PuppetMeshes.h"

#include "common/LogCall.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreException.h>
#include <OgreKeyFrame.h>
#include <OgreMeshManager.h>
#include <OgrePose.h>
#include <OgreResourceGroupManager.h>
#include <OgreSkeletonManager.h>

const char* const POSES_ANIMATION = "puppet_poses";

std::string FindResourceGroup(Ogre::ResourceManager& manager, const std::string& name)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    for (const std::string& group : groups.getResourceGroups())
    {
        if (manager.getResourceByName(name, group))
            return group;
    }
    if (!name.empty() && groups.resourceExistsInAnyGroup(name))
        return groups.findGroupContainingResource(name);
    return std::string();
}

namespace
{
// The resource of that file from the group that holds it, got by load(group); null, logged naming the kind
// of file and the file, when no group has it or it cannot be read.
template <class Pointer, class Load>
Pointer LoadFromItsGroup(Ogre::ResourceManager& manager, const char* kind, const std::string& file,
                         const Load& load)
{
    const std::string group = FindResourceGroup(manager, file);
    if (group.empty())
    {
        LOG_ERROR("The %s file '%s' was not found.", kind, file.c_str());
        return Pointer();
    }
    try
    {
        return load(group);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("The %s file '%s' could not be loaded: %s", kind, file.c_str(),
                  exception.getDescription().c_str());
    }
    return Pointer();
}
} // namespace

Ogre::MeshPtr LoadPuppetMesh(const std::string& meshFile)
{
    Ogre::MeshManager& meshes = Ogre::MeshManager::getSingleton();
    return LoadFromItsGroup<Ogre::MeshPtr>(
        meshes, "mesh", meshFile,
        [&](const std::string& group)
        {
            return meshes.load(meshFile, group, Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY,
                               Ogre::HardwareBuffer::HBU_STATIC_WRITE_ONLY, true, true);
        });
}

Ogre::SkeletonPtr LoadPuppetSkeleton(const std::string& skeletonFile)
{
    Ogre::SkeletonManager& skeletons = Ogre::SkeletonManager::getSingleton();
    return LoadFromItsGroup<Ogre::SkeletonPtr>(
        skeletons, "skeleton", skeletonFile,
        [&](const std::string& group)
        { return Ogre::static_pointer_cast<Ogre::Skeleton>(skeletons.load(skeletonFile, group)); });
}

namespace
{
// Whether the poses animation has a key frame for the pose's target.
bool HasPoseKeyFrame(const Ogre::Animation& animation, const Ogre::Pose& pose)
{
    if (!animation.hasVertexTrack(pose.getTarget()))
        return false;
    const Ogre::VertexAnimationTrack* track = animation.getVertexTrack(pose.getTarget());
    return track->getAnimationType() == Ogre::VAT_POSE && track->getNumKeyFrames() > 0;
}
} // namespace

Ogre::MeshPtr AutoAddMeshPoses(const std::string& meshFile)
{
    Ogre::MeshPtr mesh = LoadPuppetMesh(meshFile);
    if (!mesh)
        return mesh;
    const Ogre::PoseList& poses = mesh->getPoseList();
    // OGRE 1.12 renders a mesh whose vertex animation has no track through vertex data it never made, and
    // crashes: a mesh without poses gets no poses animation.
    if (poses.empty())
        return mesh;
    if (mesh->hasAnimation(POSES_ANIMATION))
    {
        const Ogre::Animation& animation = *mesh->getAnimation(POSES_ANIMATION);
        for (const Ogre::Pose* pose : poses)
        {
            if (!HasPoseKeyFrame(animation, *pose))
                LOG_WARNING("Reusing the puppet_pose animation failed!");
        }
        return mesh;
    }
    Ogre::Animation* animation = mesh->createAnimation(POSES_ANIMATION, 0.0f);
    for (size_t index = 0; index < poses.size(); ++index)
    {
        const unsigned short target = poses[index]->getTarget();
        Ogre::VertexPoseKeyFrame* keyFrame = nullptr;
        if (animation->hasVertexTrack(target))
            keyFrame = animation->getVertexTrack(target)->getVertexPoseKeyFrame(0);
        else
            keyFrame = animation->createVertexTrack(target, Ogre::VAT_POSE)->createVertexPoseKeyFrame(0.0f);
        keyFrame->addPoseReference(static_cast<unsigned short>(index), 0.0f);
    }
    return mesh;
}

std::vector<std::string> CopyPoseAnimations(const Ogre::Mesh& source, Ogre::Mesh& target)
{
    std::vector<std::string> copied;
    if (!source.hasVertexAnimation())
        return copied;
    for (unsigned short index = 0; index < source.getNumAnimations(); ++index)
    {
        const Ogre::Animation& from = *source.getAnimation(index);
        if (from._getVertexTrackList().empty() || target.hasAnimation(from.getName()))
            continue;
        Ogre::Animation* to = target.createAnimation(from.getName(), from.getLength());
        copied.push_back(from.getName());
        for (const auto& handleAndTrack : from._getVertexTrackList())
        {
            const Ogre::VertexAnimationTrack& track = *handleAndTrack.second;
            if (track.getAnimationType() != Ogre::VAT_POSE)
                continue;
            Ogre::VertexAnimationTrack* copy = to->createVertexTrack(handleAndTrack.first, Ogre::VAT_POSE);
            for (unsigned short key = 0; key < track.getNumKeyFrames(); ++key)
            {
                const Ogre::VertexPoseKeyFrame& keyFrame = *track.getVertexPoseKeyFrame(key);
                Ogre::VertexPoseKeyFrame* made = copy->createVertexPoseKeyFrame(keyFrame.getTime());
                for (const Ogre::VertexPoseKeyFrame::PoseRef& reference : keyFrame.getPoseReferences())
                    made->addPoseReference(reference.poseIndex, reference.influence);
            }
        }
    }
    return copied;
}
