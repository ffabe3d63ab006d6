#pragma once

#include "common/cl_SettableFloat.h"

// A periodic source: amplitude * wave((time + phase) * frequency) + offset, the angle in radians. It reads
// 0.0 until its first update. SetValue sets the time and evaluates at once. The sine and the cosine below
// are its two kinds.
class cl_FloatWave : public cl_SettableFloat
{
public:
    // Public so that the kinds inherit it; the class itself is abstract.
    cl_FloatWave(float frequency, float amplitude, float offset, float phase);

    void Update(float dt) override;
    void SetValue(float value) override;

protected:
    virtual float Wave(float radians) const = 0;

private:
    float m_amplitude;
    float m_frequency;
    float m_time = 0.0f;
    float m_phase;
    float m_offset;
};

class cl_FloatSine final : public cl_FloatWave
{
public:
    using cl_FloatWave::cl_FloatWave;

private:
    float Wave(float radians) const override;
};

class cl_FloatCosine final : public cl_FloatWave
{
public:
    using cl_FloatWave::cl_FloatWave;

private:
    float Wave(float radians) const override;
};
