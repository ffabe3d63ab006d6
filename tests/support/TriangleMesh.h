#pragma once

#include <OgreMesh.h>
#include <OgreVector.h>

#include <cstdint>
#include <string>
#include <vector>

// How CreateTriangleMesh lays the data out, including layouts that a navigation mesh refuses.
struct TriangleMeshLayout
{
    bool indices32 = false;      // 32-bit instead of 16-bit indices
    bool withNormals = false;    // an (all up) normal before the position in each vertex
    bool sharedVertices = false; // the vertices in the mesh's shared vertex data
    bool positions = true;       // false: the vertices carry normals only
    int subMeshes = 1;           // every submesh gets the same triangles
};

// A loaded manual mesh named name (in the default resource group) with these vertices and triangles (three
// indices each), its buffers readable. Needs OGRE with a buffer manager (HeadlessOgre); indices are written
// as they are, so they may point past the vertices.
Ogre::MeshPtr CreateTriangleMesh(const std::string& name, const std::vector<Ogre::Vector3>& positions,
                                 const std::vector<uint32_t>& indices, const TriangleMeshLayout& layout = {});
