#pragma once

#include <memory>
#include <string>

class cl_Navmesh;

// A walking figure and its ground built in code, for tests of the controls that walk and turn a puppet on
// a HeadlessOgre; made once per OGRE run (MakeTestWalker may be called again).
//
// Skeleton "walker.skeleton": bone 0 "body" (the first root), bone 1 "motion" (the second root, which
// carries the root motion). Clips, the walk cycles looping:
//   "walk_straight", "walk_left", "walk_right"  1 s, "motion" 100 forward (+z) per second, the left and
//                right ones turning by +30 and -30 degrees about +y over it;
//   "run"        0.5 s, "motion" 150 forward (300 per second);
//   "stand_0"    1 s, stepping in place; "stand_90", "stand_180", "stand_270"  1 s, "motion" turning in
//                place by -90, -180 and +90 degrees about +y (to the right, round, to the left);
//   "walk_90"    1 s, "motion" 50 forward while turning by -90 degrees.
// Mesh "walker.mesh": a triangle rigged to it.
void MakeTestWalker();

// The walker's "puppet" element: the mesh and a weight tree with the paths the movement and turn controls
// use ("skeletal/walk/loop/straight_fast", ".../left", ".../right", "skeletal/walk/run/run") and the turn
// clips below "skeletal/turn/stand/<0|90|180|270>" and "skeletal/turn/walk/90". At rest only the root,
// "walk" and the turn nodes above the clips have weight.
std::string WalkerPuppetXml();

// A navigation mesh of flat ground at y 0 from -500 to 500 in x and z, in square cells of 100 (two
// triangles each, sharing their corners).
std::unique_ptr<cl_Navmesh> MakeTestGround();
