#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One decoded picture of a clip: getHeight() rows of getStride() pixels, top row first, each pixel a
// 32-bit word 0xFFRRGGBB in the machine's byte order, which is OGRE's PF_X8R8G8B8 (bytes B, G, R, X in
// memory on x86). Only the first getWidth() pixels of a row are picture; the rest stay black.
// Frames belong to their clip and are reused: a frame returned by TheoraVideoClip::getNextFrame stays
// as it is until popFrame.
class TheoraVideoFrame
{
public:
    TheoraVideoFrame(int width, int height, int stride);

    unsigned char* getBuffer() { return reinterpret_cast<unsigned char*>(m_pixels.data()); }
    const unsigned char* getBuffer() const { return reinterpret_cast<const unsigned char*>(m_pixels.data()); }
    // Pixels from the start of one row to the start of the next.
    int getStride() const { return m_stride; }
    int getWidth() const { return m_width; }
    int getHeight() const { return m_height; }

    // For the decoder: the first pixel of a row.
    uint32_t* Row(int y) { return m_pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(m_stride); }

private:
    int m_width;
    int m_height;
    int m_stride;
    std::vector<uint32_t> m_pixels;
};
