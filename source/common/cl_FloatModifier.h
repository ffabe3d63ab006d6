#pragma once

#include "common/IFloatSourceListener.h"
#include "common/cl_FloatSource.h"

// A cubic polynomial of another source: constant + linear * v + quadratic * v^2 + cubic * v^3. It reads
// 0.0 until the source next changes, and keeps its value when the source is destroyed.
class cl_FloatModifier : public cl_FloatSource, public IFloatSourceListener
{
public:
    // source: followed, not owned; may be null (the modifier then never changes).
    cl_FloatModifier(float constant, float linear, float quadratic, float cubic, cl_FloatSource* source);
    ~cl_FloatModifier() override;

    void OnValueChanged(cl_FloatSource* source, float oldValue, float newValue) override;
    void OnSourceDestroyed(cl_FloatSource* source) override;

private:
    float m_constant;
    float m_linear;
    float m_quadratic;
    float m_cubic;
    cl_FloatSource* m_source;
};
