#include "support/ViewWindow.h"

#include <OgreResourceGroupManager.h>

ViewWindow::ViewWindow(int width, int height) : window(width, height)
{
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    const std::string data = std::string(QUILLMERE_BUILT_DEMO_DIR) + "data/";
    groups.addResourceLocation(data + "chapter1", "FileSystem", "CHAPTERDATA");
    groups.addResourceLocation(data + "common", "FileSystem", "GAMEDATA");
    window.SetBackground(Ogre::ColourValue::White);
    window.Render();
    menu.CreateOverlays();
    // Again, now that the views listen: as a load does after the start.
    world.Load(DemoNewGameState());
}

ViewWindow::~ViewWindow()
{
    menu.DestroyOverlays();
}

Ogre::ColourValue ViewWindow::DrawnPixel(int x, int y)
{
    window.Render();
    return window.Pixel(x, y);
}
