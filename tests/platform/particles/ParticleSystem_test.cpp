#include "platform/particles/ParticleSystem.h"

#include "platform/particles/ColourAffector.h"
#include "platform/particles/LinearForceAffector.h"
#include "platform/particles/Particle.h"
#include "platform/particles/ParticleSystemFactory.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "platform/particles/PointEmitter.h"
#include "platform/particles/VortexAffector.h"
#include "support/HeadlessParticles.h"
#include "support/LogCapture.h"

#include <OgreFrameListener.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>

namespace
{
using particles::Particle;
using particles::ParticleSystem;
using particles::ParticleTechnique;

size_t Live(const ParticleSystem& system)
{
    size_t count = 0;
    for (size_t i = 0; i < system.getNumTechniques(); ++i)
        count += system.getTechnique(i)->getNumParticles();
    return count;
}

class ParticleSystems : public testing::Test
{
protected:
    particles::ParticleSystemManager& Manager() const { return m_world.Manager(); }
    Ogre::SceneManager& Scene() const { return m_world.SceneManager(); }
    // A running system of a steady template; created fresh for each call.
    ParticleSystem& Steady(float rate, float life, size_t quota = 1000)
    {
        const std::string name = "steady" + std::to_string(m_made++);
        m_world.AddSteadyTemplate(name, rate, life, quota);
        ParticleSystem* system = Manager().createParticleSystem(name, name, &Scene());
        system->start();
        return *system;
    }

    LogCapture m_log;
    HeadlessParticles m_world;
    int m_made = 0;
};

TEST_F(ParticleSystems, AfterAFastForwardRateTimesLifeParticlesLive)
{
    const struct
    {
        float rate;
        float life;
        float interval;
        size_t live;
    } cases[] = {
        {8.0f, 2.0f, 0.25f, 16},  // two a step, eight steps of life
        {10.0f, 0.5f, 0.125f, 5}, // a quarter particle kept from step to step
        {4.0f, 1.5f, 0.5f, 6},
        {30.0f, 2.0f, 0.25f, 20}, // the quota caps
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.rate << " per second for " << c.life << " s");
        ParticleSystem& system = Steady(c.rate, c.life, 20);
        system.setFastForward(10.0f, c.interval);
        system.fastForward();
        EXPECT_EQ(Live(system), c.live);
        EXPECT_FLOAT_EQ(system.getTimeElapsedSinceStart(), 10.0f);
    }
}

TEST_F(ParticleSystems, AfterStopFadeNothingNewIsMadeAndTheSystemEmptiesWithinOneLife)
{
    ParticleSystem& system = Steady(8.0f, 2.0f);
    system.setFastForward(5.0f, 0.25f);
    system.fastForward();
    ASSERT_EQ(Live(system), 16u);
    system.stopFade();
    EXPECT_EQ(system.getState(), ParticleSystem::FADING);
    size_t before = Live(system);
    for (int step = 0; step < 8; ++step)
    {
        system._update(0.25f);
        EXPECT_LT(Live(system), before);
        before = Live(system);
    }
    EXPECT_EQ(Live(system), 0u);
    EXPECT_EQ(system.getState(), ParticleSystem::STOPPED);
    system._update(0.25f);
    EXPECT_EQ(Live(system), 0u);

    system.start();
    system._update(0.25f);
    EXPECT_EQ(Live(system), 2u);
}

TEST_F(ParticleSystems, StopEndsEveryParticleAtOnceAndAStoppedSystemStands)
{
    ParticleSystem& system = Steady(8.0f, 2.0f);
    system._update(1.0f);
    ASSERT_EQ(Live(system), 8u);
    system.stop();
    EXPECT_EQ(Live(system), 0u);
    system._update(1.0f);
    EXPECT_EQ(Live(system), 0u);
    system.stopFade();
    EXPECT_EQ(system.getState(), ParticleSystem::STOPPED);
}

TEST_F(ParticleSystems, AFastForwardTooLongForItsStepsTakesLongerSteps)
{
    ParticleSystem& system = Steady(1.0f, 1.0f, 1);
    system.setFastForward(1.0e9f, 1.0f);
    system.fastForward(); // ten thousand steps of 1e5 s, not a billion
    EXPECT_NEAR(system.getTimeElapsedSinceStart(), 1.0e9f, 1.0e6f);

    const float times[] = {0.0f, -1.0f, std::numeric_limits<float>::quiet_NaN()};
    for (const float time : times)
    {
        ParticleSystem& other = Steady(8.0f, 2.0f);
        other.setFastForward(time, 0.25f);
        other.fastForward();
        EXPECT_EQ(other.getTimeElapsedSinceStart(), 0.0f) << time;
    }
}

