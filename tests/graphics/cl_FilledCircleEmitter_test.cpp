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

TEST(FilledCircleEmitter, TheCircleIsTurnedAndStretchedWithTheSystemsScale)
{
    HeadlessParticles world;
    world.Manager().addEmitterFactory(std::make_unique<cl_FilledCircleEmitterFactory>());
    particles::ParticleSystem* source = world.Manager().createSystemTemplate("pool");
    source->setScale(Vector3(2, 1, 0.5f));
    auto* emitter = static_cast<cl_FilledCircleEmitter*>(
        source->createTechnique()->addEmitter(world.Manager().createEmitter(cl_FilledCircleEmitter::TYPE)));
    emitter->setName("c");
    emitter->setRadius(4.0f);
    emitter->getEmissionRate().setValue(500.0f);
    // The circle stands up: its x-z plane turned into the x-y plane.
    emitter->setOrientation(Ogre::Quaternion(Ogre::Degree(90), Vector3::UNIT_X));
    particles::ParticleSystem* system =
        world.Manager().createParticleSystem("pool", "pool", &world.SceneManager());
    system->start();
    system->_update(1.0f);
    const particles::ParticleTechnique& technique = *system->getTechnique(0);
    ASSERT_EQ(technique.getNumParticles(), 100u) << "the default quota";
    for (size_t i = 0; i < technique.getNumParticles(); ++i)
    {
        const Vector3& point = technique.getParticle(i).originalPosition;
        ASSERT_NEAR(point.z, 0.0f, 1e-4f);
        // Within the ellipse of half axes 8 (x) and 2 (y).
        ASSERT_LE(point.x * point.x / 64.0f + point.y * point.y / 4.0f, 1.0f + 1e-4f);
    }
}
} // namespace
