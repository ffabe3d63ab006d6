#include "platform/GameRand.h"

#include <OgreMath.h>
#include <gtest/gtest.h>

namespace
{
TEST(GameRand, DrawsTheMicrosoftSequenceAndReseedingRepeatsIt)
{
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int round = 0; round < 2; ++round)
    {
        platform::GameSrand(1);
        for (const int value : expected)
            EXPECT_EQ(platform::GameRand(), value) << "round " << round;
    }
    platform::GameSrand(12345);
    EXPECT_NE(platform::GameRand(), 41);
}

TEST(GameRand, FeedsOgreRandomNumbers)
{
    platform::UseGameRandForOgre();
    platform::GameSrand(1);
    EXPECT_FLOAT_EQ(Ogre::Math::UnitRandom(), 41.0f / 32767.0f);
    EXPECT_FLOAT_EQ(Ogre::Math::RangeRandom(10.0f, 20.0f), 10.0f + 10.0f * 18467.0f / 32767.0f);

    platform::GameSrand(7);
    for (int i = 0; i < 10000; ++i)
    {
        const float unit = Ogre::Math::UnitRandom();
        ASSERT_GE(unit, 0.0f);
        ASSERT_LE(unit, 1.0f);
        const float ranged = Ogre::Math::RangeRandom(-3.0f, 5.0f);
        ASSERT_GE(ranged, -3.0f);
        ASSERT_LE(ranged, 5.0f);
    }
}
} // namespace
