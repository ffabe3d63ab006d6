#include "common/cl_FloatNoise.h"
#include "common/cl_UnstableFloatNoise.h"
#include "platform/GameRand.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace
{
// The draw the sources make: lo + (hi - lo) * r / 32767 for the next GameRand value r.
float Draw(float lo, float hi)
{
    return static_cast<float>(lo + (hi - lo) * (platform::GameRand() / 32767.0));
}

float CosineBlend(float from, float to, float t)
{
    const float f = 0.5f + 0.5f * std::cos((1.0f - t) * 3.14159265f);
    return (1.0f - f) * from + f * to;
}

class NoiseTest : public testing::Test
{
protected:
    void SetUp() override { platform::GameSrand(7); }
    void TearDown() override { platform::GameSrand(1); }
};

TEST_F(NoiseTest, GlidesFromTargetToTargetOneTargetPerPeriod)
{
    const float from = Draw(2.0f, 6.0f);
    const float to = Draw(2.0f, 6.0f);
    const float next = Draw(2.0f, 6.0f);
    platform::GameSrand(7);
    cl_FloatNoise noise(2.0f, 6.0f, 0.5f); // a period of 2 seconds

    noise.Update(1.0f);
    EXPECT_NEAR(noise.GetValue(), (from + to) / 2.0f, 1e-5f);
    noise.Update(1.0f);
    EXPECT_NEAR(noise.GetValue(), to, 1e-5f) << "the end of a period is still the same glide";
    noise.Update(0.5f + 4.0f);
    EXPECT_NEAR(noise.GetValue(), CosineBlend(to, next, 0.25f), 1e-5f) << "several periods draw one target";
    noise.SetInterpolation(cl_FloatNoise::INTERPOLATION_LINEAR);
    noise.Update(0.5f);
    EXPECT_NEAR(noise.GetValue(), 0.5f * to + 0.5f * next, 1e-5f);
}

TEST_F(NoiseTest, FrequencyZeroStaysAtTheFirstTarget)
{
    const float from = Draw(2.0f, 6.0f);
    platform::GameSrand(7);
    cl_FloatNoise noise(2.0f, 6.0f, 0.0f);
    for (int frame = 0; frame < 100; ++frame)
    {
        noise.Update(10.0f);
        ASSERT_FLOAT_EQ(noise.GetValue(), from) << frame;
    }
}

TEST_F(NoiseTest, StaysWithinItsRange)
{
    const float steps[] = {0.016f, 0.5f, 3.0f, 0.0f, 0.1f, 7.5f, 0.033f};
    struct Case
    {
        const char* name;
        unsigned int seed;
        float frequency;
        int interpolation;
        bool unstable;
    } cases[] = {
        {"cosine noise", 3, 2.0f, cl_FloatNoise::INTERPOLATION_COSINE, false},
        {"linear noise", 11, 0.7f, cl_FloatNoise::INTERPOLATION_LINEAR, false},
        {"negative frequency", 5, -1.5f, cl_FloatNoise::INTERPOLATION_LINEAR, false},
        {"unstable noise", 3, 2.0f, cl_FloatNoise::INTERPOLATION_COSINE, true},
        {"linear unstable noise", 19, 4.0f, cl_FloatNoise::INTERPOLATION_LINEAR, true},
    };
    for (const Case& c : cases)
    {
        platform::GameSrand(c.seed);
        std::unique_ptr<cl_FloatNoise> noise;
        if (c.unstable)
            noise = std::make_unique<cl_UnstableFloatNoise>(-1.0f, 0.5f, c.frequency, 0.1f, 2.0f, 1.0f, false,
                                                            9.0f);
        else
            noise = std::make_unique<cl_FloatNoise>(-1.0f, 0.5f, c.frequency);
        noise->SetInterpolation(c.interpolation);
        for (int frame = 0; frame < 2000; ++frame)
        {
            noise->Update(steps[frame % 7]);
            ASSERT_GE(noise->GetValue(), -1.0f) << c.name << " frame " << frame;
            ASSERT_LE(noise->GetValue(), 0.5f) << c.name << " frame " << frame;
        }
    }
}

// min = max: the noise reads 2 whenever it runs, so the value shows the phase.
TEST_F(NoiseTest, UnstableNoiseRunsForItsUpTimeAndDropsOutForItsDownTime)
{
    cl_UnstableFloatNoise noise(2.0f, 2.0f, 1.0f, 0.5f, 0.5f, 1.0f, true, -1.0f);
    const struct
    {
        bool up;
        float value;
    } frames[] = {{true, 2}, {true, 2}, {true, 2}, {false, -1}, {false, -1},
                  {true, 2}, {true, 2}, {true, 2}, {true, 2},   {false, -1}};
    int frame = 0;
    for (const auto& expected : frames)
    {
        noise.Update(0.25f);
        EXPECT_EQ(noise.IsUp(), expected.up) << "frame " << frame;
        EXPECT_EQ(noise.GetValue(), expected.value) << "frame " << frame;
        ++frame;
    }
}

TEST_F(NoiseTest, UnstableNoiseFreezesWhileDownWithoutDefault)
{
    cl_UnstableFloatNoise noise(2.0f, 6.0f, 3.0f, 1.0f, 1.0f, 0.5f, false, -1.0f);
    noise.Update(0.25f);
    const float last = noise.GetValue();
    noise.Update(0.25f);
    ASSERT_FALSE(noise.IsUp());
    EXPECT_EQ(noise.GetValue(), last);
    noise.Update(0.5f);
    EXPECT_EQ(noise.GetValue(), last);
}

TEST_F(NoiseTest, UnstableNoiseWithUpTimeZeroIsUpForOneFrameAndNeverFlipsWhileTimeStands)
{
    cl_UnstableFloatNoise noise(2.0f, 2.0f, 1.0f, 0.5f, 0.5f, 0.0f, true, -1.0f);
    for (int frame = 0; frame < 3; ++frame)
    {
        noise.Update(0.0f);
        EXPECT_TRUE(noise.IsUp()) << "switched off, frame " << frame;
    }
    const bool frames[] = {false, false, true, false, false, true, false};
    int frame = 0;
    for (bool up : frames)
    {
        noise.Update(0.25f);
        EXPECT_EQ(noise.IsUp(), up) << "frame " << frame;
        EXPECT_EQ(noise.GetValue(), up ? 2.0f : -1.0f) << "frame " << frame;
        if (!up)
        {
            noise.Update(0.0f);
            EXPECT_FALSE(noise.IsUp()) << "a step of 0 keeps the phase, frame " << frame;
        }
        ++frame;
    }
}
} // namespace
