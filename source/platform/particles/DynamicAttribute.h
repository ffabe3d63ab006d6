#pragma once

namespace particles
{
// A value of an emitter or affector that may change over the particle system's time.
class DynamicAttribute
{
public:
    virtual ~DynamicAttribute() = default;
    // The value at time seconds since the system started.
    virtual float getValue(float time) const = 0;
};

// A value that stays as set.
class DynamicAttributeFixed : public DynamicAttribute
{
public:
    explicit DynamicAttributeFixed(float value = 0.0f) : m_value(value) {}

    void setValue(float value) { m_value = value; }
    float getValue(float = 0.0f) const override { return m_value; }

private:
    float m_value;
};

// Reads attributes that may be absent.
class DynamicAttributeHelper
{
public:
    // The attribute's value at time; defaultValue without an attribute.
    static float calculate(const DynamicAttribute* attribute, float time, float defaultValue)
    {
        return attribute ? attribute->getValue(time) : defaultValue;
    }
};
} // namespace particles
