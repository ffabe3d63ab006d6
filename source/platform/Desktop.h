#pragma once

namespace platform
{
struct ScreenSize
{
    int width;
    int height;
};

// The size of the X screen the program runs on, in pixels; 800 x 600, the program's default video mode,
// when there is no X display.
ScreenSize DesktopSize();

// Would give the window (X11 window id, OGRE's "WINDOW" attribute) the program's icon. The program has no
// icon picture to hand to the window manager and nothing depends on the icon, so this does nothing.
void SetWindowIcon(unsigned long window);
} // namespace platform
