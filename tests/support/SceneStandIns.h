#pragma once

#include <string>

// What the game data gives a scene, made in code for headless OGRE (after HeadlessOgre, before its end).

// A flat square of side 20 around the origin in the XZ plane, facing up, named name (default group); made
// once per OGRE. Returns the name.
std::string MakeFlatMesh(const std::string& name);
// Flat squares under the names of the demo's meshes and of the tests' two locations.
void MakeSceneMeshes();
// The four shadow materials in their least form: depth and extended depth caster and receiver, the
// extended receiver with a second pass of two texture units.
void MakeShadowMaterials();
