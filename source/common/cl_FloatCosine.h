#pragma once

#include "common/cl_FloatWave.h"

// The cosine wave (see cl_FloatWave).
class cl_FloatCosine : public cl_FloatWave
{
public:
    cl_FloatCosine(float frequency, float amplitude, float offset, float phase)
        : cl_FloatWave(frequency, amplitude, offset, phase)
    {
    }

private:
    float Wave(float radians) const override;
};
