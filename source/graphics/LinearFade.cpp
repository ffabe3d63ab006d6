#include "graphics/LinearFade.h"

void LinearFade::Start(float start, float target, float duration)
{
    m_start = start;
    m_target = target;
    m_elapsed = 0.0f;
    m_duration = duration;
    m_running = true;
}

void LinearFade::Hold(float target)
{
    m_target = target;
    m_elapsed = 0.0f;
    m_running = false;
}

float LinearFade::Advance(float dt)
{
    m_elapsed += dt;
    if (m_elapsed >= m_duration)
    {
        m_running = false;
        return m_target;
    }
    return m_start + (m_target - m_start) * m_elapsed / m_duration;
}

float LinearFade::GetRemainingTime() const
{
    return m_running ? m_duration - m_elapsed : 0.0f;
}
