#include "gui/cl_MorvelMainMenu.h"

#include "gamecomponents/SaveEntry.h"

void cl_MorvelMainMenu::UpdateDynamicEntry(MenuEntry& entry)
{
    if (entry.dynamicKey != "sg_illu")
    {
        cl_MainMenu::UpdateDynamicEntry(entry);
        return;
    }
    const SaveEntry* save = SelectedSaveGame();
    entry.item.text = save ? "chapter_illu_" + save->section : std::string();
}

void cl_MorvelMainMenu::BuildVideoOptions()
{
    AddVideoOptions(true);
}

void cl_MorvelMainMenu::BuildNewGamePage()
{
    FillNewGamePage("newgame:");
}

void cl_MorvelMainMenu::StartNewGame(const std::string& chapter)
{
    BeginNewGame(chapter, 0);
}
