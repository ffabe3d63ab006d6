// Draws the demo's mouse pointer, an arrow with a dark outline, as a Windows cursor file; the arrow is
// parchment, or of the colour given (RRGGBB, hexadecimal), so that each pointer word shows apart.
// Usage: make_cursor OUTPUT.cur SIDE [RRGGBB]
#include "support/CursorFileBuilder.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace
{
// Inside the arrow: a triangle with its tip at the hotspot, plus a short tail.
bool InArrow(int x, int y, int side)
{
    const int head = side * 3 / 4;
    if (y < head)
        return x <= y / 2 + y / 4 && x >= 0;
    const int tail = side / 8 + 1;
    return y < side && x >= head / 4 && x < head / 4 + tail;
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
    {
        std::fprintf(stderr, "usage: make_cursor OUTPUT.cur SIDE [RRGGBB]\n");
        return 2;
    }
    const int side = std::atoi(argv[2]);
    const uint32_t fill = argc == 4 ? 0xFF000000u | static_cast<uint32_t>(std::strtoul(argv[3], nullptr, 16))
                                    : 0xFFF2E6C8u; // parchment
    CursorBitmap bitmap;
    bitmap.width = side;
    bitmap.height = side;
    for (int y = 0; y < side; ++y)
    {
        for (int x = 0; x < side; ++x)
        {
            const bool inside = InArrow(x, y, side);
            const bool edge = inside && (!InArrow(x - 1, y, side) || !InArrow(x + 1, y, side) ||
                                         !InArrow(x, y + 1, side) || !InArrow(x, y - 1, side));
            uint32_t colour = 0x00000000u;
            if (edge)
                colour = 0xFF202020u;
            else if (inside)
                colour = fill;
            bitmap.colours.push_back(colour);
        }
    }
    if (!WriteBytes(argv[1], EncodeCursorFile(bitmap, 0, 0)))
    {
        std::fprintf(stderr, "make_cursor: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
