#include "graphics/cl_MultiShotGenerator.h"

#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// The avatar stands right above the shot "there"; the shot "near" lies 3 from it on the plane.
class MultiShotGenerator : public testing::Test
{
protected:
    MultiShotGenerator()
    {
        m_world.AddBackdrop("default");
        m_world.StartScene("default");
        m_world.AddAvatar(Ogre::Vector3(10, -500, 0));
        m_world.camera.AddShot("there", Ogre::Vector3(10, -500, 0), 1.5f, 5.0f, "default");
        m_world.camera.AddShot("near", Ogre::Vector3(10, -500, 3), 2.5f, 0.0f, "default");
    }

    cl_Shot Choose(const std::string& shots)
    {
        return m_world.Generator(R"(<shotactivator type="multi" name="m">)" + shots + "</shotactivator>")
            ->GenerateShot();
    }

    BackdropWorld m_world;
};
} // namespace

TEST_F(MultiShotGenerator, ChoosesTheShotOfTheBestScore)
{
    // near: 2 / (3 + 1) = 0.5; there: 1 / (0 + 1) = 1.
    const cl_Shot shot = Choose(R"(<shot name="near" weight="2"/><shot name="there" weight="1"/>)");
    EXPECT_EQ(shot.zoom, 1.5f);
    EXPECT_EQ(shot.rotation, 5.0f);
    EXPECT_EQ(shot.backdrop, "default");
    // near: 8 / 4 = 2 wins now.
    EXPECT_EQ(Choose(R"(<shot name="near" weight="8"/><shot name="there"/>)").zoom, 2.5f);
}

TEST_F(MultiShotGenerator, KeepsTheLastWeightOfAName)
{
    EXPECT_EQ(
        Choose(R"(<shot name="near" weight="8"/><shot name="there"/><shot name="near" weight="1"/>)").zoom,
        1.5f);
}

TEST_F(MultiShotGenerator, AmongEqualScoresTheFirstByNameWins)
{
    m_world.camera.AddShot("also", Ogre::Vector3(10, -500, 0), 3.5f, 0.0f, "default");
    EXPECT_EQ(Choose(R"(<shot name="there"/><shot name="also"/>)").zoom, 3.5f);
}

TEST_F(MultiShotGenerator, SkipsAShotWithoutName)
{
    EXPECT_EQ(Choose(R"(<shot weight="9"/>)").zoom, 1.0f);
    EXPECT_TRUE(m_world.log.Contains("The shot generator 'm' skips a shot without name."));
}
