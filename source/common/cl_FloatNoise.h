#pragma once

#include "common/cl_FloatSource.h"

// Smoothed random noise: glides from one random target in [min, max] to the next, one target per period
// (1 / frequency seconds; a frequency of 0 never moves on). It reads 0.0 until its first update. Targets
// come from the program's one random generator (GameRand).
class cl_FloatNoise : public cl_FloatSource
{
public:
    enum Interpolation
    {
        INTERPOLATION_LINEAR = 0,
        INTERPOLATION_COSINE = 1, // any value but 1 is linear
    };

    // Draws the first two targets, in this order.
    cl_FloatNoise(float min, float max, float frequency);

    void Update(float dt) override;

    // Sets the range and moves the target being left into it; the target being approached stays.
    void SetRange(float min, float max);
    void SetInterpolation(int interpolation) { m_interpolation = interpolation; }

protected:
    // min + (max - min) * r / 32767 for the next GameRand value r.
    static float Random(float min, float max);

private:
    float Interpolate(float t) const;

    int m_interpolation = INTERPOLATION_COSINE;
    float m_min = 0.0f;
    float m_max = 0.0f;
    float m_from = 0.0f;
    float m_to = 0.0f;
    float m_elapsed = 0.0f;
    float m_period;
};
