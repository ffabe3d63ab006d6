#pragma once

#include "gui/ILoadingProgress.h"

#include <OgreResourceGroupManager.h>

#include <string>

namespace Ogre
{
class RenderWindow;
class SceneManager;
} // namespace Ogre

// The page shown while a chapter loads: the chapter's illustration, a flavour text and a progress bar fed
// by the resource groups it listens to and by the pool reload. Nothing is drawn yet.
class cl_ChapterLoadingScreen : public Ogre::ResourceGroupListener, public ILoadingProgress
{
public:
    // The page is to be built in sceneManager (not owned) with text (the localised subtitle) and the
    // illustration texture's name.
    cl_ChapterLoadingScreen(Ogre::SceneManager* sceneManager, const std::string& text,
                            const std::string& illustration);

    // How the bar is to be shared out, set before Start: dataShare is the part left for the items reported
    // through ILoadingProgress, the rest goes to scriptGroups groups parsed and loadGroups groups loaded;
    // dataLoads is the number of data loads that will report.
    void SetShares(float dataShare, int scriptGroups, int loadGroups, int dataLoads);

    // Shows the page in window (not owned), which must outlive the screen until Finish, with the bar at 0.
    void Start(Ogre::RenderWindow* window);
    // Takes the page down and lets go of the window.
    void Finish();

    // The pool reload's items.
    void OnDataLoadStarted(int count) override;
    void OnDataLoaded() override;
    void OnDataLoadEnded() override;
};
