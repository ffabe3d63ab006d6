#include "graphics/cl_ShakingShotGenerator.h"

#include "common/cl_StaticFloat.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
// The shot "still" at the plane's centre, shaken by 3, 4 and 5.
class ShakingShotGenerator : public testing::Test
{
protected:
    ShakingShotGenerator()
    {
        m_world.camera.AddShot("still", Ogre::Vector3(0, -500, 0), 0.5f, 0.0f, "default");
        const float values[] = {3.0f, 4.0f, 5.0f};
        const char* names[] = {"sx", "sy", "sz"};
        for (int source = 0; source < 3; ++source)
            m_world.valueSources.AddFloatSource(names[source],
                                                std::make_unique<cl_StaticFloat>(values[source]));
    }

    cl_Shot Shake(const std::string& type)
    {
        return m_world
            .Generator(R"(<shotactivator type=")" + type +
                       R"(" name="quake" srcshot="still" xshakesrc="sx" yshakesrc="sy" zshakesrc="sz"/>)")
            ->GenerateShot();
    }

    BackdropWorld m_world;
};
} // namespace

TEST_F(ShakingShotGenerator, ShakesAlongTheWorldAxes)
{
    for (const char* type : {"shake", "shake3d"})
    {
        const cl_Shot shot = Shake(type);
        EXPECT_EQ(shot.position, Ogre::Vector3(3, -496, 5)) << type;
        EXPECT_EQ(shot.zoom, 0.5f);
    }
}

TEST_F(ShakingShotGenerator, ShakesInTheBackdropsPlane)
{
    // Without an active backdrop there is no plane to shake in.
    EXPECT_EQ(Shake("shake2d").position, Ogre::Vector3(0, -500, 0));
    m_world.AddBackdrop("default");
    m_world.StartScene("default");
    // Backdrop x runs along world x, backdrop y along world z.
    EXPECT_TRUE(Shake("shake2d").position.positionEquals(Ogre::Vector3(3, -500, 4), 1e-3f));
}

TEST_F(ShakingShotGenerator, ASourceThatIsNotThereDoesNotShake)
{
    const cl_Shot shot =
        m_world.Generator(R"(<shotactivator type="shake" name="quake" srcshot="still" xshakesrc="gone"/>)")
            ->GenerateShot();
    EXPECT_EQ(shot.position, Ogre::Vector3(0, -500, 0));
}
