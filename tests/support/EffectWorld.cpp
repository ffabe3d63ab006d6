#include "support/EffectWorld.h"

#include "graphics/cl_ParticleEffect.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemFactory.h"
#include "platform/particles/ParticleSystemManager.h"

#include <OgreSceneManager.h>
#include <OgreSceneNode.h>

EffectWorld::EffectWorld()
{
    Ogre::SceneNode* game = particles.SceneManager().getRootSceneNode()->createChildSceneNode("_game");
    game->createChildSceneNode("torch", Ogre::Vector3(10, 20, 30));
    particles.Manager().parseScript(R"(system fire
{
    technique
    {
        emitter Point Fire
        {
            rate 10
            life 2
        }
        emitter Point Sparks
        {
            rate 10
            life 2
        }
    }
    technique
    {
        emitter Point Fire
        {
            rate 10
            life 2
        }
    }
})",
                                    "fire.psys");
}

void EffectWorld::Load(const std::string& text, const cl_EffectManager::QualityTest& isAllowed)
{
    m_document.Clear();
    m_document.Parse(text.c_str());
    effects.LoadEffects(m_document.RootElement(), isAllowed, &particles.SceneManager());
}

void EffectWorld::Unload()
{
    effects.UnloadEffects(m_document.RootElement());
}

particles::ParticleSystem* EffectWorld::System(const std::string& id) const
{
    const auto* effect = dynamic_cast<const cl_ParticleEffect*>(effects.FindEffect(id));
    return effect ? effect->GetParticleSystem() : nullptr;
}

size_t EffectWorld::Systems() const
{
    return particles.SceneManager()
        .getMovableObjects(particles::ParticleSystemFactory::FACTORY_TYPE_NAME)
        .size();
}
