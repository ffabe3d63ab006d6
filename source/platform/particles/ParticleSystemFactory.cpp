#include "platform/particles/ParticleSystemFactory.h"

#include "platform/particles/ParticleSystem.h"
#include "platform/particles/ParticleSystemManager.h"

#include <algorithm>

namespace particles
{
const Ogre::String ParticleSystemFactory::FACTORY_TYPE_NAME = "Particles";

Ogre::MovableObject* ParticleSystemFactory::createInstanceImpl(const Ogre::String& name,
                                                               const Ogre::NameValuePairList* params)
{
    auto* system = new ParticleSystem(name);
    if (params)
    {
        const auto templateName = params->find("template");
        if (templateName != params->end())
        {
            if (const ParticleSystem* source = m_manager.getSystemTemplate(templateName->second))
                source->copyAttributesTo(*system);
        }
    }
    m_systems.push_back(system);
    return system;
}

void ParticleSystemFactory::destroyInstance(Ogre::MovableObject* object)
{
    m_systems.erase(std::remove(m_systems.begin(), m_systems.end(), object), m_systems.end());
    delete object;
}

bool ParticleSystemFactory::frameStarted(const Ogre::FrameEvent& event)
{
    for (ParticleSystem* system : m_systems)
        system->_update(event.timeSinceLastFrame);
    return true;
}
} // namespace particles
