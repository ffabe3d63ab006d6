#pragma once

#include "common/cl_SettableFloat.h"

// A periodic source: amplitude * wave((time + phase) * frequency) + offset, the angle in radians. It reads
// 0.0 until its first update. SetValue sets the time and evaluates at once. The sine and the cosine are
// its two kinds.
class cl_FloatWave : public cl_SettableFloat
{
public:
    void Update(float dt) override;
    void SetValue(float value) override;

protected:
    cl_FloatWave(float frequency, float amplitude, float offset, float phase);

    virtual float Wave(float radians) const = 0;

private:
    float m_amplitude;
    float m_frequency;
    float m_time = 0.0f;
    float m_phase;
    float m_offset;
};
