#include "graphics/cl_SplineShotGenerator.h"

#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Points a (0, 0, 0), b (100, 0, 0) and c (100, 0, 100) with shots of zoom 1, 2 and 4.
class SplineShotGenerator : public testing::Test
{
protected:
    SplineShotGenerator()
    {
        m_world.AddNode("a", Ogre::Vector3(0, 0, 0));
        m_world.AddNode("b", Ogre::Vector3(100, 0, 0));
        m_world.AddNode("c", Ogre::Vector3(100, 0, 100));
        m_world.camera.AddShot("at_a", Ogre::Vector3(0, -500, 0), 1.0f, 10.0f, "default");
        m_world.camera.AddShot("at_b", Ogre::Vector3(100, -500, 0), 2.0f, 20.0f, "default");
        m_world.camera.AddShot("at_c", Ogre::Vector3(100, -500, 100), 4.0f, 40.0f, "default");
    }

    std::unique_ptr<cl_ShotGenerator> Spline(const std::string& points)
    {
        return m_world.Generator(R"(<shotactivator type="spline" name="path">)" + points +
                                 "</shotactivator>");
    }

    BackdropWorld m_world;
};

const char* const TWO_POINTS = R"(<point helper="a" shot="at_a"/><point helper="b" shot="at_b"/>)";
} // namespace

TEST_F(SplineShotGenerator, OneSegmentGivesItsBlendWithoutRoll)
{
    m_world.AddAvatar(Ogre::Vector3(25, 0, 10));
    const cl_Shot shot = Spline(TWO_POINTS)->GenerateShot();
    EXPECT_FLOAT_EQ(shot.zoom, 1.25f);
    EXPECT_TRUE(shot.position.positionEquals(Ogre::Vector3(25, -500, 0), 1e-3f));
    EXPECT_EQ(shot.rotation, 0.0f);
    EXPECT_EQ(shot.backdrop, "current");
    // A threshold of 1 is reached by the one segment's whole weight.
    EXPECT_FLOAT_EQ(
        Spline(
            R"(<point helper="a" shot="at_a" threshold="1"/><point helper="b" shot="at_b" threshold="1"/>)")
            ->GenerateShot()
            .zoom,
        1.25f);
}

TEST_F(SplineShotGenerator, RadiiHoldTheEndsOfASegment)
{
    m_world.AddAvatar(Ogre::Vector3(15, 0, 10));
    const std::unique_ptr<cl_ShotGenerator> generator =
        Spline(R"(<point helper="a" shot="at_a" radius="20"/><point helper="b" shot="at_b" radius="20"/>)");
    EXPECT_FLOAT_EQ(generator->GenerateShot().zoom, 1.0f);
    m_world.MoveAvatar(Ogre::Vector3(50, 0, 10));
    EXPECT_FLOAT_EQ(generator->GenerateShot().zoom, 1.5f);
    m_world.MoveAvatar(Ogre::Vector3(85, 0, 10));
    EXPECT_FLOAT_EQ(generator->GenerateShot().zoom, 2.0f);
}

TEST_F(SplineShotGenerator, WeighsTheSegmentsByNearness)
{
    // 10 from the first segment at (95, 0, 0), 5 from the second at (100, 0, 10): weights 1000/100 and
    // 1000/25, a fifth and four fifths.
    m_world.AddAvatar(Ogre::Vector3(95, 0, 10));
    const std::unique_ptr<cl_ShotGenerator> generator = Spline(
        R"(<point helper="a" shot="at_a"/><point helper="b" shot="at_b"/><point helper="c" shot="at_c"/>)");
    const cl_Shot shot = generator->GenerateShot();
    const auto& points = dynamic_cast<cl_SplineShotGenerator&>(*generator).GetPoints();
    EXPECT_NEAR(points[0].weight, 0.2f, 1e-6f);
    EXPECT_NEAR(points[1].weight, 0.8f, 1e-6f);
    EXPECT_NEAR(shot.zoom, 0.2f * 1.95f + 0.8f * 2.2f, 1e-5f);
}

TEST(SplineShotGeneratorWithoutWeights, GivesTheShotWithoutValues)
{
    struct Case
    {
        const char* name;
        bool avatar;
        Ogre::Vector3 position;
        const char* points;
    };
    const Case cases[] = {
        {"no current character", false, Ogre::Vector3(25, 0, 10), TWO_POINTS},
        {"one point", true, Ogre::Vector3(25, 0, 10), R"(<point helper="a" shot="at_a"/>)"},
        {"right on the segment", true, Ogre::Vector3(25, 0, 0), TWO_POINTS},
        {"below every threshold", true, Ogre::Vector3(25, 0, 10),
         R"(<point helper="a" shot="at_a" threshold="2"/><point helper="b" shot="at_b" threshold="2"/>)"},
    };
    for (const Case& test : cases)
    {
        SCOPED_TRACE(test.name);
        BackdropWorld world;
        world.AddNode("a", Ogre::Vector3(0, 0, 0));
        world.AddNode("b", Ogre::Vector3(100, 0, 0));
        world.camera.AddShot("at_a", Ogre::Vector3(0, -500, 0), 3.0f, 0.0f, "default");
        world.camera.AddShot("at_b", Ogre::Vector3(100, -500, 0), 3.0f, 0.0f, "default");
        if (test.avatar)
            world.AddAvatar(test.position);
        const cl_Shot shot = world
                                 .Generator(std::string(R"(<shotactivator type="spline" name="path">)") +
                                            test.points + "</shotactivator>")
                                 ->GenerateShot();
        EXPECT_EQ(shot.zoom, 1.0f);
        EXPECT_EQ(shot.position, Ogre::Vector3::ZERO);
    }
}

TEST_F(SplineShotGenerator, SkipsAPointWithoutItsNode)
{
    m_world.AddAvatar(Ogre::Vector3(25, 0, 10));
    const std::unique_ptr<cl_ShotGenerator> generator = Spline(
        R"(<point helper="a" shot="at_a"/><point helper="gone" shot="at_c"/><point helper="b" shot="at_b"/>)");
    EXPECT_EQ(dynamic_cast<cl_SplineShotGenerator&>(*generator).GetPoints().size(), 2u);
    EXPECT_TRUE(m_world.log.Contains("The shot generator 'path' skips its point at 'gone'"));
    EXPECT_FLOAT_EQ(generator->GenerateShot().zoom, 1.25f);
}
