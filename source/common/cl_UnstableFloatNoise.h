#pragma once

#include "common/cl_FloatNoise.h"

// A noise that drops out now and then: it runs for upTime seconds, then freezes (or falls to
// defaultValue when defaultOnDown is set) for a random time in [minDownTime, maxDownTime], and so on. It
// starts up, at a random value. A phase ends only in a frame in which time passes, so a phase of 0 seconds
// lasts one frame and a source that is switched off keeps its phase.
class cl_UnstableFloatNoise : public cl_FloatNoise
{
public:
    // Draws the noise's two targets, then the starting value.
    cl_UnstableFloatNoise(float min, float max, float frequency, float minDownTime, float maxDownTime,
                          float upTime, bool defaultOnDown, float defaultValue);

    void Update(float dt) override;

    bool IsUp() const { return m_up; }

private:
    bool m_up = true;
    float m_timer;
    float m_minDownTime;
    float m_maxDownTime;
    float m_upTime;
    bool m_defaultOnDown;
    float m_defaultValue;
};
