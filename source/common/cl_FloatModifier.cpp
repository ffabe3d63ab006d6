#include "common/cl_FloatModifier.h"

cl_FloatModifier::cl_FloatModifier(float constant, float linear, float quadratic, float cubic,
                                   cl_FloatSource* source)
    : m_constant(constant), m_linear(linear), m_quadratic(quadratic), m_cubic(cubic), m_source(source)
{
    if (m_source)
        m_source->AddListener(this);
}

cl_FloatModifier::~cl_FloatModifier()
{
    if (m_source)
        m_source->RemoveListener(this);
}

void cl_FloatModifier::OnValueChanged(cl_FloatSource*, float, float newValue)
{
    const float v = newValue;
    SetCurrentValue(v * (m_linear + v * (m_quadratic + v * m_cubic)) + m_constant);
}

void cl_FloatModifier::OnSourceDestroyed(cl_FloatSource* source)
{
    if (source == m_source)
        m_source = nullptr;
}
