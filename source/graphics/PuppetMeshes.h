#pragma once

#include <OgreMesh.h>
#include <OgreSkeleton.h>

#include <string>
#include <vector>

// How a puppet gets its meshes and skeletons and prepares meshes for vertex-pose blending.

// The name of the animation that holds one pose key frame per target of a mesh, listing every pose of the
// mesh; a puppet blends its poses by changing their influences there.
extern const char* const POSES_ANIMATION;

// The resource group that holds the resource name of manager: the group of a resource of that name made
// already (a loaded file or one built in code), else the group whose locations have a file of that name.
// Empty for none.
std::string FindResourceGroup(Ogre::ResourceManager& manager, const std::string& name);

// The mesh of that file from the group that holds it, loaded with static, write-only buffers kept in
// memory too (poses are blended in software from that copy). Null, logged naming the file, when no group
// has it or it cannot be read.
Ogre::MeshPtr LoadPuppetMesh(const std::string& meshFile);
// The skeleton of that file from the group that holds it; null, logged naming the file, for none.
Ogre::SkeletonPtr LoadPuppetSkeleton(const std::string& skeletonFile);

// Loads the mesh as LoadPuppetMesh does and gives it the poses animation: per pose target one track with
// one key frame that lists every pose of the mesh at influence 0. A mesh without poses gets none; a mesh
// that has it already (another puppet prepared it) is only checked, a pose it lacks there is logged. Null
// for a mesh that cannot be had.
Ogre::MeshPtr AutoAddMeshPoses(const std::string& meshFile);

// Copies into target each animation of source that has vertex tracks and whose name target lacks, with
// its pose tracks and key frames (pose indices as they are: target must list the same poses). Returns the
// names of the animations copied.
std::vector<std::string> CopyPoseAnimations(const Ogre::Mesh& source, Ogre::Mesh& target);
