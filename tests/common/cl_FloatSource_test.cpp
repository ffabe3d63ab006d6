#include "common/cl_FloatNoise.h"
#include "common/cl_FloatTime.h"
#include "common/cl_FloatWave.h"
#include "common/cl_StaticFloat.h"
#include "common/cl_UnstableFloatNoise.h"
#include "platform/GameRand.h"
#include "support/RecordingFloatListener.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

namespace
{
TEST(FloatSource, TellsEachListenerOnceInOrderAndOnlyOfRealChanges)
{
    RecordingFloatListener first;
    RecordingFloatListener second;
    cl_StaticFloat source(1.0f); // dies first: it tells its listeners of its end
    source.AddListener(&first);
    source.AddListener(&second);
    source.AddListener(&first);
    source.AddListener(nullptr);

    source.SetValue(1.0f); // equal: nobody hears of it
    source.SetValue(2.0f);
    source.RemoveListener(&second);
    source.SetValue(3.0f);

    ASSERT_EQ(first.changes.size(), 2u);
    EXPECT_EQ(first.changes[0].source, &source);
    EXPECT_EQ(first.changes[0].oldValue, 1.0f);
    EXPECT_EQ(first.changes[0].newValue, 2.0f);
    EXPECT_EQ(first.changes[1].oldValue, 2.0f);
    EXPECT_EQ(first.changes[1].newValue, 3.0f);
    ASSERT_EQ(second.changes.size(), 1u);
    EXPECT_EQ(second.changes[0].newValue, 2.0f);
}

TEST(FloatSource, TellsItsListenersOfItsEnd)
{
    RecordingFloatListener listener;
    cl_FloatSource* address = nullptr;
    {
        cl_FloatTime source;
        address = &source;
        source.AddListener(&listener);
    }
    EXPECT_EQ(listener.destroyed, std::vector<cl_FloatSource*>{address});
}

TEST(FloatSource, StartingValues)
{
    struct Case
    {
        const char* name;
        std::function<std::unique_ptr<cl_FloatSource>()> make;
        float before; // NAN: a random value
    } cases[] = {
        {"static holds its value at once", [] { return std::make_unique<cl_StaticFloat>(2.5f); }, 2.5f},
        {"time starts at 0", [] { return std::make_unique<cl_FloatTime>(); }, 0.0f},
        {"sine reads 0 until updated", [] { return std::make_unique<cl_FloatSine>(1.0f, 1.0f, 5.0f, 1.0f); },
         0.0f},
        {"cosine reads 0 until updated",
         [] { return std::make_unique<cl_FloatCosine>(1.0f, 1.0f, 5.0f, 0.0f); }, 0.0f},
        {"noise reads 0 until updated", [] { return std::make_unique<cl_FloatNoise>(2.0f, 3.0f, 1.0f); },
         0.0f},
        {"unstable noise starts at a random value",
         []
         { return std::make_unique<cl_UnstableFloatNoise>(2.0f, 3.0f, 1.0f, 1.0f, 1.0f, 1.0f, false, 0.0f); },
         NAN},
    };
    for (const Case& c : cases)
    {
        const std::unique_ptr<cl_FloatSource> source = c.make();
        if (std::isnan(c.before))
        {
            EXPECT_GE(source->GetValue(), 2.0f) << c.name;
            EXPECT_LE(source->GetValue(), 3.0f) << c.name;
        }
        else
            EXPECT_EQ(source->GetValue(), c.before) << c.name;
        EXPECT_EQ(source->GetActive(), 1.0f) << c.name;
    }
}

TEST(FloatSource, WavesFollowTheirTimeAndSetValueSetsTheTime)
{
    // amplitude * wave((time + phase) * frequency) + offset
    cl_FloatSine sine(2.0f, 3.0f, 1.0f, 0.5f);
    cl_FloatCosine cosine(2.0f, 3.0f, 1.0f, 0.5f);
    sine.Update(0.25f);
    cosine.Update(0.25f);
    EXPECT_NEAR(sine.GetValue(), 3.0f * std::sin(1.5f) + 1.0f, 1e-5f);
    EXPECT_NEAR(cosine.GetValue(), 3.0f * std::cos(1.5f) + 1.0f, 1e-5f);
    sine.Update(0.25f);
    EXPECT_NEAR(sine.GetValue(), 3.0f * std::sin(2.0f) + 1.0f, 1e-5f);

    sine.SetValue(1.0f);
    cosine.SetValue(1.0f);
    EXPECT_NEAR(sine.GetValue(), 3.0f * std::sin(3.0f) + 1.0f, 1e-5f) << "evaluated at once";
    EXPECT_NEAR(cosine.GetValue(), 3.0f * std::cos(3.0f) + 1.0f, 1e-5f) << "evaluated at once";
    sine.Update(0.0f);
    EXPECT_NEAR(sine.GetValue(), 3.0f * std::sin(3.0f) + 1.0f, 1e-5f) << "a step of 0 stays";
}

TEST(FloatSource, TimeCountsWhatItIsHanded)
{
    cl_FloatTime time;
    time.Update(0.5f);
    time.Update(0.25f);
    time.Update(0.0f);
    EXPECT_FLOAT_EQ(time.GetValue(), 0.75f);
    time.SetValue(10.0f);
    time.Update(1.0f);
    EXPECT_FLOAT_EQ(time.GetValue(), 11.0f);
}
} // namespace
