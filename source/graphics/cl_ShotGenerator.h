#pragma once

#include "graphics/cl_Shot.h"

// A source of shots computed anew each time they are asked for: following the avatar, blending fixed
// shots, shaking or panning. The camera owns the generators of the loaded scene.
class cl_ShotGenerator
{
public:
    virtual ~cl_ShotGenerator() = default;
    cl_ShotGenerator(const cl_ShotGenerator&) = delete;
    cl_ShotGenerator& operator=(const cl_ShotGenerator&) = delete;

    virtual cl_Shot GenerateShot() = 0;

protected:
    cl_ShotGenerator() = default;
};
