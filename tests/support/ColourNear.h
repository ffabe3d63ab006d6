#pragma once

#include <OgreColourValue.h>

#include <string>

// Whether the colours differ by at most the tolerance in every channel (alpha aside).
bool NearColour(const Ogre::ColourValue& seen, const Ogre::ColourValue& expected, float tolerance = 0.1f);
// "r g b", for failure messages.
std::string ColourText(const Ogre::ColourValue& colour);
