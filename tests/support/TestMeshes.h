#pragma once

#include <OgreMesh.h>
#include <OgreSkeleton.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

// Meshes and skeletons built in code, for tests on a HeadlessOgre.

struct TestVertex
{
    Ogre::Vector3 position;
    Ogre::Vector2 uv;
};

struct TestSubMesh
{
    std::vector<TestVertex> vertices; // empty: the sub-mesh uses the mesh's shared vertices
    std::vector<uint32_t> indices;
    bool indices32 = false;
};

// A loaded mesh (position and texture coordinate interleaved in one buffer, as an exporter writes them)
// whose bounds cover every vertex, grown by margin (skinned vertices may leave them).
Ogre::MeshPtr MakeTestMesh(const std::string& name, const std::vector<TestVertex>& shared,
                           const std::vector<TestSubMesh>& subMeshes, float margin = 0.1f);

struct TestBone
{
    std::string name;
    int parent;             // index of an earlier bone, or -1
    Ogre::Vector3 position; // relative to the parent
};

// A skeleton whose binding pose is the given one; bone handles are the indices.
Ogre::SkeletonPtr MakeTestSkeleton(const std::string& name, const std::vector<TestBone>& bones);

// A one-triangle mesh; with bones, rigged (every vertex on the first bone) to the skeleton name + "_rig"
// made of them.
Ogre::MeshPtr MakeTestTriangle(const std::string& name, const std::vector<TestBone>& bones = {});
