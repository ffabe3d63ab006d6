#pragma once

#include <OgreFrameListener.h>
#include <OgreMovableObject.h>

#include <vector>

namespace particles
{
class ParticleSystem;
class ParticleSystemManager;

// Makes particle systems as OGRE movable objects, so that scene managers own them like their other
// objects, keeps the systems alive, and advances them every frame by its time.
class ParticleSystemFactory : public Ogre::MovableObjectFactory, public Ogre::FrameListener
{
public:
    // The movable type of the systems; OGRE's own particle systems are "ParticleSystem".
    static const Ogre::String FACTORY_TYPE_NAME;

    // manager: where the templates are; it must outlive the factory.
    explicit ParticleSystemFactory(const ParticleSystemManager& manager) : m_manager(manager) {}

    const Ogre::String& getType() const override { return FACTORY_TYPE_NAME; }
    void destroyInstance(Ogre::MovableObject* object) override;
    bool frameStarted(const Ogre::FrameEvent& event) override;

    // The living systems, in the order they were made.
    const std::vector<ParticleSystem*>& getSystems() const { return m_systems; }

protected:
    // A copy of the template that the parameter "template" names; an empty system without one.
    Ogre::MovableObject* createInstanceImpl(const Ogre::String& name,
                                            const Ogre::NameValuePairList* params) override;

private:
    const ParticleSystemManager& m_manager;
    std::vector<ParticleSystem*> m_systems;
};
} // namespace particles
