#include "platform/particles/ColourAffector.h"

#include "platform/particles/Particle.h"
#include "platform/particles/ScriptTranslator.h"

#include <algorithm>

namespace particles
{
const char* const ColourAffector::TYPE = "Colour";

void ColourAffector::addColour(float time, const Ogre::ColourValue& colour)
{
    const auto place = std::lower_bound(m_keys.begin(), m_keys.end(), time,
                                        [](const Key& key, float t) { return key.time < t; });
    if (place != m_keys.end() && place->time == time)
        place->colour = colour;
    else
        m_keys.insert(place, Key{time, colour});
}

bool ColourAffector::readProperty(const ScriptProperty& property)
{
    if (property.name != "time_colour")
        return false;
    float numbers[5] = {0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    if (ScriptTranslator::getNumbers(property, property.values.size() == 4 ? 4 : 5, numbers))
        addColour(numbers[0], Ogre::ColourValue(numbers[1], numbers[2], numbers[3], numbers[4]));
    else
        ScriptTranslator::logError(property,
                                   "'time_colour' takes a time, red, green, blue and an optional alpha.");
    return true;
}

void ColourAffector::copyAttributesTo(ParticleAffector& affector) const
{
    ParticleAffector::copyAttributesTo(affector);
    if (auto* colour = dynamic_cast<ColourAffector*>(&affector))
        colour->m_keys = m_keys;
}

void ColourAffector::_affect(ParticleTechnique&, Particle& particle, float)
{
    if (m_keys.empty())
        return;
    const float lived =
        particle.totalTimeToLive > 0.0f ? 1.0f - particle.timeToLive / particle.totalTimeToLive : 1.0f;
    if (lived <= m_keys.front().time)
    {
        particle.colour = m_keys.front().colour;
        return;
    }
    for (size_t next = 1; next < m_keys.size(); ++next)
    {
        const Key& to = m_keys[next];
        if (lived < to.time)
        {
            const Key& from = m_keys[next - 1];
            particle.colour =
                from.colour + (to.colour - from.colour) * ((lived - from.time) / (to.time - from.time));
            return;
        }
    }
    particle.colour = m_keys.back().colour;
}
} // namespace particles
