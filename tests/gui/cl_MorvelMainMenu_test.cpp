#include "gui/cl_MorvelMainMenu.h"

#include "common/cl_Config.h"
#include "common/cl_ScriptSystem.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "support/ArgumentText.h"
#include "support/MenuWorld.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// The menu the program makes, in the application with the demo's first chapter unlocked.
class MorvelMainMenu : public testing::Test
{
protected:
    MorvelMainMenu()
    {
        cl_Config::GetInstance()->SetValue("unlocked_chapter1", "true");
        MenuWorld::Load(m_menu, "<mainmenu><page id='NewGame'><entry>Kapitel</entry></page></mainmenu>");
    }

    // The difficulty the running game was started with.
    static std::string Difficulty() { return ReturnedText("return _globals.difficulty"); }

    MenuWorld m_world;
    cl_MorvelMainMenu m_menu;
};

TEST_F(MorvelMainMenu, AChapterRowStartsItsChapterAtOnceAtDifficultyZero)
{
    m_menu.ExecuteEvent("difficulty:next", false);
    ASSERT_EQ(m_menu.GetDifficulty(), 1) << "the difficulty still steps";
    m_menu.GoToPage("NewGame");
    const MenuEntry& row = m_menu.FindPage("NewGame")->at(1);
    EXPECT_EQ(row.event, "newgame:chapter1");
    EXPECT_EQ(row.item.text, "Das Turmzimmer");

    m_world.app->SetMode(TarqApp::MODE_MAINMENU);
    m_menu.ExecuteEvent(row.event, false);
    EXPECT_EQ(m_world.app->GetMode(), TarqApp::MODE_INGAME);
    EXPECT_EQ(Difficulty(), "int 0");
}

TEST_F(MorvelMainMenu, EveryNewGameWordStartsAtDifficultyZero)
{
    m_menu.ExecuteEvent("difficulty:next", false);
    for (const char* event : {"startgame", "newgame", "newgame:chapter1"})
    {
        SCOPED_TRACE(event);
        m_world.app->SetMode(TarqApp::MODE_MAINMENU);
        m_menu.ExecuteEvent(event, false);
        EXPECT_EQ(m_world.app->GetMode(), TarqApp::MODE_INGAME);
        EXPECT_EQ(Difficulty(), "int 0");
    }
}

TEST_F(MorvelMainMenu, TheSaveGamesPictureGoesByItsSection)
{
    m_world.AddSaveGames(2);
    const struct
    {
        const char* selection;
        const char* text;
    } cases[] = {
        {"selectgame:1", "chapter_illu_turm"},
        {"selectgame:-1", ""},
        {"selectgame:9", ""},
    };
    for (const auto& c : cases)
    {
        m_menu.ExecuteEvent(c.selection, false);
        MenuEntry picture;
        picture.dynamicKey = "sg_illu";
        picture.event = "selectgame:1";
        picture.item.text = "before";
        m_menu.UpdateDynamicEntry(picture);
        EXPECT_EQ(picture.item.text, c.text) << c.selection;
        EXPECT_FALSE(picture.selected) << "no selection marks for the picture";
    }
    // Other keys are the base menu's.
    MenuEntry title;
    title.dynamicKey = "sg_title";
    m_menu.ExecuteEvent("selectgame:0", false);
    m_menu.UpdateDynamicEntry(title);
    EXPECT_EQ(title.item.text, "Spiel 0");
}
} // namespace
