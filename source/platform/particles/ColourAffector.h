#pragma once

#include "platform/particles/ParticleAffector.h"

#include <OgreColourValue.h>

#include <vector>

namespace particles
{
// Colours every particle by how much of its life has passed, blending between keyed colours (a flame
// that goes from yellow through red to nothing). Before the first key a particle has the first key's
// colour, after the last the last one's; without keys it keeps its colour.
class ColourAffector : public ParticleAffector
{
public:
    static const char* const TYPE;

    // time: the part of its life a particle has lived, 0 to 1. A key at a time already keyed replaces it.
    void addColour(float time, const Ogre::ColourValue& colour);

    // Knows "time_colour" (time, red, green, blue and an optional alpha).
    bool readProperty(const ScriptProperty& property) override;
    void copyAttributesTo(ParticleAffector& affector) const override;
    void _affect(ParticleTechnique& technique, Particle& particle, float dt) override;

private:
    struct Key
    {
        float time;
        Ogre::ColourValue colour;
    };
    // Ascending by time.
    std::vector<Key> m_keys;
};
} // namespace particles
