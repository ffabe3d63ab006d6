#include "graphics/cl_MixedShotGenerator.h"

#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

namespace
{
// Helper nodes 10 apart along x; the shots near and far blend from zoom 1 to zoom 3.
class MixedShotGenerator : public testing::Test
{
protected:
    MixedShotGenerator()
    {
        m_world.AddNode("near", Ogre::Vector3(0, 0, 0));
        m_world.AddNode("far", Ogre::Vector3(10, 0, 0));
        m_world.camera.AddShot("close", Ogre::Vector3(0, -500, 0), 1.0f, 0.0f, "default");
        m_world.camera.AddShot("wide", Ogre::Vector3(100, -500, 0), 3.0f, 30.0f, "default");
    }

    BackdropWorld m_world;
};
} // namespace

TEST_F(MixedShotGenerator, BlendsByWhereTheFocusLiesBetweenItsHelpers)
{
    struct Case
    {
        const char* name;
        Ogre::Vector3 avatar;
        float zoom;
    };
    const Case cases[] = {
        {"behind the first helper", Ogre::Vector3(-4, 0, 0), 1.0f},
        {"halfway", Ogre::Vector3(5, 3, 0), 2.0f},
        {"beyond the second helper", Ogre::Vector3(25, 0, 0), 3.0f},
    };
    m_world.AddAvatar(Ogre::Vector3::ZERO);
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        m_world.MoveAvatar(test.avatar);
        const std::unique_ptr<cl_ShotGenerator> generator = m_world.Generator(
            R"(<shotactivator type="mixed" name="m" helper0="near" helper1="far" shot0="close" shot1="wide"/>)");
        const cl_Shot shot = generator->GenerateShot();
        EXPECT_FLOAT_EQ(shot.zoom, test.zoom);
        EXPECT_FLOAT_EQ(shot.position.x, (test.zoom - 1.0f) * 50.0f);
        EXPECT_FLOAT_EQ(shot.rotation, (test.zoom - 1.0f) * 15.0f);
        EXPECT_EQ(shot.backdrop, "current");
    }
}

TEST_F(MixedShotGenerator, AMissingHelperGivesTheShotWithoutValues)
{
    m_world.AddAvatar(Ogre::Vector3(5, 0, 0));
    const std::unique_ptr<cl_ShotGenerator> generator = m_world.Generator(
        R"(<shotactivator type="mixed" name="m" helper0="near" helper1="gone" shot0="close" shot1="wide"/>)");
    EXPECT_TRUE(m_world.log.Contains("The shot generator 'm' blends along the scene node 'gone'"));
    const cl_Shot shot = generator->GenerateShot();
    EXPECT_EQ(shot.position, Ogre::Vector3::ZERO);
    EXPECT_EQ(shot.zoom, 1.0f);
    EXPECT_EQ(shot.backdrop, "current");
}

TEST_F(MixedShotGenerator, HelpersInOnePlaceGiveTheFirstShot)
{
    m_world.AddAvatar(Ogre::Vector3(5, 0, 0));
    const std::unique_ptr<cl_ShotGenerator> generator = m_world.Generator(
        R"(<shotactivator type="mixed" name="m" helper0="far" helper1="far" shot0="close" shot1="wide"/>)");
    EXPECT_EQ(generator->GenerateShot().zoom, 1.0f);
}
