// Particles updated per second, each step 1/60 s of simulation followed by the billboard fill for one
// camera: our particle library beside OGRE's own ParticleFX plug-in (loaded from OGRE's plug-in folder),
// in a small window of the GL render system; nothing is drawn, so the CPU work and the buffer writes
// count. Both run the same effect at the same steady count of
// about 10,000 particles: a point emitter (5,000 a second, two seconds of life, 50 units a second within
// 30 degrees of up), a linear force (gravity) and a colour fade from white to nothing, drawn as billboards
// of one material through OGRE billboard sets in world space. Random numbers come from the game's
// generator on both sides.
//
// After Google Benchmark's own runs the two are timed again in interleaved rounds, and the ratio of our
// particles per second to ParticleFX's is printed last.
#include "platform/GameRand.h"
#include "platform/particles/ColourAffector.h"
#include "platform/particles/LinearForceAffector.h"
#include "platform/particles/ParticleEmitter.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"
#include "platform/particles/ParticleTechnique.h"
#include "platform/particles/PointEmitter.h"
#include "support/TestWindow.h"

#include <OgreCamera.h>
#include <OgreParticleAffector.h>
#include <OgreParticleEmitter.h>
#include <OgreParticleSystem.h>
#include <OgreRenderQueue.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace
{
const float STEP = 1.0f / 60.0f;
const float RATE = 5000.0f;
const float LIFE = 2.0f;
const size_t QUOTA = 10500;
const float VELOCITY = 50.0f;
const float ANGLE = 30.0f;
const float GRAVITY = -10.0f;
const float SIZE = 2.0f;

// OGRE with ParticleFX and our library, and the window's camera.
struct World
{
    World()
    {
        Ogre::Root::getSingleton().loadPlugin("/usr/lib/x86_64-linux-gnu/OGRE/Plugin_ParticleFX");
        platform::UseGameRandForOgre();
        platform::GameSrand(1);
        camera = &window.Camera();
        library = std::make_unique<particles::ParticleSystemManager>();
    }
    ~World()
    {
        library.reset();
        window.SceneManager().destroyAllParticleSystems();
    }

    TestWindow window{64, 64};
    std::unique_ptr<particles::ParticleSystemManager> library;
    Ogre::Camera* camera = nullptr;
};

// One step of a system and its billboard fill for the world's camera: what a frame asks of it.
template <class System> void StepAndFill(World& world, System& system)
{
    system._update(STEP);
    Ogre::RenderQueue& queue = *world.window.SceneManager().getRenderQueue();
    system._notifyCurrentCamera(world.camera);
    system._updateRenderQueue(&queue);
    queue.clear();
}

World& TheWorld()
{
    static World world;
    return world;
}

// Our side: the effect as a template built in code, one system of it running.
class Ours
{
public:
    explicit Ours(World& world) : m_world(world)
    {
        const std::string name = "ours" + std::to_string(s_made++);
        particles::ParticleSystem* source = world.library->createSystemTemplate(name);
        particles::ParticleTechnique* technique = source->createTechnique();
        technique->setParticleQuota(QUOTA);
        technique->setDefaultDimensions(Ogre::Vector2(SIZE, SIZE));
        particles::ParticleEmitter* emitter =
            technique->addEmitter(world.library->createEmitter(particles::PointEmitter::TYPE));
        emitter->setName("fountain");
        emitter->getEmissionRate().setValue(RATE);
        emitter->getTimeToLive().setValue(LIFE);
        emitter->getVelocity().setValue(VELOCITY);
        emitter->getAngle().setValue(ANGLE);
        auto* force = static_cast<particles::LinearForceAffector*>(
            technique->addAffector(world.library->createAffector(particles::LinearForceAffector::TYPE)));
        force->setForce(Ogre::Vector3(0, GRAVITY, 0));
        auto* fade = static_cast<particles::ColourAffector*>(
            technique->addAffector(world.library->createAffector(particles::ColourAffector::TYPE)));
        fade->addColour(0.0f, Ogre::ColourValue::White);
        fade->addColour(1.0f, Ogre::ColourValue(0, 0, 0, 0));
        m_system = world.library->createParticleSystem(name, name, &world.window.SceneManager());
        world.window.SceneManager().getRootSceneNode()->createChildSceneNode()->attachObject(m_system);
        m_system->start();
    }
    ~Ours() { m_world.library->destroyParticleSystem(m_system, &m_world.window.SceneManager()); }

    void Step() { StepAndFill(m_world, *m_system); }
    size_t Live() const { return m_system->getTechnique(0)->getNumParticles(); }

private:
    static inline int s_made = 0;
    World& m_world;
    particles::ParticleSystem* m_system;
};

// OGRE's side: the same effect with ParticleFX's point emitter, linear force and colour interpolator.
class ParticleFx
{
public:
    explicit ParticleFx(World& world) : m_world(world)
    {
        Ogre::SceneManager& scene = world.window.SceneManager();
        m_system = scene.createParticleSystem("fx" + std::to_string(s_made++), QUOTA);
        m_system->setDefaultDimensions(SIZE, SIZE);
        m_system->setMaterialName("BaseWhiteNoLighting");
        Ogre::ParticleEmitter* emitter = m_system->addEmitter("Point");
        emitter->setEmissionRate(RATE);
        emitter->setTimeToLive(LIFE);
        emitter->setParticleVelocity(VELOCITY);
        emitter->setAngle(Ogre::Degree(ANGLE));
        emitter->setDirection(Ogre::Vector3::UNIT_Y);
        Ogre::ParticleAffector* force = m_system->addAffector("LinearForce");
        force->setParameter("force_vector", "0 " + std::to_string(GRAVITY) + " 0");
        Ogre::ParticleAffector* fade = m_system->addAffector("ColourInterpolator");
        fade->setParameter("colour0", "1 1 1 1");
        fade->setParameter("time0", "0");
        fade->setParameter("colour1", "0 0 0 0");
        fade->setParameter("time1", "1");
        scene.getRootSceneNode()->createChildSceneNode()->attachObject(m_system);
    }
    ~ParticleFx() { m_world.window.SceneManager().destroyParticleSystem(m_system); }

    void Step() { StepAndFill(m_world, *m_system); }
    size_t Live() const { return m_system->getNumParticles(); }

private:
    static inline int s_made = 0;
    World& m_world;
    Ogre::ParticleSystem* m_system;
};

// Runs a system until it holds its steady count.
template <class System> void WarmUp(System& system)
{
    for (float t = 0.0f; t < LIFE + 0.5f; t += STEP)
        system.Step();
}

template <class System> void Run(benchmark::State& state)
{
    System system(TheWorld());
    WarmUp(system);
    size_t updated = 0;
    for (auto _ : state)
    {
        system.Step();
        updated += system.Live();
    }
    state.SetItemsProcessed(static_cast<int64_t>(updated));
    state.counters["particles"] = static_cast<double>(system.Live());
}

void BM_OursParticles(benchmark::State& state)
{
    Run<Ours>(state);
}
BENCHMARK(BM_OursParticles)->Unit(benchmark::kMicrosecond);

void BM_ParticleFxParticles(benchmark::State& state)
{
    Run<ParticleFx>(state);
}
BENCHMARK(BM_ParticleFxParticles)->Unit(benchmark::kMicrosecond);

// Seconds that steps take; adds the particles they updated.
template <class System> double Timed(System& system, int steps, double& updated)
{
    const auto start = std::chrono::steady_clock::now();
    for (int step = 0; step < steps; ++step)
    {
        system.Step();
        updated += static_cast<double>(system.Live());
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Both in turn, round after round, on systems that keep running; then the ratio.
int CompareInterleaved()
{
    constexpr int ROUNDS = 10;
    constexpr int STEPS = 120;
    Ours ours(TheWorld());
    ParticleFx fx(TheWorld());
    WarmUp(ours);
    WarmUp(fx);
    double updatedOurs = 0.0, updatedFx = 0.0, secondsOurs = 0.0, secondsFx = 0.0;
    for (int round = 0; round < ROUNDS; ++round)
    {
        secondsOurs += Timed(ours, STEPS, updatedOurs);
        secondsFx += Timed(fx, STEPS, updatedFx);
    }
    const double ourRate = updatedOurs / secondsOurs;
    const double fxRate = updatedFx / secondsFx;
    std::printf("\nInterleaved, %d rounds of %d steps, steady counts %zu (ours) and %zu (ParticleFX):\n",
                ROUNDS, STEPS, ours.Live(), fx.Live());
    std::printf("  ours:       %12.0f particles updated and filled a second\n", ourRate);
    std::printf("  ParticleFX: %12.0f particles updated and filled a second\n", fxRate);
    std::printf("ratio ours / ParticleFX (goal: 1.0 or more): %.2f\n", ourRate / fxRate);
    return 0;
}
} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return CompareInterleaved();
}
