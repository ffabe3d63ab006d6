#include "platform/particles/ParticleSystemManager.h"

#include "common/LogCall.h"
#include "platform/particles/CircleEmitter.h"
#include "platform/particles/ColourAffector.h"
#include "platform/particles/LinearForceAffector.h"
#include "platform/particles/ParticleScriptReader.h"
#include "platform/particles/ParticleSystem.h"
#include "platform/particles/PointEmitter.h"
#include "platform/particles/VortexAffector.h"

#include <OgreDataStream.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <OgreSceneManager.h>

#include <cassert>

namespace particles
{
namespace
{
ParticleSystemManager* g_instance = nullptr;

// After materials, which the systems' techniques name.
const Ogre::Real LOADING_ORDER = 1000.0f;
} // namespace

const char* const ParticleSystemManager::SCRIPT_PATTERN = "*.psys";

ParticleSystemManager::ParticleSystemManager() : m_systemFactory(*this), m_scriptPatterns{SCRIPT_PATTERN}
{
    assert(!g_instance && "a second particle-system manager");
    g_instance = this;
    Ogre::Root& root = Ogre::Root::getSingleton();
    root.addMovableObjectFactory(&m_systemFactory);
    root.addFrameListener(&m_systemFactory);
    Ogre::ResourceGroupManager::getSingleton()._registerScriptLoader(this);
    Ogre::ResourceGroupManager::getSingleton().addResourceGroupListener(this);
    addEmitterFactory(std::make_unique<ParticleEmitterFactoryOf<PointEmitter>>());
    addEmitterFactory(std::make_unique<ParticleEmitterFactoryOf<CircleEmitter>>());
    addAffectorFactory(std::make_unique<ParticleAffectorFactoryOf<LinearForceAffector>>());
    addAffectorFactory(std::make_unique<ParticleAffectorFactoryOf<ColourAffector>>());
    addAffectorFactory(std::make_unique<ParticleAffectorFactoryOf<VortexAffector>>());
}

ParticleSystemManager::~ParticleSystemManager()
{
    // Destroying a system takes it out of the factory's list.
    while (!m_systemFactory.getSystems().empty())
    {
        ParticleSystem* system = m_systemFactory.getSystems().back();
        system->_getManager()->destroyMovableObject(system);
    }
    Ogre::ResourceGroupManager::getSingleton().removeResourceGroupListener(this);
    Ogre::ResourceGroupManager::getSingleton()._unregisterScriptLoader(this);
    Ogre::Root& root = Ogre::Root::getSingleton();
    root.removeFrameListener(&m_systemFactory);
    root.removeMovableObjectFactory(&m_systemFactory);
    m_templates.clear();
    g_instance = nullptr;
}

ParticleSystemManager& ParticleSystemManager::getSingleton()
{
    assert(g_instance);
    return *g_instance;
}

ParticleSystemManager* ParticleSystemManager::getSingletonPtr()
{
    return g_instance;
}

bool ParticleSystemManager::addEmitterFactory(std::unique_ptr<ParticleEmitterFactory> factory)
{
    const std::string type = factory->getEmitterType();
    if (!m_emitterFactories.emplace(type, std::move(factory)).second)
    {
        LOG_WARNING("The particle emitter type '%s' has a factory already; the new one is dropped.",
                    type.c_str());
        return false;
    }
    return true;
}

bool ParticleSystemManager::addAffectorFactory(std::unique_ptr<ParticleAffectorFactory> factory)
{
    const std::string type = factory->getAffectorType();
    if (!m_affectorFactories.emplace(type, std::move(factory)).second)
    {
        LOG_WARNING("The particle affector type '%s' has a factory already; the new one is dropped.",
                    type.c_str());
        return false;
    }
    return true;
}

ParticleEmitterFactory* ParticleSystemManager::getEmitterFactory(const std::string& type) const
{
    const auto found = m_emitterFactories.find(type);
    return found == m_emitterFactories.end() ? nullptr : found->second.get();
}

ParticleAffectorFactory* ParticleSystemManager::getAffectorFactory(const std::string& type) const
{
    const auto found = m_affectorFactories.find(type);
    return found == m_affectorFactories.end() ? nullptr : found->second.get();
}

std::unique_ptr<ParticleEmitter> ParticleSystemManager::createEmitter(const std::string& type) const
{
    ParticleEmitterFactory* factory = getEmitterFactory(type);
    return factory ? factory->createEmitter() : nullptr;
}

std::unique_ptr<ParticleAffector> ParticleSystemManager::createAffector(const std::string& type) const
{
    ParticleAffectorFactory* factory = getAffectorFactory(type);
    return factory ? factory->createAffector() : nullptr;
}

ParticleSystem* ParticleSystemManager::createSystemTemplate(const std::string& name, const std::string& group)
{
    Template& entry = m_templates[name];
    if (entry.system)
    {
        LOG_ERROR("A particle system template named '%s' exists already.", name.c_str());
        return nullptr;
    }
    entry.system = std::make_unique<ParticleSystem>(name);
    entry.group = group;
    return entry.system.get();
}

ParticleSystem* ParticleSystemManager::getSystemTemplate(const std::string& name) const
{
    const auto found = m_templates.find(name);
    return found == m_templates.end() ? nullptr : found->second.system.get();
}

std::vector<std::string> ParticleSystemManager::getSystemTemplateNames() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_templates)
        names.push_back(entry.first);
    return names;
}

void ParticleSystemManager::destroyAllTemplates()
{
    m_templates.clear();
}

ParticleSystem* ParticleSystemManager::createParticleSystem(const std::string& name,
                                                            const std::string& templateName,
                                                            Ogre::SceneManager* sceneManager)
{
    if (!getSystemTemplate(templateName))
    {
        LOG_ERROR("There is no particle system template '%s' for the particle system '%s'.",
                  templateName.c_str(), name.c_str());
        return nullptr;
    }
    if (!sceneManager || name.empty())
    {
        LOG_ERROR("The particle system '%s' needs a name and a scene manager to live in.", name.c_str());
        return nullptr;
    }
    if (sceneManager->hasMovableObject(name, ParticleSystemFactory::FACTORY_TYPE_NAME))
    {
        LOG_ERROR("A particle system named '%s' exists already.", name.c_str());
        return nullptr;
    }
    const Ogre::NameValuePairList params{{"template", templateName}};
    return static_cast<ParticleSystem*>(
        sceneManager->createMovableObject(name, ParticleSystemFactory::FACTORY_TYPE_NAME, &params));
}

void ParticleSystemManager::destroyParticleSystem(ParticleSystem* system, Ogre::SceneManager*)
{
    if (system && system->_getManager())
        system->_getManager()->destroyMovableObject(system);
}

void ParticleSystemManager::parseScript(const std::string& text, const std::string& source,
                                        const std::string& group)
{
    ParticleScriptReader(*this, source, group).read(text);
}

void ParticleSystemManager::parseScript(Ogre::DataStreamPtr& stream, const Ogre::String& groupName)
{
    parseScript(stream->getAsString(), stream->getName(), groupName);
}

void ParticleSystemManager::resourceGroupScriptingStarted(const Ogre::String& groupName, size_t)
{
    for (auto entry = m_templates.begin(); entry != m_templates.end();)
    {
        if (!groupName.empty() && entry->second.group == groupName)
            entry = m_templates.erase(entry);
        else
            ++entry;
    }
}

Ogre::Real ParticleSystemManager::getLoadingOrder() const
{
    return LOADING_ORDER;
}
} // namespace particles
