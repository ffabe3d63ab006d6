#include "common/cl_FloatWave.h"

#include <OgreMath.h>

cl_FloatWave::cl_FloatWave(float frequency, float amplitude, float offset, float phase)
    : m_amplitude(amplitude), m_frequency(frequency), m_phase(phase), m_offset(offset)
{
}

void cl_FloatWave::Update(float dt)
{
    m_time += dt;
    SetCurrentValue(m_amplitude * Wave((m_time + m_phase) * m_frequency) + m_offset);
}

void cl_FloatWave::SetValue(float value)
{
    m_time = value;
    Update(0.0f);
}

float cl_FloatSine::Wave(float radians) const
{
    return Ogre::Math::Sin(Ogre::Radian(radians), false);
}

float cl_FloatCosine::Wave(float radians) const
{
    return Ogre::Math::Cos(Ogre::Radian(radians), false);
}
