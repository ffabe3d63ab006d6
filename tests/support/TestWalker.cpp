#include "support/TestWalker.h"

#include "graphics/cl_Navmesh.h"
#include "support/TestMeshes.h"
#include "support/TriangleMesh.h"

#include <OgreAnimation.h>
#include <OgreAnimationTrack.h>
#include <OgreBone.h>
#include <OgreKeyFrame.h>
#include <OgreMeshManager.h>
#include <OgreSkeletonManager.h>
#include <OgreVertexBoneAssignment.h>

#include <vector>

namespace
{
using Ogre::Quaternion;
using Ogre::Vector3;

// The root motion of a clip: where "motion" stands, and how it is turned, at each key.
struct Key
{
    float time;
    Vector3 position;
    float degrees = 0.0f;
};

void AddClip(Ogre::Skeleton& skeleton, const std::string& name, float length, const std::vector<Key>& keys)
{
    Ogre::Animation* clip = skeleton.createAnimation(name, length);
    Ogre::NodeAnimationTrack* track = clip->createNodeTrack(1, skeleton.getBone(1));
    for (const Key& key : keys)
    {
        Ogre::TransformKeyFrame* frame = track->createNodeKeyFrame(key.time);
        frame->setTranslate(key.position);
        frame->setRotation(Quaternion(Ogre::Degree(key.degrees), Vector3::UNIT_Y));
    }
    // The body bobs, so that every clip moves a bone the mesh follows.
    Ogre::NodeAnimationTrack* body = clip->createNodeTrack(0, skeleton.getBone(0));
    body->createNodeKeyFrame(0.0f);
    body->createNodeKeyFrame(length / 2.0f)->setTranslate(Vector3(0, 1, 0));
    body->createNodeKeyFrame(length);
}

// A turn in place by degrees, keyed at each quarter so that turns of 180 go the way they should.
void AddTurn(Ogre::Skeleton& skeleton, const std::string& name, float degrees)
{
    std::vector<Key> keys;
    for (int quarter = 0; quarter <= 4; ++quarter)
        keys.push_back({quarter * 0.25f, Vector3::ZERO, degrees * quarter / 4.0f});
    AddClip(skeleton, name, 1.0f, keys);
}
} // namespace

void MakeTestWalker()
{
    if (Ogre::SkeletonManager::getSingleton().resourceExists("walker.skeleton", Ogre::RGN_DEFAULT))
        return;
    Ogre::SkeletonPtr skeleton =
        MakeTestSkeleton("walker.skeleton", {{"body", -1, Vector3::ZERO}, {"motion", -1, Vector3::ZERO}});
    AddClip(*skeleton, "walk_straight", 1.0f, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 100)}});
    AddClip(*skeleton, "walk_left", 1.0f, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 100), 30.0f}});
    AddClip(*skeleton, "walk_right", 1.0f, {{0.0f, Vector3::ZERO}, {1.0f, Vector3(0, 0, 100), -30.0f}});
    AddClip(*skeleton, "run", 0.5f, {{0.0f, Vector3::ZERO}, {0.5f, Vector3(0, 0, 150)}});
    AddTurn(*skeleton, "stand_0", 0.0f);
    AddTurn(*skeleton, "stand_90", -90.0f);
    AddTurn(*skeleton, "stand_180", -180.0f);
    AddTurn(*skeleton, "stand_270", 90.0f);
    AddClip(*skeleton, "walk_90", 1.0f,
            {{0.0f, Vector3::ZERO}, {0.5f, Vector3(0, 0, 25), -45.0f}, {1.0f, Vector3(0, 0, 50), -90.0f}});

    Ogre::MeshPtr mesh =
        MakeTestMesh("walker.mesh", {{{0, 0, 0}, {}}, {{1, 0, 0}, {}}, {{0, 1, 0}, {}}}, {{{}, {0, 1, 2}}});
    mesh->setSkeletonName("walker.skeleton");
    for (unsigned int vertex = 0; vertex < 3; ++vertex)
        mesh->addBoneAssignment(Ogre::VertexBoneAssignment{vertex, 0, 1.0f});
    mesh->_compileBoneAssignments();
}

std::string WalkerPuppetXml()
{
    return R"(<puppet><submeshes><submesh meshfile="walker.mesh" name="body"/></submeshes><animations>
        <weight name="skeletal" value="1">
            <weight name="walk" value="1">
                <weight name="loop" value="0" sync="true">
                    <weight name="straight_fast" value="1"><animation name="walk_straight" loop="true"/></weight>
                    <weight name="left" value="0"><animation name="walk_left" loop="true"/></weight>
                    <weight name="right" value="0"><animation name="walk_right" loop="true"/></weight>
                </weight>
                <weight name="run" value="0">
                    <weight name="run" value="1"><animation name="run" loop="true"/></weight>
                </weight>
            </weight>
            <weight name="turn" value="1">
                <weight name="stand" value="1">
                    <weight name="0" value="0"><animation name="stand_0"/></weight>
                    <weight name="90" value="0"><animation name="stand_90"/></weight>
                    <weight name="180" value="0"><animation name="stand_180"/></weight>
                    <weight name="270" value="0"><animation name="stand_270"/></weight>
                </weight>
                <weight name="walk" value="1">
                    <weight name="90" value="0"><animation name="walk_90"/></weight>
                </weight>
            </weight>
        </weight></animations></puppet>)";
}

std::unique_ptr<cl_Navmesh> MakeTestGround()
{
    const int cells = 10;
    const float size = 100.0f;
    const float low = -500.0f;
    const std::string name = "test_ground.mesh";
    if (!Ogre::MeshManager::getSingleton().resourceExists(name, Ogre::RGN_DEFAULT))
    {
        std::vector<Vector3> corners;
        for (int z = 0; z <= cells; ++z)
        {
            for (int x = 0; x <= cells; ++x)
                corners.emplace_back(low + x * size, 0.0f, low + z * size);
        }
        // Facing up: (x0z0, x0z1, x1z0) and (x1z0, x0z1, x1z1).
        std::vector<uint32_t> indices;
        for (int z = 0; z < cells; ++z)
        {
            for (int x = 0; x < cells; ++x)
            {
                const auto corner = static_cast<uint32_t>(z * (cells + 1) + x);
                const uint32_t ahead = corner + cells + 1;
                indices.insert(indices.end(), {corner, ahead, corner + 1, corner + 1, ahead, ahead + 1});
            }
        }
        CreateTriangleMesh(name, corners, indices);
    }
    auto ground = std::make_unique<cl_Navmesh>();
    ground->Load(name, Vector3::ZERO, Quaternion::IDENTITY, Vector3::UNIT_SCALE, 0);
    return ground;
}
