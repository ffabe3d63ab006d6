#pragma once

#include <string>

namespace Ogre
{
class OverlayElement;
}

// Gives the overlay element the material when it exists and returns true. A material nobody shipped is
// logged with its name and the element keeps the one it had (OGRE would throw).
bool SetOverlayMaterial(Ogre::OverlayElement& element, const std::string& material);
