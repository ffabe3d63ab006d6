#include "gui/cl_GameLoadingScreen.h"

void cl_GameLoadingScreen::Start(Ogre::RenderWindow*) {}

void cl_GameLoadingScreen::Finish() {}
