#pragma once

// A small rig and meshes built in code for puppet tests on a HeadlessOgre, made once per OGRE run
// (MakeTestFigure may be called again).
//
// Skeleton "figure.skeleton": bone 0 "body" (the first root, the body), bone 1 "motion" (the second root,
// which carries the root motion), bone 2 "hand" below "body" at (0, 2, 0). Its clips:
//   "walk"  1 s, looping: "motion" moves from 0 to 100 along +z (100 per second); "body" bobs.
//   "run"   1 s: "motion" moves 300 along +z.
//   "turn"  1 s: "motion" turns 90 degrees about +y.
//   "idle"  2 s: "hand" lifts by 1; no track for "motion".
//   "wave"  1 s: "hand" lifts by 2.
//   "enter" 1 s: "motion" starts 50 back along -z, turned 180 degrees about +y, and ends at the origin.
// "extra.skeleton": the same bones with the clips "bow" (2 s) and "nod" (1 s). "empty.skeleton": the same
// bones, no clips. "single.skeleton": one root "body" with a "walk" like the figure's on it.
//
// Meshes, each a triangle on shared vertices:
//   "figure_body.mesh", "figure_head.mesh", "figure_hat.mesh" rigged to "figure.skeleton"; the head has the
//   poses "blink" (vertex 0 by (0, 1, 0)) and "smile" (vertex 1 by (1, 0, 0)), the hat the pose "blink";
//   "single.mesh" rigged to "single.skeleton"; "still.mesh" rigged to "empty.skeleton"; "prop.mesh" with no
//   skeleton;
//   "face_source.mesh" with the head's poses and a pose animation "talk" (1 s) that the head lacks.
void MakeTestFigure();
