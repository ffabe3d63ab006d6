#pragma once

#include <cstddef>

namespace Ogre
{
class RenderOperation;
}

// The vertex sources of a quad strip.
enum QuadSource : unsigned short
{
    QUAD_POSITIONS = 0,           // 3 floats a vertex
    QUAD_TEXTURE_COORDINATES = 1, // 2 floats a vertex
    QUAD_COLOURS = 2,             // a colour packed as the render system reads it
};

// Makes operation draw a quad as one triangle strip of four vertices without indices, each source in a
// static write-only buffer of its own; colours only withColours. The new vertex data belongs to the caller.
void SetUpQuadStrip(Ogre::RenderOperation& operation, bool withColours);
// Writes the bytes at the start of the source's buffer.
void WriteQuadStrip(Ogre::RenderOperation& operation, QuadSource source, const void* values, size_t bytes);
