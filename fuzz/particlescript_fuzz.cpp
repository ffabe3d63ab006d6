// Feeds bytes to the particle script reader as a ".psys" file, with the program's own element types
// registered as the game registers them, then makes a system of every template it read (at most eight),
// runs it on a node for a few frames, emitting from an entity's mesh where a template asks, fades and
// destroys it. A refusal is fine; a crash, a hang, or a system left in the scene is not.
#include "graphics/cl_EntityEmitterFactory.h"
#include "graphics/cl_FilledCircleEmitterFactory.h"
#include "graphics/cl_LiquidAffectorFactory.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemFactory.h"
#include "platform/particles/ParticleSystemManager.h"
#include "support/HeadlessParticles.h"
#include "support/TriangleMesh.h"

#include <OgreEntity.h>
#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
void Require(bool condition, const char* what)
{
    if (!condition)
    {
        std::fprintf(stderr, "particlescript_fuzz: %s\n", what);
        std::abort();
    }
}

// The library with the program's element types, a node to hang systems on and an entity "floor" (also
// reachable as the entity emitter's names in the demo's scripts would name it).
struct World
{
    World()
    {
        particles::ParticleSystemManager& manager = world.Manager();
        manager.addEmitterFactory(std::make_unique<cl_EntityEmitterFactory>());
        manager.addEmitterFactory(std::make_unique<cl_FilledCircleEmitterFactory>());
        manager.addAffectorFactory(std::make_unique<cl_LiquidAffectorFactory>());
        Ogre::SceneManager& scene = world.SceneManager();
        node = scene.getRootSceneNode()->createChildSceneNode("_game", Ogre::Vector3(0, 10, 0));
        CreateTriangleMesh("fuzz_floor.mesh",
                           {Ogre::Vector3(0, 0, 0), Ogre::Vector3(0, 0, 10), Ogre::Vector3(10, 0, 0),
                            Ogre::Vector3(10, 0, 10)},
                           {0, 1, 2, 2, 1, 3});
        node->attachObject(scene.createEntity("floor", "fuzz_floor.mesh"));
    }

    HeadlessParticles world;
    Ogre::SceneNode* node = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static World world;
    particles::ParticleSystemManager& manager = world.world.Manager();
    Ogre::SceneManager& scene = world.world.SceneManager();
    manager.destroyAllTemplates();
    manager.parseScript(std::string(reinterpret_cast<const char*>(data), size), "fuzz.psys");

    std::vector<particles::ParticleSystem*> systems;
    for (const std::string& name : manager.getSystemTemplateNames())
    {
        if (systems.size() == 8)
            break;
        particles::ParticleSystem* system =
            manager.createParticleSystem("system" + std::to_string(systems.size()), name, &scene);
        Require(system != nullptr, "a template read gave no system");
        world.node->attachObject(system);
        system->start();
        system->setFastForward(0.5f, 0.1f);
        system->fastForward();
        system->_update(0.016f);
        system->stopFade();
        system->_update(0.25f);
        systems.push_back(system);
    }
    for (particles::ParticleSystem* system : systems)
        manager.destroyParticleSystem(system, &scene);
    Require(scene.getMovableObjects(particles::ParticleSystemFactory::FACTORY_TYPE_NAME).empty(),
            "a particle system was left in the scene");
    Require(world.node->numAttachedObjects() == 1, "a particle system was left on its node");
    return 0;
}
