#pragma once

#include "support/HeadlessOgre.h"

#include <memory>
#include <string>

namespace particles
{
class ParticleSystem;
class ParticleSystemManager;
} // namespace particles

// The particle library on headless OGRE: systems are made, stepped by hand (nothing renders) and
// destroyed. OGRE's random numbers come from the game's generator, seeded with 1.
class HeadlessParticles
{
public:
    HeadlessParticles();
    ~HeadlessParticles();
    HeadlessParticles(const HeadlessParticles&) = delete;
    HeadlessParticles& operator=(const HeadlessParticles&) = delete;

    Ogre::SceneManager& SceneManager() const { return m_ogre.SceneManager(); }
    particles::ParticleSystemManager& Manager() const { return *m_manager; }
    // Destroys the manager (and with it every system it made) before the fixture does.
    void DestroyManager();

    // A template of one technique with one point emitter "steady" (velocity 0) and nothing else.
    particles::ParticleSystem& AddSteadyTemplate(const std::string& name, float rate, float life,
                                                 size_t quota);

private:
    HeadlessOgre m_ogre;
    std::unique_ptr<particles::ParticleSystemManager> m_manager;
};
