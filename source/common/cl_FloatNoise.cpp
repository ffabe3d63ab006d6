#include "common/cl_FloatNoise.h"

#include "platform/GameRand.h"

#include <OgreMath.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace
{
// A negative frequency counts as its size: a negative period would drive the glide outside [min, max].
float Period(float frequency)
{
    if (frequency == 0.0f)
        return std::numeric_limits<float>::infinity();
    return 1.0f / std::fabs(frequency);
}
} // namespace

cl_FloatNoise::cl_FloatNoise(float min, float max, float frequency) : m_period(Period(frequency))
{
    SetRange(min, max);
    m_from = Random(min, max);
    m_to = Random(min, max);
}

void cl_FloatNoise::Update(float dt)
{
    m_elapsed += dt;
    if (m_elapsed > m_period)
    {
        // However many periods passed, only one new target is drawn.
        m_elapsed = std::fmod(m_elapsed, m_period);
        m_from = m_to;
        m_to = Random(m_min, m_max);
    }
    SetCurrentValue(Interpolate(m_elapsed / m_period));
}

void cl_FloatNoise::SetRange(float min, float max)
{
    m_min = min;
    m_max = max;
    // Not std::clamp: it requires min <= max, which data need not keep.
    m_from = std::max(m_from, min);
    m_from = std::min(m_from, max);
}

float cl_FloatNoise::Random(float min, float max)
{
    return static_cast<float>(min + (max - min) * (platform::GameRand() / 32767.0));
}

float cl_FloatNoise::Interpolate(float t) const
{
    if (m_interpolation != INTERPOLATION_COSINE)
        return (1.0f - t) * m_from + t * m_to;
    const float f =
        0.5f + 0.5f * Ogre::Math::Cos(Ogre::Radian((1.0f - t) * 180.0f * Ogre::Math::fDeg2Rad), false);
    return (1.0f - f) * m_from + f * m_to;
}
