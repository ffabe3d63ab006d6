#pragma once

#include <string>

namespace platform
{
// Why the program cannot open the X display named by DISPLAY, in words a player understands
// ("cannot open the X display ..."); "" when it can. Tried once per run.
std::string DisplayProblem();

struct ScreenSize
{
    int width;
    int height;
};

// The size of the X screen the program runs on, in pixels; 800 x 600, the program's default video mode,
// when there is no X display.
ScreenSize DesktopSize();

// Makes sure the window-close protocol exists on the X server before OGRE's GL support looks it up when
// it starts: OGRE only looks it up, and without a window manager nobody has made it yet, so the window
// would never hear that it is being closed.
void PrepareWindowClosing();

// Would give the window (X11 window id, OGRE's "WINDOW" attribute) the program's icon. The program has no
// icon picture to hand to the window manager and nothing depends on the icon, so this does nothing.
void SetWindowIcon(unsigned long window);
} // namespace platform
