#include "platform/particles/VortexAffector.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ScriptTranslator.h"

namespace particles
{
const char* const VortexAffector::TYPE = "Vortex";

void VortexAffector::setRotationVector(const Ogre::Vector3& vector)
{
    if (!vector.isZeroLength())
        m_rotationVector = vector.normalisedCopy();
}

bool VortexAffector::readProperty(const ScriptProperty& property)
{
    if (property.name == "rotation_axis")
    {
        Ogre::Vector3 axis;
        if (ScriptTranslator::getVector3(property, axis) && !axis.isZeroLength())
            setRotationVector(axis);
        else
            ScriptTranslator::logError(property, "'rotation_axis' takes three numbers, not all 0.");
        return true;
    }
    if (property.name == "rotation_speed")
    {
        float speed = 0.0f;
        if (ScriptTranslator::getFloat(property, speed))
            m_rotationSpeed.setValue(speed);
        else
            ScriptTranslator::logError(property, "'rotation_speed' takes one number.");
        return true;
    }
    return false;
}

void VortexAffector::copyAttributesTo(ParticleAffector& affector) const
{
    ParticleAffector::copyAttributesTo(affector);
    if (auto* vortex = dynamic_cast<VortexAffector*>(&affector))
    {
        vortex->m_rotationVector = m_rotationVector;
        vortex->m_rotationSpeed = m_rotationSpeed;
    }
}

void VortexAffector::_affect(ParticleTechnique&, Particle& particle, float dt)
{
    if (particle.isFreezed())
        return;
    m_rotation.FromAngleAxis(Ogre::Radian(m_rotationSpeed.getValue(getSystemTime()) * dt), m_rotationVector);
    const Ogre::Vector3 centre = getDerivedPosition();
    particle.position = centre + m_rotation * (particle.position - centre);
    particle.direction = m_rotation * particle.direction;
    particle.orientation = m_rotation * particle.orientation;
}
} // namespace particles
