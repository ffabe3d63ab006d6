#include "graphics/cl_LiquidAffector.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ParticleTechnique.h"

#include <OgreMath.h>
#include <gtest/gtest.h>

namespace
{
using Ogre::Vector3;

TEST(LiquidAffector, SwirlsFastestAtTheCentreDriftsOutwardsAndKeepsInsideItsRadius)
{
    cl_LiquidAffector liquid;
    liquid.getRotationSpeed().setValue(Ogre::Math::PI);
    particles::ParticleTechnique technique(nullptr);
    const struct
    {
        const char* what;
        Vector3 from;
        Vector3 to;
    } cases[] = {
        // f = 1 - 0.5 = 0.5: turned by pi x 0.25, 8 % further out.
        {"half way out", Vector3(50, 0, 0), Vector3(54 * 0.70710678f, 0, -54 * 0.70710678f)},
        {"at the radius: not turned, pulled back", Vector3(0, 0, 100), Vector3(0, 0, 100)},
        {"beyond it: back to the radius", Vector3(300, 0, 0), Vector3(100, 0, 0)},
        {"at the centre", Vector3::ZERO, Vector3::ZERO},
    };
    for (const auto& c : cases)
    {
        particles::Particle particle;
        particle.position = c.from;
        particle.direction = Vector3(3, 0, 0);
        liquid._affect(technique, particle, 1.0f);
        EXPECT_TRUE(particle.position.positionEquals(c.to, 1e-3f)) << c.what << ": " << particle.position;
        EXPECT_EQ(particle.direction, Vector3::ZERO) << c.what;
    }

    particles::Particle frozen;
    frozen.position = Vector3(50, 0, 0);
    frozen.setFreezed(true);
    liquid._affect(technique, frozen, 1.0f);
    EXPECT_EQ(frozen.position, Vector3(50, 0, 0));
}

TEST(LiquidAffector, TurnsAVisualParticleWithItsPlace)
{
    cl_LiquidAffector liquid;
    liquid.getRotationSpeed().setValue(Ogre::Math::TWO_PI);
    particles::ParticleTechnique technique(nullptr);
    particles::Particle particle;
    particle.position = Vector3(50, 0, 0);
    liquid._affect(technique, particle, 1.0f);
    const Ogre::Quaternion turned(Ogre::Radian(Ogre::Math::HALF_PI), Vector3::UNIT_Y);
    EXPECT_TRUE(particle.orientation.equals(turned, Ogre::Radian(0.01f)));
}
} // namespace
