#pragma once

#include <OgreResourceGroupManager.h>

namespace Ogre
{
class RenderWindow;
}

// The progress bar shown while the application loads its resource groups at start-up, fed by the groups
// it listens to. Nothing is drawn yet.
class cl_GameLoadingScreen : public Ogre::ResourceGroupListener
{
public:
    // Shows the bar in window (not owned), which must outlive the screen until Finish.
    void Start(Ogre::RenderWindow* window);
    // Takes the bar down and lets go of the window.
    void Finish();
};
