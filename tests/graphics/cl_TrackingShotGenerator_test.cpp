#include "graphics/cl_TrackingShotGenerator.h"

#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

namespace
{
class TrackingShotGenerator : public testing::Test
{
protected:
    cl_TrackingShotGenerator& Tracking(const std::unique_ptr<cl_ShotGenerator>& generator)
    {
        return dynamic_cast<cl_TrackingShotGenerator&>(*generator);
    }

    BackdropWorld m_world;
};
} // namespace

TEST_F(TrackingShotGenerator, FollowsItsObjectOutsideTheDeadZone)
{
    m_world.AddAvatar(Ogre::Vector3(5, 0, 0));
    const std::unique_ptr<cl_ShotGenerator> generator =
        m_world.Generator(R"(<shotactivator type="mixed" name="follow" tolerance="2"/>)");
    // 5 away from the focus point at the origin: it moves up to 2 short of the avatar.
    EXPECT_TRUE(Tracking(generator).GetFocusPosition().positionEquals(Ogre::Vector3(3, 0, 0)));
    // 1.5 away: inside the dead zone.
    m_world.MoveAvatar(Ogre::Vector3(4.5f, 0, 0));
    EXPECT_TRUE(Tracking(generator).GetFocusPosition().positionEquals(Ogre::Vector3(3, 0, 0)));
    m_world.MoveAvatar(Ogre::Vector3(3, 0, -4));
    EXPECT_TRUE(Tracking(generator).GetFocusPosition().positionEquals(Ogre::Vector3(3, 0, -2)));
}

TEST_F(TrackingShotGenerator, FollowsANamedObject)
{
    m_world.AddAvatar(Ogre::Vector3(5, 6, 7));
    const std::unique_ptr<cl_ShotGenerator> generator =
        m_world.Generator(R"(<shotactivator type="multi" name="follow" objectname="hero"/>)");
    EXPECT_EQ(Tracking(generator).GetFocusPosition(), Ogre::Vector3(5, 6, 7));
}

TEST_F(TrackingShotGenerator, WithoutItsObjectFocusesTheOrigin)
{
    const std::unique_ptr<cl_ShotGenerator> generator =
        m_world.Generator(R"(<shotactivator type="rectangle" name="follow"/>)");
    EXPECT_EQ(Tracking(generator).GetFocusPosition(), Ogre::Vector3::ZERO);
}
