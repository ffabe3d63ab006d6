#include "platform/TheoraPicture.h"

#include "platform/TheoraVideoFrame.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
uint8_t Clamp(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// BT.601 video-range Y'CbCr to 0xFFRRGGBB, as the video player shows pictures.
uint32_t Expected(int y, int cb, int cr)
{
    const int luma = 298 * (y - 16) + 128;
    const uint32_t r = Clamp((luma + 409 * (cr - 128)) >> 8);
    const uint32_t g = Clamp((luma - 100 * (cb - 128) - 208 * (cr - 128)) >> 8);
    const uint32_t b = Clamp((luma + 516 * (cb - 128)) >> 8);
    return 0xFF000000u | r << 16 | g << 8 | b;
}

// One plane of columns x rows bytes, every value from 0 to 255 in it; with upward rows (negative
// stride) its data starts at the last row in memory.
struct Plane
{
    Plane(int columns, int rows, int seed, bool upward) : bytes(static_cast<size_t>(columns) * rows)
    {
        uint32_t state = static_cast<uint32_t>(seed);
        for (unsigned char& byte : bytes)
        {
            state = state * 1664525u + 1013904223u;
            byte = static_cast<unsigned char>(state >> 24);
        }
        stride = upward ? -columns : columns;
        data = upward ? bytes.data() + static_cast<size_t>(columns) * (rows - 1) : bytes.data();
    }
    int At(int column, int row) const { return data[static_cast<ptrdiff_t>(row) * stride + column]; }

    std::vector<unsigned char> bytes;
    const unsigned char* data;
    int stride;
};

TEST(TheoraPicture, EveryPixelIsTheFormulaOfItsSamples)
{
    const struct
    {
        const char* name;
        int xShift;
        int yShift;
        int left;
        int top;
        int width;
        int height;
        bool upward;
    } cases[] = {
        {"4:2:0", 1, 1, 0, 0, 64, 16, false},
        {"4:2:0 from an odd column and row, with a tail", 1, 1, 3, 1, 37, 9, false},
        {"4:2:0 with rows upward", 1, 1, 2, 2, 45, 7, true},
        {"4:2:2", 1, 0, 1, 0, 29, 5, false},
        {"4:4:4", 0, 0, 5, 3, 19, 4, false},
        {"one column", 1, 1, 1, 1, 1, 3, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const int columns = c.left + c.width + 8;
        const int rows = c.top + c.height + 2;
        const Plane luma(columns, rows, 1, c.upward);
        const Plane cb((columns >> c.xShift) + 1, (rows >> c.yShift) + 1, 2, c.upward);
        const Plane cr((columns >> c.xShift) + 1, (rows >> c.yShift) + 1, 3, c.upward);
        const TheoraPicture picture{{luma.data, cb.data, cr.data},
                                    {luma.stride, cb.stride, cr.stride},
                                    c.xShift,
                                    c.yShift,
                                    c.left,
                                    c.top};
        TheoraVideoFrame frame(c.width, c.height, c.width + 4);
        WriteXrgb(picture, c.width, c.height, frame);

        int wrong = 0;
        for (int y = 0; y < c.height; ++y)
        {
            for (int x = 0; x < c.width; ++x)
            {
                const int column = c.left + x;
                const int row = c.top + y;
                const uint32_t expected =
                    Expected(luma.At(column, row), cb.At(column >> c.xShift, row >> c.yShift),
                             cr.At(column >> c.xShift, row >> c.yShift));
                if (frame.Row(y)[x] != expected && ++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << ", " << y;
            }
            for (int x = c.width; x < frame.getStride(); ++x)
                EXPECT_EQ(frame.Row(y)[x], 0xFF000000u) << "the padding stays black";
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(TheoraPicture, ExtremeSamplesClampEachChannel)
{
    const struct
    {
        int y;
        int cb;
        int cr;
        uint32_t pixel;
    } cases[] = {
        {16, 128, 128, 0xFF000000u},  {235, 128, 128, 0xFFFFFFFFu}, {0, 0, 0, 0xFF008700u},
        {255, 255, 255, 0xFFFF7DFFu}, {81, 90, 240, 0xFFFF0000u},   {0, 255, 0, 0xFF0024EDu},
    };
    for (const auto& c : cases)
    {
        // Eight equal pixels and a ninth: the block and the single-pixel way alike.
        std::vector<unsigned char> luma(9, static_cast<unsigned char>(c.y));
        std::vector<unsigned char> cb(5, static_cast<unsigned char>(c.cb));
        std::vector<unsigned char> cr(5, static_cast<unsigned char>(c.cr));
        const TheoraPicture picture{{luma.data(), cb.data(), cr.data()}, {9, 5, 5}, 1, 1, 0, 0};
        TheoraVideoFrame frame(9, 1, 9);
        WriteXrgb(picture, 9, 1, frame);
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(frame.Row(0)[x], c.pixel) << c.y << " " << c.cb << " " << c.cr << " at " << x;
        EXPECT_EQ(Expected(c.y, c.cb, c.cr), c.pixel);
    }
}
} // namespace
