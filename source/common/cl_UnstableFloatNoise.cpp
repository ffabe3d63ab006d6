#include "common/cl_UnstableFloatNoise.h"

cl_UnstableFloatNoise::cl_UnstableFloatNoise(float min, float max, float frequency, float minDownTime,
                                             float maxDownTime, float upTime, bool defaultOnDown,
                                             float defaultValue)
    : cl_FloatNoise(min, max, frequency), m_timer(upTime), m_minDownTime(minDownTime),
      m_maxDownTime(maxDownTime), m_upTime(upTime), m_defaultOnDown(defaultOnDown),
      m_defaultValue(defaultValue)
{
    SetCurrentValue(Random(min, max));
}

void cl_UnstableFloatNoise::Update(float dt)
{
    m_timer -= dt;
    // Without the dt test a phase of 0 seconds would flip every frame while no time passes.
    if (m_timer <= 0.0f && dt > 0.0f)
    {
        m_up = !m_up;
        if (m_up)
            m_timer = m_upTime;
        else
        {
            if (m_defaultOnDown)
                SetCurrentValue(m_defaultValue);
            m_timer = Random(m_minDownTime, m_maxDownTime);
        }
    }
    if (m_up)
        cl_FloatNoise::Update(dt);
}
