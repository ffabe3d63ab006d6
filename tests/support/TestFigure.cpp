#include "support/TestFigure.h"

#include "support/TestMeshes.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreBone.h>
#include <OgreKeyFrame.h>
#include <OgreMeshManager.h>
#include <OgrePose.h>
#include <OgreSkeletonManager.h>
#include <OgreSubMesh.h>
#include <OgreVertexBoneAssignment.h>

#include <string>
#include <vector>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

const std::vector<TestBone> FIGURE_BONES = {
    {"body", -1, Vector3::ZERO}, {"motion", -1, Vector3::ZERO}, {"hand", 0, Vector3(0, 2, 0)}};

struct Key
{
    float time;
    Vector3 translation;
    Quaternion rotation = Quaternion::IDENTITY;
};

// A track of the skeleton's bone in one of its animations (bound to the bone, so that it can be saved).
void AddTrack(Ogre::Skeleton& skeleton, Ogre::Animation& animation, unsigned short bone,
              const std::vector<Key>& keys)
{
    Ogre::NodeAnimationTrack* track = animation.createNodeTrack(bone, skeleton.getBone(bone));
    for (const Key& key : keys)
    {
        Ogre::TransformKeyFrame* frame = track->createNodeKeyFrame(key.time);
        frame->setTranslate(key.translation);
        frame->setRotation(key.rotation);
    }
}

// The clips of the rig with the bones body (0), motion (1) and hand (2).
void AddFigureClips(Ogre::Skeleton& skeleton)
{
    Ogre::Animation* walk = skeleton.createAnimation("walk", 1.0f);
    AddTrack(skeleton, *walk, 1, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 100)}});
    AddTrack(skeleton, *walk, 0, {{0.0f, Vector3::ZERO}, {0.5f, Vector3(0, 1, 0)}, {1.0f, Vector3::ZERO}});
    Ogre::Animation* run = skeleton.createAnimation("run", 1.0f);
    AddTrack(skeleton, *run, 1, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 300)}});
    Ogre::Animation* turn = skeleton.createAnimation("turn", 1.0f);
    AddTrack(skeleton, *turn, 1,
             {{0.0f, Vector3::ZERO}, {1.0f, Vector3::ZERO, Quaternion(Ogre::Degree(90), Vector3::UNIT_Y)}});
    Ogre::Animation* idle = skeleton.createAnimation("idle", 2.0f);
    AddTrack(skeleton, *idle, 2, {{0.0f, Vector3::ZERO}, {2.0f, Vector3(0, 1, 0)}});
    Ogre::Animation* wave = skeleton.createAnimation("wave", 1.0f);
    AddTrack(skeleton, *wave, 2, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 2, 0)}});
    Ogre::Animation* enter = skeleton.createAnimation("enter", 1.0f);
    AddTrack(
        skeleton, *enter, 1,
        {{0.0f, Vector3(0, 0, -50), Quaternion(Ogre::Degree(180), Vector3::UNIT_Y)}, {1.0f, Vector3::ZERO}});
}

// A triangle on shared vertices, every vertex on bone 0 of the skeleton (none: unrigged).
Ogre::MeshPtr MakeTriangle(const std::string& name, const std::string& skeleton)
{
    Ogre::MeshPtr mesh =
        MakeTestMesh(name, {{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}}, {{{}, {0, 1, 2}}});
    if (skeleton.empty())
        return mesh;
    mesh->setSkeletonName(skeleton);
    for (unsigned int vertex = 0; vertex < 3; ++vertex)
        mesh->addBoneAssignment(Ogre::VertexBoneAssignment{vertex, 0, 1.0f});
    mesh->_compileBoneAssignments();
    return mesh;
}

void AddFacePoses(Ogre::Mesh& mesh)
{
    mesh.createPose(0, "blink")->addVertex(0, Vector3(0, 1, 0));
    mesh.createPose(0, "smile")->addVertex(1, Vector3(1, 0, 0));
}
} // namespace

void MakeTestFigure()
{
    if (Ogre::SkeletonManager::getSingleton().resourceExists("figure.skeleton", Ogre::RGN_DEFAULT))
        return;
    AddFigureClips(*MakeTestSkeleton("figure.skeleton", FIGURE_BONES));
    // Skeletons no mesh links to are loaded here: OGRE frees the bones of loaded ones only.
    Ogre::SkeletonPtr extra = MakeTestSkeleton("extra.skeleton", FIGURE_BONES);
    extra->load();
    AddTrack(*extra, *extra->createAnimation("bow", 2.0f), 0,
             {{0.0f, Vector3::ZERO}, {2.0f, Vector3(0, -1, 0)}});
    AddTrack(*extra, *extra->createAnimation("nod", 1.0f), 2,
             {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 1)}});
    MakeTestSkeleton("empty.skeleton", FIGURE_BONES);
    Ogre::SkeletonPtr single = MakeTestSkeleton("single.skeleton", {{"body", -1, Vector3::ZERO}});
    AddTrack(*single, *single->createAnimation("walk", 1.0f), 0,
             {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 100)}});

    MakeTriangle("figure_body.mesh", "figure.skeleton");
    AddFacePoses(*MakeTriangle("figure_head.mesh", "figure.skeleton"));
    MakeTriangle("figure_hat.mesh", "figure.skeleton")
        ->createPose(0, "blink")
        ->addVertex(2, Vector3(0, 1, 0));
    MakeTriangle("single.mesh", "single.skeleton");
    MakeTriangle("still.mesh", "empty.skeleton");
    MakeTriangle("prop.mesh", "");
    Ogre::MeshPtr source = MakeTriangle("face_source.mesh", "");
    AddFacePoses(*source);
    Ogre::VertexPoseKeyFrame* talk = source->createAnimation("talk", 1.0f)
                                         ->createVertexTrack(0, Ogre::VAT_POSE)
                                         ->createVertexPoseKeyFrame(0.5f);
    talk->addPoseReference(1, 0.75f);
}
