#pragma once

#include "common/cl_LuaScriptSystem.h"
#include "common/cl_ValueSourceManager.h"
#include "graphics/cl_EffectManager.h"
#include "support/HeadlessParticles.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"

#include <tinyxml.h>

#include <string>

namespace particles
{
class ParticleSystem;
}

// The effect manager on headless OGRE with the particle library and what effects reach: script system
// (the command distributor), game time, value sources. The scene has the nodes "_game" and, under it,
// "torch". The template "fire" has two techniques: the first with the emitters "Fire" and "Sparks", the
// second with "Fire"; each emits 10 a second for 2 seconds.
class EffectWorld
{
public:
    EffectWorld();

    // Loads the effects of the `effects` element text (kept for Unload) with the quality test.
    void Load(
        const std::string& text,
        const cl_EffectManager::QualityTest& isAllowed = [](const std::string&) { return true; });
    // Unloads the effects of the text given to Load.
    void Unload();
    // The effect's particle system; null without effect or system.
    particles::ParticleSystem* System(const std::string& id) const;
    // How many particle systems the scene holds.
    size_t Systems() const;
    // Advances the game time (the "fx" group flows as the default one).
    void Step(float seconds) { gameTime.Update(seconds); }

    LogCapture log;
    cl_LuaScriptSystem script;
    ManualGameTime gameTime{script};
    cl_ValueSourceManager valueSources{script, gameTime};
    HeadlessParticles particles;
    cl_EffectManager effects{script};

private:
    TiXmlDocument m_document;
};
