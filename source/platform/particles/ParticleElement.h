#pragma once

#include <OgreVector.h>

#include <string>

namespace particles
{
class ParticleSystem;
class ParticleTechnique;

// What emitters and affectors share: a name, the technique they belong to, and where that technique's
// system stands in the world.
class ParticleElement
{
public:
    ParticleElement() = default;
    virtual ~ParticleElement() = default;
    ParticleElement(const ParticleElement&) = delete;
    ParticleElement& operator=(const ParticleElement&) = delete;

    const std::string& getName() const { return m_name; }
    void setName(const std::string& name) { m_name = name; }

    // Null while the element belongs to no technique.
    ParticleTechnique* getParentTechnique() const { return m_technique; }
    void _setParentTechnique(ParticleTechnique* technique) { m_technique = technique; }

    // The system's origin in the world: its node's place (the origin while it hangs on no node).
    Ogre::Vector3 getDerivedPosition() const;

protected:
    // The system the element's technique belongs to; null without one.
    const ParticleSystem* getSystem() const;
    // Seconds since the system started; 0 without one.
    float getSystemTime() const;
    // The system's scale; 1, 1, 1 without one.
    Ogre::Vector3 getSystemScale() const;
    // vector turned as the system's node is turned.
    Ogre::Vector3 turnWithSystem(const Ogre::Vector3& vector) const;

private:
    std::string m_name;
    ParticleTechnique* m_technique = nullptr;
};
} // namespace particles
