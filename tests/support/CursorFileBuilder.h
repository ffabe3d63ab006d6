#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds Windows cursor files (".cur") in memory for tests.

// A bitmap picture; rows top to bottom.
struct CursorBitmap
{
    int width = 0;
    int height = 0;
    int bitCount = 32;
    // 0xRRGGBB, for 1, 4 and 8 bits a pixel. Written whole; its length goes into the header unless it is
    // the full palette of the bit depth (then the header says 0, as files usually do).
    std::vector<uint32_t> palette;
    // One a pixel: a palette index, or 0xAARRGGBB for 24 and 32 bits (24 bits drop the alpha).
    std::vector<uint32_t> colours;
    // One a pixel: the AND mask bit; empty when no pixel is masked.
    std::vector<bool> masked;
};

// A BITMAPINFOHEADER, the palette, the colour rows and the mask rows, both bottom-up.
std::vector<unsigned char> EncodeCursorBitmap(const CursorBitmap& bitmap);

// A PNG picture of 0xAARRGGBB pixels (straight alpha), rows top to bottom.
std::vector<unsigned char> EncodePng(int width, int height, const std::vector<uint32_t>& pixels);

struct CursorEntry
{
    int side = 0; // the directory's width and height byte; 0 means 256
    int hotspotX = 0;
    int hotspotY = 0;
    std::vector<unsigned char> picture;
};

// The icon directory of type 2, the entries, then the pictures in order.
std::vector<unsigned char> EncodeCursorFile(const std::vector<CursorEntry>& entries);

// A file with one entry holding the bitmap, its side taken from the bitmap's width.
std::vector<unsigned char> EncodeCursorFile(const CursorBitmap& bitmap, int hotspotX, int hotspotY);

// Writes bytes to path, replacing the file; false when it cannot be written.
bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes);
