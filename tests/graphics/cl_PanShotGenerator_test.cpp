#include "graphics/cl_PanShotGenerator.h"

#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Scene.h"
#include "support/BackdropWorld.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
// A pan toward the shot "spot" at 1 radian a second, on a running camera; seen from the eye, the plane's
// centre lies straight below.
class PanShotGenerator : public testing::Test
{
protected:
    PanShotGenerator()
    {
        m_world.AddBackdrop("default");
        Spot(0.0f, 1.0f);
        m_world.StartScene("default");
    }

    // The spot at the angle (radians) from straight below.
    void Spot(float angle, float zoom)
    {
        m_world.camera.AddShot("spot", Ogre::Vector3(1000.0f * std::tan(angle), -500, 0), zoom, 0.0f,
                               "default");
    }

    BackdropWorld m_world;
    std::unique_ptr<cl_ShotGenerator> m_pan =
        m_world.Generator(R"(<shotactivator type="pan" name="pan" shot="spot" speed="1"/>)");
};
} // namespace

TEST_F(PanShotGenerator, ReachesANearTargetAtOnce)
{
    m_world.gameTime.Update(0.1f);
    Spot(0.05f, 2.0f);
    m_world.gameTime.Update(0.1f);
    EXPECT_FLOAT_EQ(m_pan->GenerateShot().position.x, 1000.0f * std::tan(0.05f));
    EXPECT_EQ(m_pan->GenerateShot().zoom, 2.0f);
}

TEST_F(PanShotGenerator, ApproachesAFarTargetAtItsSpeed)
{
    m_world.gameTime.Update(0.1f);
    Spot(0.5f, 2.0f);
    m_world.gameTime.Update(0.1f);
    // 0.1 of 0.5 radians: a fifth of the way.
    EXPECT_NEAR(m_pan->GenerateShot().position.x, 1000.0f * std::tan(0.5f) / 5.0f, 1e-2f);
    EXPECT_FLOAT_EQ(m_pan->GenerateShot().zoom, 1.2f);
}

TEST_F(PanShotGenerator, StartsAgainFromTheTargetAfterTheCameraStopped)
{
    m_world.gameTime.Update(0.1f);
    Spot(0.5f, 2.0f);
    m_world.camera.ActivateShot("spot");
    m_world.gameTime.Update(0.1f);
    EXPECT_FLOAT_EQ(m_pan->GenerateShot().zoom, 2.0f);
}

TEST_F(PanShotGenerator, MovesBeforeTheCameraShowsIt)
{
    m_world.camera.AddShotGenerator("pan", std::move(m_pan));
    m_world.camera.ActivateShot("pan");
    m_world.gameTime.Update(0.1f);
    Spot(0.5f, 2.0f);
    m_world.gameTime.Update(0.1f);
    cl_Backdrop& backdrop = *m_world.scene->GetActiveBackdrop();
    EXPECT_NEAR(backdrop.GetLookAtPoint().x, 1000.0f * std::tan(0.5f) / 5.0f, 1e-2f);
}
