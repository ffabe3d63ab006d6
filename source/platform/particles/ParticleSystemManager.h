#pragma once

#include "platform/particles/ParticleAffectorFactory.h"
#include "platform/particles/ParticleEmitterFactory.h"
#include "platform/particles/ParticleSystemFactory.h"

#include <OgreResourceGroupManager.h>
#include <OgreScriptLoader.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Ogre
{
class SceneManager;
}

namespace particles
{
class ParticleSystem;

// The particle library's one manager: the emitter and affector factories by type word, the named system
// templates (read from ".psys" scripts while OGRE initialises resource groups, or built in code), and the
// particle systems made from them in scene managers. Make it once OGRE's root exists and destroy it while
// the root and its scene managers still live: it then destroys every system it made.
//
// A resource group's templates go when the group's scripts are read again (a chapter's group is made anew
// for each load of the chapter), so that they are read as new and not refused as taken names.
class ParticleSystemManager : public Ogre::ScriptLoader, public Ogre::ResourceGroupListener
{
public:
    // The script files it reads.
    static const char* const SCRIPT_PATTERN;

    // Registers the system factory and its frame updates with OGRE's root, itself as script loader and
    // resource group listener, and
    // the library's own kinds: emitters "Point" and "Circle", affectors "LinearForce", "Colour" and
    // "Vortex".
    ParticleSystemManager();
    ~ParticleSystemManager() override;
    ParticleSystemManager(const ParticleSystemManager&) = delete;
    ParticleSystemManager& operator=(const ParticleSystemManager&) = delete;

    // The living manager; getSingleton must not be called without one.
    static ParticleSystemManager& getSingleton();
    static ParticleSystemManager* getSingletonPtr();

    // Keeps the factory for the rest of the manager's life. A type that has a factory already keeps it:
    // the new one is logged and dropped, and the answer is false.
    bool addEmitterFactory(std::unique_ptr<ParticleEmitterFactory> factory);
    bool addAffectorFactory(std::unique_ptr<ParticleAffectorFactory> factory);
    // Null for a type without factory.
    ParticleEmitterFactory* getEmitterFactory(const std::string& type) const;
    ParticleAffectorFactory* getAffectorFactory(const std::string& type) const;
    // A new element of that type from its factory; null, with nothing logged, for an unknown type.
    std::unique_ptr<ParticleEmitter> createEmitter(const std::string& type) const;
    std::unique_ptr<ParticleAffector> createAffector(const std::string& type) const;

    // A new empty template of that name, to be filled in code; null, logged, for a name in use. group:
    // the resource group whose script defines it; "" for one built in code.
    ParticleSystem* createSystemTemplate(const std::string& name, const std::string& group = "");
    // Null for an unknown name.
    ParticleSystem* getSystemTemplate(const std::string& name) const;
    // In ascending byte order.
    std::vector<std::string> getSystemTemplateNames() const;
    // Systems made from a template keep what they copied.
    void destroyAllTemplates();

    // A stopped system of the template's make in the scene manager, on no node; null, logged, for an
    // unknown template, a null scene manager, an empty name or a name the scene manager's particle
    // systems use already.
    ParticleSystem* createParticleSystem(const std::string& name, const std::string& templateName,
                                         Ogre::SceneManager* sceneManager);
    // Destroys a system this manager made, through the scene manager that holds it (the system knows it);
    // null does nothing.
    void destroyParticleSystem(ParticleSystem* system, Ogre::SceneManager* sceneManager);

    // Reads the templates of a script's text; source names the script in messages, group the resource
    // group it belongs to. Mistakes are logged with the line; a template whose block is not closed, or
    // whose name is taken, is left out.
    void parseScript(const std::string& text, const std::string& source, const std::string& group = "");

    const Ogre::StringVector& getScriptPatterns() const override { return m_scriptPatterns; }
    void parseScript(Ogre::DataStreamPtr& stream, const Ogre::String& groupName) override;
    Ogre::Real getLoadingOrder() const override;
    // The group's templates go: its scripts are about to be read.
    void resourceGroupScriptingStarted(const Ogre::String& groupName, size_t scriptCount) override;

private:
    struct Template
    {
        std::unique_ptr<ParticleSystem> system;
        std::string group;
    };

    std::map<std::string, std::unique_ptr<ParticleEmitterFactory>> m_emitterFactories;
    std::map<std::string, std::unique_ptr<ParticleAffectorFactory>> m_affectorFactories;
    std::map<std::string, Template> m_templates;
    ParticleSystemFactory m_systemFactory;
    Ogre::StringVector m_scriptPatterns;
};
} // namespace particles
