#include "gui/cl_ChapterLoadingScreen.h"

cl_ChapterLoadingScreen::cl_ChapterLoadingScreen(Ogre::SceneManager*, const std::string&, const std::string&)
{
}

void cl_ChapterLoadingScreen::SetShares(float, int, int, int) {}

void cl_ChapterLoadingScreen::Start(Ogre::RenderWindow*) {}

void cl_ChapterLoadingScreen::Finish() {}

void cl_ChapterLoadingScreen::OnDataLoadStarted(int) {}

void cl_ChapterLoadingScreen::OnDataLoaded() {}

void cl_ChapterLoadingScreen::OnDataLoadEnded() {}
