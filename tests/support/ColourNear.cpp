#include "support/ColourNear.h"

#include <cmath>

bool NearColour(const Ogre::ColourValue& seen, const Ogre::ColourValue& expected, float tolerance)
{
    return std::fabs(seen.r - expected.r) <= tolerance && std::fabs(seen.g - expected.g) <= tolerance &&
           std::fabs(seen.b - expected.b) <= tolerance;
}

std::string ColourText(const Ogre::ColourValue& colour)
{
    return std::to_string(colour.r) + " " + std::to_string(colour.g) + " " + std::to_string(colour.b);
}
