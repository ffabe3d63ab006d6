#pragma once

#include <OgreMatrix4.h>
#include <OgrePlane.h>

// Small numeric helpers shared by the subsystems.

// The orthographic projection of the box [left, right] x [bottom, top] x [near, far] onto the unit cube
// (OpenGL's glOrtho, row-major). A box with two equal bounds has no projection: the result is identity.
Ogre::Matrix4 MakeOrthoMatrix(float left, float right, float bottom, float top, float nearPlane,
                              float farPlane);

// The perspective projection with its near plane replaced by plane (in view space, facing what stays
// visible): what OGRE's custom near clip plane does to a projection it computes, for a projection given
// as a whole (OGRE leaves a custom projection matrix as it is). Far clipping and depth precision suffer
// as with OGRE's own; the sides are kept.
Ogre::Matrix4 ClipNearByPlane(const Ogre::Matrix4& projection, const Ogre::Plane& plane);

// A half-normal random value in [0, scale] drawn through OGRE's RangeRandom (so from GameRand once it
// feeds OGRE): cap standard deviations map to scale, farther draws are cut to scale.
float RandomGaussian(float scale, float cap);

// The second half (t from 1 to 2) of easeInOutQuad with start 0, change 1 and duration 2: 0.5 at 1, 1 at 2.
float EaseInOutQuadSecondHalf(float t);

float Fabs(float x);
