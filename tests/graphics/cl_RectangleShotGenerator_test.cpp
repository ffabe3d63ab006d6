#include "graphics/cl_RectangleShotGenerator.h"

#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

namespace
{
class RectangleShotGenerator : public testing::Test
{
protected:
    BackdropWorld m_world;
};
} // namespace

TEST_F(RectangleShotGenerator, LooksAtTheFocusOnThePlanePulledToItsCentreByTheZoom)
{
    m_world.AddBackdrop("default");
    m_world.StartScene("default");
    // Halfway between the eye and the plane: its place on the plane is twice as far out.
    m_world.AddAvatar(Ogre::Vector3(50, 0, 20));
    const cl_Shot shot =
        m_world.Generator(R"(<shotactivator type="rectangle" name="r" zoom="2"/>)")->GenerateShot();
    EXPECT_TRUE(shot.position.positionEquals(Ogre::Vector3(50, -500, 20), 1e-3f));
    EXPECT_EQ(shot.zoom, 2.0f);
    EXPECT_EQ(shot.rotation, 0.0f);
    EXPECT_EQ(shot.backdrop, "current");
}

TEST_F(RectangleShotGenerator, WithoutAnActiveBackdropGivesTheShotWithoutValues)
{
    m_world.AddAvatar(Ogre::Vector3(50, 0, 20));
    const cl_Shot shot =
        m_world.Generator(R"(<shotactivator type="rectangle" name="r" zoom="0"/>)")->GenerateShot();
    EXPECT_EQ(shot.position, Ogre::Vector3::ZERO);
    EXPECT_EQ(shot.zoom, 1.0f);
    EXPECT_TRUE(m_world.log.Contains("The shot generator 'r' cannot zoom by 0.000000; it zooms by 1."));
}
