#include "graphics/cl_FilledCircleEmitter.h"

#include "graphics/cl_FilledCircleEmitterFactory.h"
#include "platform/particles/Particle.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "support/HeadlessParticles.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

namespace
{
using Ogre::Vector3;

TEST(FilledCircleEmitter, EmitsFromTheCentreToTheRimMoreOftenNearTheRim)
{
    HeadlessParticles world;
    world.Manager().addEmitterFactory(std::make_unique<cl_FilledCircleEmitterFactory>());
    world.Manager().parseScript("system pool {\ntechnique {\nquota 2000\nemitter FilledCircle c {\nradius 4\n"
                                "rate 2000\nlife 10\nvelocity 1\nauto_direction true\n}\n}\n}",
                                "pool.psys");
    particles::ParticleSystem* system =
        world.Manager().createParticleSystem("pool", "pool", &world.SceneManager());
    ASSERT_NE(system, nullptr);
    world.SceneManager().getRootSceneNode()->createChildSceneNode(Vector3(50, 7, 0))->attachObject(system);
    system->start();
    system->_update(1.0f);
    const particles::ParticleTechnique& technique = *system->getTechnique(0);
    ASSERT_EQ(technique.getNumParticles(), 2000u);
    EXPECT_EQ(technique.getEmitter(0)->getEmitterType(), "FilledCircle");
    int outer = 0;
    for (size_t i = 0; i < technique.getNumParticles(); ++i)
    {
        const particles::Particle& particle = technique.getParticle(i);
        const Vector3 offset = particle.position - Vector3(50, 7, 0);
        ASSERT_NEAR(offset.y, 0.0f, 1e-4f);
        ASSERT_LE(offset.length(), 4.0f + 1e-4f);
        if (offset.length() > 2.0f)
            ++outer;
        // Outwards through the point's angle.
        if (offset.length() > 0.01f)
            EXPECT_TRUE(particle.direction.positionEquals(offset.normalisedCopy(), 1e-3f));
    }
    EXPECT_GT(outer, 1200) << "more than half of them in the outer ring";
}
} // namespace
