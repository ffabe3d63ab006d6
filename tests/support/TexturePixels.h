#pragma once

#include <cstdint>
#include <vector>

namespace Ogre
{
class Texture;
}

// The texture's pixels as bytes R, G, B, A per pixel, row by row from the top (the top as a material
// shows it).
std::vector<uint8_t> TexturePixels(Ogre::Texture& texture);
