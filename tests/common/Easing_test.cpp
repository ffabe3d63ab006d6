#include "common/Easing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <string>

namespace
{
// Independent reference: each family's ease-in shape on [0, 1], from Penner's formulas in double
// precision. The ease-out curve mirrors it (1 - in(1 - u)) and the ease-in-out curve joins a half-size
// in-curve to a half-size out-curve; the bounce family is defined from its out-curve instead.
enum class Family
{
    Quad,
    Cubic,
    Quart,
    Quint,
    Circ,
    Sine,
    Back,
    Elastic,
    Bounce
};
enum class Kind
{
    In,
    Out,
    InOut
};

double OutBounceShape(double u)
{
    if (u < 1 / 2.75)
        return 7.5625 * u * u;
    if (u < 2 / 2.75)
        return 7.5625 * (u - 1.5 / 2.75) * (u - 1.5 / 2.75) + 0.75;
    if (u < 2.5 / 2.75)
        return 7.5625 * (u - 2.25 / 2.75) * (u - 2.25 / 2.75) + 0.9375;
    return 7.5625 * (u - 2.625 / 2.75) * (u - 2.625 / 2.75) + 0.984375;
}

// The in-out back and elastic curves use their own overshoot and period.
double InShape(Family family, double u, bool forInOut)
{
    const double pi = std::acos(-1.0);
    switch (family)
    {
    case Family::Quad:
        return std::pow(u, 2);
    case Family::Cubic:
        return std::pow(u, 3);
    case Family::Quart:
        return std::pow(u, 4);
    case Family::Quint:
        return std::pow(u, 5);
    case Family::Circ:
        return 1 - std::sqrt(1 - u * u);
    case Family::Sine:
        return 1 - std::cos(u * pi / 2);
    case Family::Back:
    {
        const double s = forInOut ? 1.70158 * 1.525 : 1.70158;
        return u * u * ((s + 1) * u - s);
    }
    case Family::Elastic:
    {
        if (u == 0 || u == 1)
            return u;
        const double period = forInOut ? 0.45 : 0.3;
        return -std::pow(2, 10 * (u - 1)) * std::sin(((u - 1) - period / 4) * 2 * pi / period);
    }
    case Family::Bounce:
        return 1 - OutBounceShape(1 - u);
    }
    return 0;
}

double ReferenceShape(Family family, Kind kind, double u)
{
    switch (kind)
    {
    case Kind::In:
        return InShape(family, u, false);
    case Kind::Out:
        return 1 - InShape(family, 1 - u, false);
    case Kind::InOut:
        return u < 0.5 ? InShape(family, 2 * u, true) / 2 : 1 - InShape(family, 2 - 2 * u, true) / 2;
    }
    return 0;
}

struct Curve
{
    const char* name;
    Family family;
    Kind kind;
};

// Every name the data may use, written out here so that a misspelt or missing name in the engine
// (which would quietly fall back to linear) fails the reference comparison.
const Curve kCurves[] = {
    {"easeInQuad", Family::Quad, Kind::In},           {"easeOutQuad", Family::Quad, Kind::Out},
    {"easeInOutQuad", Family::Quad, Kind::InOut},     {"easeInCubic", Family::Cubic, Kind::In},
    {"easeOutCubic", Family::Cubic, Kind::Out},       {"easeInOutCubic", Family::Cubic, Kind::InOut},
    {"easeInQuart", Family::Quart, Kind::In},         {"easeOutQuart", Family::Quart, Kind::Out},
    {"easeInOutQuart", Family::Quart, Kind::InOut},   {"easeInQuint", Family::Quint, Kind::In},
    {"easeOutQuint", Family::Quint, Kind::Out},       {"easeInOutQuint", Family::Quint, Kind::InOut},
    {"easeInCirc", Family::Circ, Kind::In},           {"easeOutCirc", Family::Circ, Kind::Out},
    {"easeInOutCirc", Family::Circ, Kind::InOut},     {"easeInSine", Family::Sine, Kind::In},
    {"easeOutSine", Family::Sine, Kind::Out},         {"easeInOutSine", Family::Sine, Kind::InOut},
    {"easeInBack", Family::Back, Kind::In},           {"easeOutBack", Family::Back, Kind::Out},
    {"easeInOutBack", Family::Back, Kind::InOut},     {"easeInElastic", Family::Elastic, Kind::In},
    {"easeOutElastic", Family::Elastic, Kind::Out},   {"easeInOutElastic", Family::Elastic, Kind::InOut},
    {"easeInBounce", Family::Bounce, Kind::In},       {"easeOutBounce", Family::Bounce, Kind::Out},
    {"easeInOutBounce", Family::Bounce, Kind::InOut},
};

// A falling movement with an offset start and a duration other than 1, so that b, c and d all matter.
constexpr float kStart = 2.0f;
constexpr float kChange = -5.0f;
constexpr float kDuration = 3.0f;
constexpr double kTolerance = 1e-4;

TEST(Easing, EveryCurveStartsAtBAndEndsAtBPlusC)
{
    ASSERT_EQ(std::size(kCurves), 27u);
    for (const Curve& curve : kCurves)
    {
        const EasingFunction f = GetEasingFunction(curve.name);
        EXPECT_NEAR(f(0.0f, kStart, kChange, kDuration), kStart, kTolerance) << curve.name;
        EXPECT_NEAR(f(kDuration, kStart, kChange, kDuration), kStart + kChange, kTolerance) << curve.name;
    }
}

TEST(Easing, CurvesMatchPennerReferenceValues)
{
    // Away from the bounce curve's seams, where its single-precision constants may pick the other arc.
    const double fractions[] = {0.1, 0.3, 0.45, 0.5, 0.55, 0.8, 0.95};
    for (const Curve& curve : kCurves)
    {
        const EasingFunction f = GetEasingFunction(curve.name);
        for (double u : fractions)
        {
            const float t = static_cast<float>(u * kDuration);
            const double expected = kStart + kChange * ReferenceShape(curve.family, curve.kind, u);
            EXPECT_NEAR(f(t, kStart, kChange, kDuration), expected, kTolerance)
                << curve.name << " at u=" << u;
        }
    }
}

TEST(Easing, OtherNamesGiveTheLinearCurve)
{
    const char* const names[] = {"",           "linear",     "easeInExpo",  "easeInOutExpo",
                                 "EaseInQuad", "easeinquad", "easeInQuad ", "easeIn"};
    for (const char* name : names)
    {
        const EasingFunction f = GetEasingFunction(name);
        for (float t : {0.0f, 0.75f, 1.5f, 3.0f})
            EXPECT_NEAR(f(t, kStart, kChange, kDuration), kStart + kChange * t / kDuration, 1e-6)
                << '"' << name << '"';
    }
}
} // namespace
