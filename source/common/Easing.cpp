#include "common/Easing.h"

#include <cmath>

namespace
{
// Single-precision constants as the curves were tuned with them.
constexpr float kHalfPi = 1.570796325f;
constexpr float kPi = 3.14159265f;
constexpr float kTwoPi = 6.2831853f;
constexpr float kBackOvershoot = 1.70158f;        // s
constexpr float kBackOvershootPlusOne = 2.70158f; // s + 1
constexpr float kBackInOutOvershoot = 2.5949094f; // s * 1.525
constexpr float kBackInOutOvershootPlusOne = 3.5949094f;
constexpr float kElasticPeriod = 0.3f;       // of d
constexpr float kElasticInOutPeriod = 0.45f; // of d
constexpr float kBounce = 7.5625f;

float Linear(float t, float b, float c, float d)
{
    return c * t / d + b;
}

float EaseInQuad(float t, float b, float c, float d)
{
    const float u = t / d;
    return c * u * u + b;
}

float EaseOutQuad(float t, float b, float c, float d)
{
    const float u = t / d;
    return -c * u * (u - 2.0f) + b;
}

float EaseInOutQuad(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return c / 2.0f * h * h + b;
    const float k = h - 1.0f;
    return -c / 2.0f * (k * (k - 2.0f) - 1.0f) + b;
}

float EaseInCubic(float t, float b, float c, float d)
{
    const float u = t / d;
    return c * u * u * u + b;
}

float EaseOutCubic(float t, float b, float c, float d)
{
    const float k = t / d - 1.0f;
    return c * (k * k * k + 1.0f) + b;
}

float EaseInOutCubic(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return c / 2.0f * h * h * h + b;
    const float k = h - 2.0f;
    return c / 2.0f * (k * k * k + 2.0f) + b;
}

float EaseInQuart(float t, float b, float c, float d)
{
    const float u = t / d;
    return c * u * u * u * u + b;
}

float EaseOutQuart(float t, float b, float c, float d)
{
    const float k = t / d - 1.0f;
    return -c * (k * k * k * k - 1.0f) + b;
}

float EaseInOutQuart(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return c / 2.0f * h * h * h * h + b;
    const float k = h - 2.0f;
    return -c / 2.0f * (k * k * k * k - 2.0f) + b;
}

float EaseInQuint(float t, float b, float c, float d)
{
    const float u = t / d;
    return c * u * u * u * u * u + b;
}

float EaseOutQuint(float t, float b, float c, float d)
{
    const float k = t / d - 1.0f;
    return c * (k * k * k * k * k + 1.0f) + b;
}

float EaseInOutQuint(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return c / 2.0f * h * h * h * h * h + b;
    const float k = h - 2.0f;
    return c / 2.0f * (k * k * k * k * k + 2.0f) + b;
}

float EaseInCirc(float t, float b, float c, float d)
{
    const float u = t / d;
    return -c * (std::sqrt(1.0f - u * u) - 1.0f) + b;
}

float EaseOutCirc(float t, float b, float c, float d)
{
    const float k = t / d - 1.0f;
    return c * std::sqrt(1.0f - k * k) + b;
}

float EaseInOutCirc(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return -c / 2.0f * (std::sqrt(1.0f - h * h) - 1.0f) + b;
    const float k = h - 2.0f;
    return c / 2.0f * (std::sqrt(1.0f - k * k) + 1.0f) + b;
}

float EaseInSine(float t, float b, float c, float d)
{
    return -c * std::cos(t / d * kHalfPi) + c + b;
}

float EaseOutSine(float t, float b, float c, float d)
{
    return c * std::sin(t / d * kHalfPi) + b;
}

float EaseInOutSine(float t, float b, float c, float d)
{
    return -c / 2.0f * (std::cos(kPi * t / d) - 1.0f) + b;
}

float EaseInBack(float t, float b, float c, float d)
{
    const float u = t / d;
    return c * u * u * (kBackOvershootPlusOne * u - kBackOvershoot) + b;
}

float EaseOutBack(float t, float b, float c, float d)
{
    const float k = t / d - 1.0f;
    return c * (k * k * (kBackOvershootPlusOne * k + kBackOvershoot) + 1.0f) + b;
}

float EaseInOutBack(float t, float b, float c, float d)
{
    const float h = t / (d / 2.0f);
    if (h < 1.0f)
        return c / 2.0f * (h * h * (kBackInOutOvershootPlusOne * h - kBackInOutOvershoot)) + b;
    const float k = h - 2.0f;
    return c / 2.0f * (k * k * (kBackInOutOvershootPlusOne * k + kBackInOutOvershoot) + 2.0f) + b;
}

// The elastic curves swing with amplitude c, shifted by a quarter period; their ends are exact tests
// because the swing only comes near b and b + c there. This is sin((x·d − s)·2π/p) with the period
// p = periodFactor·d and the shift s = p/4.
float ElasticSwing(float x, float d, float periodFactor)
{
    const float p = d * periodFactor;
    const float s = p / 4.0f;
    return std::sin((x * d - s) * kTwoPi / p);
}

float EaseInElastic(float t, float b, float c, float d)
{
    if (t == 0.0f)
        return b;
    const float u = t / d;
    if (u == 1.0f)
        return b + c;
    const float k = u - 1.0f;
    return b - ElasticSwing(k, d, kElasticPeriod) * c * std::pow(2.0f, 10.0f * k);
}

float EaseOutElastic(float t, float b, float c, float d)
{
    if (t == 0.0f)
        return b;
    const float u = t / d;
    if (u == 1.0f)
        return b + c;
    return ElasticSwing(u, d, kElasticPeriod) * c * std::pow(2.0f, -10.0f * u) + c + b;
}

float EaseInOutElastic(float t, float b, float c, float d)
{
    if (t == 0.0f)
        return b;
    const float h = t / (d / 2.0f);
    if (h == 2.0f)
        return b + c;
    const float k = h - 1.0f;
    const float swing = ElasticSwing(k, d, kElasticInOutPeriod) * c;
    if (h < 1.0f)
        return b - 0.5f * swing * std::pow(2.0f, 10.0f * k);
    return 0.5f * swing * std::pow(2.0f, -10.0f * k) + c + b;
}

float EaseOutBounce(float t, float b, float c, float d)
{
    float u = t / d;
    if (u < 0.36363637f)
        return c * kBounce * u * u + b;
    if (u < 0.72727275f)
    {
        u -= 0.5454545617103577f;
        return c * (kBounce * u * u + 0.75f) + b;
    }
    if (u < 0.9090909090909091f)
    {
        u -= 0.8181818127632141f;
        return c * (kBounce * u * u + 0.9375f) + b;
    }
    u -= 0.9545454382896423f;
    return c * (kBounce * u * u + 0.984375f) + b;
}

float EaseInBounce(float t, float b, float c, float d)
{
    return c - EaseOutBounce(d - t, 0.0f, c, d) + b;
}

float EaseInOutBounce(float t, float b, float c, float d)
{
    if (t < d / 2.0f)
        return EaseInBounce(t * 2.0f, 0.0f, c, d) * 0.5f + b;
    return EaseOutBounce(t * 2.0f - d, 0.0f, c, d) * 0.5f + c * 0.5f + b;
}

struct NamedCurve
{
    const char* name;
    EasingFunction curve;
};

const NamedCurve kCurves[] = {
    {"easeInQuad", EaseInQuad},           {"easeOutQuad", EaseOutQuad},
    {"easeInOutQuad", EaseInOutQuad},     {"easeInCubic", EaseInCubic},
    {"easeOutCubic", EaseOutCubic},       {"easeInOutCubic", EaseInOutCubic},
    {"easeInQuart", EaseInQuart},         {"easeOutQuart", EaseOutQuart},
    {"easeInOutQuart", EaseInOutQuart},   {"easeInQuint", EaseInQuint},
    {"easeOutQuint", EaseOutQuint},       {"easeInOutQuint", EaseInOutQuint},
    {"easeInCirc", EaseInCirc},           {"easeOutCirc", EaseOutCirc},
    {"easeInOutCirc", EaseInOutCirc},     {"easeInSine", EaseInSine},
    {"easeOutSine", EaseOutSine},         {"easeInOutSine", EaseInOutSine},
    {"easeInBack", EaseInBack},           {"easeOutBack", EaseOutBack},
    {"easeInOutBack", EaseInOutBack},     {"easeInElastic", EaseInElastic},
    {"easeOutElastic", EaseOutElastic},   {"easeInOutElastic", EaseInOutElastic},
    {"easeInBounce", EaseInBounce},       {"easeOutBounce", EaseOutBounce},
    {"easeInOutBounce", EaseInOutBounce},
};
} // namespace

EasingFunction GetEasingFunction(const std::string& name)
{
    for (const NamedCurve& named : kCurves)
    {
        if (name == named.name)
            return named.curve;
    }
    return Linear;
}
