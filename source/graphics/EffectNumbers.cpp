#include "graphics/EffectNumbers.h"

#include "common/LogCall.h"
#include "common/XmlNumbers.h"

#include <limits>

float BoundedNumberAttribute(const TiXmlElement& element, const char* name, float fallback, float above,
                             float below, const std::string& effect)
{
    const float number = NumberAttribute(element, name, fallback);
    if (number > above && number < below)
        return number;
    if (number == fallback)
        return fallback;
    if (below == std::numeric_limits<float>::max())
        LOG_WARNING("The effect '%s': %s %g must be above %g; %g is taken.", effect.c_str(), name, number,
                    above, fallback);
    else
        LOG_WARNING("The effect '%s': %s %g must lie between %g and %g; %g is taken.", effect.c_str(), name,
                    number, above, below, fallback);
    return fallback;
}
