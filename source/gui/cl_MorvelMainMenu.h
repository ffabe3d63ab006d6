#pragma once

#include "gui/cl_MainMenu.h"

// The main menu this edition shows: a chapter row of the new-game page starts that chapter at once,
// every new game starts at difficulty 0, save-game pictures go by the saved section, and video modes
// that the render system words without colour depth (GLX) are offered too.
class cl_MorvelMainMenu : public cl_MainMenu
{
public:
    // "sg_illu": "chapter_illu_" + the selected save game's section ("" while the selection names no save
    // game), without the selection marks; any other key as the base menu.
    void UpdateDynamicEntry(MenuEntry& entry) override;
    void BuildVideoOptions() override;
    // Rows whose event is "newgame:" + the chapter's id.
    void BuildNewGamePage() override;
    // Mode 3, the running minigame ended, a new game in the chapter at difficulty 0.
    void StartNewGame(const std::string& chapter) override;
};