TEST_F(ParticleSystems, ANameInUseAnUnknownTemplateOrNoSceneManagerIsRefused)
{
    m_world.AddSteadyTemplate("fire", 1.0f, 1.0f, 10);
    ParticleSystem* first = Manager().createParticleSystem("torch", "fire", &Scene());
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->getSceneManager(), &Scene());
    EXPECT_EQ(first->getMovableType(), "Particles");
    EXPECT_EQ(first->getState(), ParticleSystem::STOPPED);

    EXPECT_EQ(Manager().createParticleSystem("torch", "fire", &Scene()), nullptr);
    EXPECT_TRUE(m_log.Contains("A particle system named 'torch' exists already.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Manager().createParticleSystem("lamp", "smoke", &Scene()), nullptr);
    EXPECT_TRUE(m_log.Contains("There is no particle system template 'smoke' for the particle system 'lamp'.",
                               cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Manager().createParticleSystem("lamp", "fire", nullptr), nullptr);
    EXPECT_TRUE(m_log.Contains("The particle system 'lamp' needs a name and a scene manager",
                               cl_Logger::LEVEL_ERROR));
    EXPECT_NE(Manager().createParticleSystem("lamp", "fire", &Scene()), nullptr);
}

TEST_F(ParticleSystems, NoOgreObjectIsLeftOnceSystemsAndTemplatesAreDestroyed)
{
    m_world.AddSteadyTemplate("fire", 1.0f, 1.0f, 10);
    Ogre::SceneNode* node = Scene().getRootSceneNode()->createChildSceneNode("torch");
    ParticleSystem* kept = Manager().createParticleSystem("kept", "fire", &Scene());
    ParticleSystem* destroyed = Manager().createParticleSystem("destroyed", "fire", &Scene());
    node->attachObject(kept);
    node->attachObject(destroyed);

    Manager().destroyParticleSystem(destroyed, &Scene());
    EXPECT_FALSE(Scene().hasMovableObject("destroyed", "Particles"));
    EXPECT_EQ(node->numAttachedObjects(), 1u);
    Manager().destroyParticleSystem(nullptr, &Scene());

    Manager().destroyAllTemplates();
    EXPECT_TRUE(Manager().getSystemTemplateNames().empty());
    EXPECT_EQ(kept->getNumTechniques(), 1u); // its copy stays

    m_world.DestroyManager();
    EXPECT_FALSE(Scene().hasMovableObject("kept", "Particles"));
    EXPECT_EQ(node->numAttachedObjects(), 0u);
    EXPECT_FALSE(Ogre::Root::getSingleton().hasMovableObjectFactory("Particles"));
}

TEST_F(ParticleSystems, OgreFramesAdvanceEverySystem)
{
    ParticleSystem& a = Steady(4.0f, 10.0f);
    ParticleSystem& b = Steady(2.0f, 10.0f);
    Ogre::FrameEvent frame;
    frame.timeSinceLastEvent = frame.timeSinceLastFrame = 1.0f;
    Ogre::Root::getSingleton()._fireFrameStarted(frame);
    EXPECT_EQ(Live(a), 4u);
    EXPECT_EQ(Live(b), 2u);
}

TEST_F(ParticleSystems, ParticlesStartAtTheNodeAndStayInTheWorldWhenItMoves)
{
    ParticleSystem& system = Steady(1.0f, 10.0f);
    Ogre::SceneNode* node = Scene().getRootSceneNode()->createChildSceneNode(Ogre::Vector3(100, 0, 0));
    node->attachObject(&system);
    system._update(1.0f);
    ASSERT_EQ(Live(system), 1u);
    EXPECT_EQ(system.getTechnique(0)->getParticle(0).position, Ogre::Vector3(100, 0, 0));

    node->setPosition(0, 0, 300);
    system._update(1.0f);
    ASSERT_EQ(Live(system), 2u);
    EXPECT_EQ(system.getTechnique(0)->getParticle(0).position, Ogre::Vector3(100, 0, 0));
    EXPECT_EQ(system.getTechnique(0)->getParticle(1).position, Ogre::Vector3(0, 0, 300));
    // The bounds hold both, with half a 10 x 10 quad's diagonal round each.
    const Ogre::AxisAlignedBox& world = system.getWorldBoundingBox(true);
    EXPECT_TRUE(world.contains(Ogre::Vector3(105, 0, 0)));
    EXPECT_TRUE(world.contains(Ogre::Vector3(0, 0, 305)));
    EXPECT_FALSE(world.contains(Ogre::Vector3(0, 0, 310)));

    system.stop();
    EXPECT_TRUE(system.getBoundingBox().isNull());
}

TEST_F(ParticleSystems, EmittersAreFoundByNameAndADisabledOneMakesNothing)
{
    ParticleSystem& system = Steady(4.0f, 10.0f);
    ParticleTechnique& technique = *system.getTechnique(0);
    ASSERT_NE(technique.getEmitter("steady"), nullptr);
    EXPECT_EQ(technique.getEmitter("Steady"), nullptr);
    EXPECT_EQ(technique.getEmitter(1), nullptr);
    technique.getEmitter("steady")->setEnabled(false);
    system._update(1.0f);
    EXPECT_EQ(Live(system), 0u);
    technique.getEmitter(0)->setEnabled(true);
    technique.getEmitter(0)->getEmissionRate().setValue(-5.0f);
    system._update(1.0f);
    EXPECT_EQ(Live(system), 0u);
}

TEST_F(ParticleSystems, AParticleFliesAlongTheEmitterDirectionTurnedWithTheNode)
{
    ParticleSystem& system = Steady(1.0f, 10.0f);
    particles::ParticleEmitter& emitter = *system.getTechnique(0)->getEmitter(0);
    emitter.getVelocity().setValue(5.0f);
    emitter.setDirection(Ogre::Vector3(0, 0, 3));
    Ogre::SceneNode* node = Scene().getRootSceneNode()->createChildSceneNode();
    node->yaw(Ogre::Degree(90)); // +z turns to +x
    node->attachObject(&system);
    system._update(1.0f);
    system._update(1.0f);
    const Particle& particle = system.getTechnique(0)->getParticle(0);
    EXPECT_TRUE(particle.direction.positionEquals(Ogre::Vector3(5, 0, 0), 1e-4f));
    EXPECT_TRUE(particle.position.positionEquals(Ogre::Vector3(5, 0, 0), 1e-4f));
}

TEST_F(ParticleSystems, AnAngleDeviatesDirectionsByUpToItsDegrees)
{
    ParticleSystem& system = Steady(100.0f, 10.0f);
    particles::ParticleEmitter& emitter = *system.getTechnique(0)->getEmitter(0);
    emitter.getAngle().setValue(30.0f);
    emitter.getVelocity().setValue(1.0f);
    system._update(1.0f);
    ASSERT_EQ(Live(system), 100u);
    float widest = 0.0f;
    for (size_t i = 0; i < 100; ++i)
    {
        const float angle = system.getTechnique(0)
                                ->getParticle(i)
                                .direction.angleBetween(Ogre::Vector3::UNIT_Y)
                                .valueDegrees();
        EXPECT_LE(angle, 30.01f);
        widest = std::max(widest, angle);
    }
    EXPECT_GT(widest, 20.0f);
}

TEST_F(ParticleSystems, TheColourAffectorBlendsBetweenKeysByTheLifeLived)
{
    particles::ColourAffector affector;
    ParticleTechnique technique(nullptr);
    const Ogre::ColourValue transparent(0, 0, 0, 0);
    Particle particle;
    particle.totalTimeToLive = 4.0f;
    particle.colour = Ogre::ColourValue::Blue;
    particle.timeToLive = 2.0f;
    affector._affect(technique, particle, 0.1f);
    EXPECT_EQ(particle.colour, Ogre::ColourValue::Blue) << "no keys";

    affector.addColour(1.0f, transparent);
    affector.addColour(0.25f, Ogre::ColourValue::White);
    affector.addColour(0.75f, Ogre::ColourValue::Red);
    affector.addColour(0.75f, Ogre::ColourValue(1, 0, 0, 0.5f)); // the same time replaces
    const struct
    {
        float left;
        Ogre::ColourValue colour;
    } cases[] = {
        {4.0f, Ogre::ColourValue::White},                // before the first key
        {2.0f, Ogre::ColourValue(1, 0.5f, 0.5f, 0.75f)}, // half way from white to red
        {1.0f, Ogre::ColourValue(1, 0, 0, 0.5f)},
        {0.5f, Ogre::ColourValue(0.5f, 0, 0, 0.25f)},
        {0.0f, transparent},
    };
    for (const auto& c : cases)
    {
        particle.timeToLive = c.left;
        affector._affect(technique, particle, 0.1f);
        EXPECT_EQ(particle.colour, c.colour) << c.left << " s left";
    }
}

TEST_F(ParticleSystems, ForcesAndVorticesChangeFlightAndPlace)
{
    ParticleTechnique technique(nullptr);
    Particle particle;
    particle.position = Ogre::Vector3(10, 0, 0);
    particle.direction = Ogre::Vector3(1, 0, 0);

    particles::LinearForceAffector force;
    force.setForce(Ogre::Vector3(0, -10, 0));
    force._affect(technique, particle, 0.5f);
    EXPECT_EQ(particle.direction, Ogre::Vector3(1, -5, 0));

    particles::VortexAffector vortex;
    vortex.getRotationSpeed().setValue(Ogre::Math::HALF_PI);
    vortex._affect(technique, particle, 1.0f);
    EXPECT_TRUE(particle.position.positionEquals(Ogre::Vector3(0, 0, -10), 1e-4f));
    EXPECT_TRUE(particle.direction.positionEquals(Ogre::Vector3(0, -5, -1), 1e-4f));
    particle.setFreezed(true);
    vortex._affect(technique, particle, 1.0f);
    EXPECT_TRUE(particle.position.positionEquals(Ogre::Vector3(0, 0, -10), 1e-4f));
}
} // namespace
