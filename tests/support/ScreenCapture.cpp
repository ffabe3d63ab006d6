#include "support/ScreenCapture.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

ScreenCapture::ScreenCapture(void* programDisplay)
{
    // The program's connection is not ours: what it sent may not have been drawn yet.
    if (programDisplay)
        XSync(static_cast<Display*>(programDisplay), False);
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return;
    const Window root = DefaultRootWindow(display);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, root, &attributes);
    if (XImage* image = XGetImage(display, root, 0, 0, static_cast<unsigned>(attributes.width),
                                  static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap))
    {
        m_width = attributes.width;
        m_height = attributes.height;
        m_pixels.resize(static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 3);
        uint8_t* pixel = m_pixels.data();
        for (int y = 0; y < m_height; ++y)
        {
            for (int x = 0; x < m_width; ++x)
            {
                const unsigned long value = XGetPixel(image, x, y);
                *pixel++ = static_cast<uint8_t>((value & image->red_mask) >> 16);
                *pixel++ = static_cast<uint8_t>((value & image->green_mask) >> 8);
                *pixel++ = static_cast<uint8_t>(value & image->blue_mask);
            }
        }
        XDestroyImage(image);
    }
    XCloseDisplay(display);
}

ScreenCapture::Colour ScreenCapture::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return {0, 0, 0};
    const uint8_t* pixel =
        &m_pixels[(static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 3];
    return {pixel[0], pixel[1], pixel[2]};
}
