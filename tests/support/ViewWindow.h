#pragma once

#include "gui/cl_IngameMenu.h"
#include "support/OverlayWindow.h"
#include "support/ViewWorld.h"

#include <OgreColourValue.h>

#include <string>

// The in-game menu with its views over the demo's new game in a window of the given size (needs an X
// display), on a white picture: the laid-out demo's item icons (group "CHAPTERDATA") and portraits
// ("GAMEDATA") are found, and the window has been drawn once, so that OGRE knows its size.
class ViewWindow
{
public:
    ViewWindow(int width, int height);
    ~ViewWindow();
    ViewWindow(const ViewWindow&) = delete;
    ViewWindow& operator=(const ViewWindow&) = delete;

    // Draws a frame and gives the colour of the window pixel at (x, y).
    Ogre::ColourValue DrawnPixel(int x, int y);

    OverlayWindow window;
    ViewWorld world;
    cl_IngameMenu menu;
};
