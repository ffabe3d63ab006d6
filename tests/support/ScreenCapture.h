#pragma once

#include <cstdint>
#include <vector>

// What the X screen shows, as a player sees it (the full-screen game window included, which OGRE cannot
// read back itself under Xvfb): the whole screen is taken at once, then read pixel by pixel.
class ScreenCapture
{
public:
    struct Colour
    {
        int r, g, b;
    };

    // Takes the screen of the current display once everything the program sent through its own X
    // connection (programDisplay, an X Display*; may be null) has been drawn. An empty capture (every
    // pixel black) without a display.
    explicit ScreenCapture(void* programDisplay);

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // Black outside the screen.
    Colour At(int x, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_pixels; // R, G, B
};
