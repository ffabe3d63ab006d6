#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform
{
// One cursor picture in the form the window system takes it: rows top to bottom, each pixel 0xAARRGGBB
// with the colour already multiplied by alpha. The hotspot lies inside the picture.
struct CursorImage
{
    int width = 0;
    int height = 0;
    int hotspotX = 0;
    int hotspotY = 0;
    std::vector<uint32_t> pixels;
};

// Windows cursor files (".cur"): an icon directory of type 2 whose entries carry the hotspot, each entry
// a bitmap with its AND mask (1, 4, 8, 24 or 32 bits a pixel) or a PNG picture (decoded with libpng, not
// OGRE's codec, which needs a running OGRE and mismatches its allocations). Of several entries the one
// whose width is nearest 32 pixels is taken (the first of equals), as Windows picks its standard size.
// Screen-inverting pixels of the AND mask cannot be shown by X and are drawn black.
// Both functions return false with a log line naming the file when the data is malformed (truncated,
// offsets outside the file, sizes over 256 pixels, unknown formats, a broken PNG); image is then left
// unchanged.

// Reads the file at path.
bool LoadCursorImage(const std::string& path, CursorImage& image);
// Reads the file's bytes already in memory; name is only used for log lines.
bool ReadCursorImage(const unsigned char* data, size_t size, const std::string& name, CursorImage& image);
} // namespace platform
