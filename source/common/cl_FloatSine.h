#pragma once

#include "common/cl_FloatWave.h"

// The sine wave (see cl_FloatWave).
class cl_FloatSine : public cl_FloatWave
{
public:
    cl_FloatSine(float frequency, float amplitude, float offset, float phase)
        : cl_FloatWave(frequency, amplitude, offset, phase)
    {
    }

private:
    float Wave(float radians) const override;
};
