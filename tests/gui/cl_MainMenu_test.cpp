#include "gui/cl_MainMenu.h"

#include "TarqApp.h"
#include "common/cl_Config.h"
#include "gamecomponents/SaveEntry.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_GUISystem.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "support/MenuWorld.h"
#include "support/SceneDefinition.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace
{
// The main menu of the program, with the new games it starts noted instead of started.
class RecordingMenu : public cl_MainMenu
{
public:
    void StartNewGame(const std::string& chapter) override
    {
        startedChapters.push_back(chapter + " at " + std::to_string(GetDifficulty()));
    }
    void SetSelectedGame(int index) { m_selectedGame = index; }

    std::vector<std::string> startedChapters;
};

// The application around a menu of the test's own.
class MainMenu : public testing::Test
{
protected:
    void Load(const std::string& xml) { MenuWorld::Load(m_menu, xml); }
    void AddSaveGames(int count) { m_world.AddSaveGames(count); }

    std::string Stack() const
    {
        std::string names;
        for (const std::string& name : m_menu.GetPageStack())
            names += (names.empty() ? "" : ",") + name;
        return names;
    }

    // The texts of a page's entries, one after the other.
    std::vector<std::string> Texts(const std::string& pageId)
    {
        std::vector<std::string> texts;
        if (const cl_MainMenu::Page* page = m_menu.FindPage(pageId))
        {
            for (const MenuEntry& entry : *page)
                texts.push_back(entry.item.text);
        }
        return texts;
    }

    MenuEntry& Entry(const std::string& pageId, size_t index) { return m_menu.FindPage(pageId)->at(index); }
    cl_SaveGameManager& Saves() { return m_world.Saves(); }
    static cl_Config& Config() { return *cl_Config::GetInstance(); }

    MenuWorld m_world;
    std::unique_ptr<TarqApp>& m_app = m_world.app;
    DemoWorkingFolder& m_game = m_world.game;
    RecordingMenu m_menu;
};

const char* const PAGES = R"(<mainmenu>
    <page id="MainPage">
        <entry left="0.5" top="0.2" width="0.3" height="0.1" event="page:NewGame" align="center">Neues Spiel</entry>
        <entry left="0.5" top="0.3" event="page:LoadGame">Laden</entry>
    </page>
    <page id="MainPage_left"><entry left="0.1" top="0.1">Willkommen</entry></page>
    <page id="MainPageIngame"><entry left="0.5" top="0.2" event="resumegame">Weiter</entry></page>
    <page id="SaveGame"><entry left="0.5" top="0.9" event="savegame">Speichern</entry></page>
    <page id="LoadGame"><entry left="0.5" top="0.9" event="loadgame">Laden</entry></page>
    <page id="NewGame"><entry left="0.5" top="0.1">Kapitel</entry></page>
</mainmenu>)";

TEST_F(MainMenu, ReadsColoursAsFourNumbersAndBadOnesAsBlack)
{
    Load("<mainmenu><fontcolor>0.2 0.4 0.6 0.8</fontcolor><highlightfontcolor>green</highlightfontcolor>"
         "<selectedfontcolor/></mainmenu>");
    EXPECT_EQ(m_menu.GetFontColour(), Ogre::ColourValue(0.2f, 0.4f, 0.6f, 0.8f));
    EXPECT_EQ(m_menu.GetHighlightFontColour(), Ogre::ColourValue::Black);
    EXPECT_EQ(m_menu.GetSelectedFontColour(), Ogre::ColourValue::Black);
    // Not in the element: the default stays.
    EXPECT_EQ(m_menu.GetInactiveFontColour(), Ogre::ColourValue(0.0f, 0.0f, 0.0f, 0.5f));
}

TEST_F(MainMenu, ASetStartsAtTheLastChoiceOfTheSettingsValue)
{
    const struct
    {
        const char* name;
        const char* setting; // "" for none
        int index;
    } cases[] = {
        {"the setting's value", "2", 1},
        {"two choices of the value: the later", "same", 3},
        {"a value no choice has", "7", 0},
        {"no setting", "", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Config().SetValue("music", c.setting);
        Load("<mainmenu><settings><set name='music' preference='music'><value "
             "preferencevalue='1'>leise</value>"
             "<value preferencevalue='2'>laut</value><value preferencevalue='same'>a</value>"
             "<value preferencevalue='same'>b</value></set></settings></mainmenu>");
        const SettingsSet& set = m_menu.GetSettings().at("music");
        EXPECT_EQ(set.index, c.index);
        EXPECT_EQ(set.key, "music");
        ASSERT_EQ(set.choices.size(), 4u);
        EXPECT_EQ(set.choices[1].label, "laut");
        EXPECT_EQ(set.choices[1].value, "2");
    }
}

TEST_F(MainMenu, ReadsEachAttributeOfAnEntry)
{
    Load("<mainmenu><page id='p'>"
         "<entry left='0.25' top='0.5' width='0.125' height='0.0625' event='back' align='center' "
         "fontsize='0.05'"
         " isImage='true' isEditable='true'>pic</entry>"
         "<entry left='abc' align='right' isDynamic='true' isImage='TRUE'>$_empty_slot$</entry>"
         "<entry align='left'>plain</entry></page></mainmenu>");
    const MenuEntry& picture = Entry("p", 0);
    EXPECT_EQ(picture.item.text, "pic");
    EXPECT_EQ(picture.item.x, 0.25f);
    EXPECT_EQ(picture.item.y, 0.5f);
    EXPECT_EQ(picture.item.width, 0.125f);
    EXPECT_EQ(picture.item.height, 0.0625f);
    EXPECT_EQ(picture.event, "back");
    EXPECT_EQ(picture.item.alignment, cl_CanvasItem::ALIGN_CENTRE);
    EXPECT_EQ(picture.item.charHeight, 0.05f);
    EXPECT_TRUE(picture.item.isImage);
    EXPECT_TRUE(picture.editable);
    EXPECT_TRUE(picture.dynamicKey.empty());

    const MenuEntry& dynamic = Entry("p", 1);
    EXPECT_EQ(dynamic.item.text, "Leerer Platz");
    EXPECT_EQ(dynamic.dynamicKey, "Leerer Platz");
    EXPECT_EQ(dynamic.item.x, 0.0f) << "a number that does not scan";
    EXPECT_EQ(dynamic.item.alignment, cl_CanvasItem::ALIGN_RIGHT);
    EXPECT_EQ(dynamic.item.charHeight, 0.1f);
    EXPECT_FALSE(dynamic.item.isImage) << "only \"true\" is true";
    EXPECT_FALSE(dynamic.inactive || dynamic.highlighted || dynamic.selected || dynamic.generated);
    EXPECT_EQ(Entry("p", 2).item.alignment, cl_CanvasItem::ALIGN_LEFT);
}

TEST_F(MainMenu, APageReadAgainIsReplacedAndOthersStay)
{
    Load("<mainmenu><page id='a'><entry>one</entry><entry>two</entry></page><page "
         "id='b'><entry>b</entry></page>"
         "</mainmenu>");
    Load("<mainmenu><page id='a'><entry>three</entry></page></mainmenu>");
    EXPECT_EQ(Texts("a"), std::vector<std::string>{"three"});
    EXPECT_EQ(Texts("b"), std::vector<std::string>{"b"});
    EXPECT_EQ(m_menu.FindPage("c"), nullptr);
}

TEST_F(MainMenu, PagesOpenWithTheirLeftPageAndTheStackKeepsTwoSpreads)
{
    const struct
    {
        const char* name;
        std::vector<std::string> opened;
        bool inGame;
        const char* stack;
    } cases[] = {
        {"the first spread", {"MainPage"}, false, "MainPage_left,MainPage"},
        {"a page without data still opens", {"Nowhere"}, false, "Nowhere_left,Nowhere"},
        {"two spreads", {"MainPage", "NewGame"}, false, "MainPage_left,MainPage,NewGame_left,NewGame"},
        {"a third spread drops the first",
         {"MainPage", "NewGame", "Credits"},
         false,
         "NewGame_left,NewGame,Credits_left,Credits"},
        {"back a spread", {"MainPage", "NewGame", "Credits", "last"}, false, "NewGame_left,NewGame"},
        {"back twice goes no further than one spread",
         {"MainPage", "NewGame", "last", "last"},
         false,
         "MainPage_left,MainPage"},
        {"a page already open changes nothing",
         {"MainPage", "NewGame", "MainPage"},
         false,
         "MainPage_left,MainPage,NewGame_left,NewGame"},
        {"the main page during a game", {"MainPage"}, true, "MainPageIngame_left,MainPageIngame"},
        {"the in-game main page is open already",
         {"MainPage", "MainPage"},
         true,
         "MainPageIngame_left,MainPageIngame"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingMenu menu;
        cl_SceneManager& scenes = *cl_SceneManager::GetInstance();
        scenes.UnloadScene();
        if (c.inGame)
        {
            ParseScenes(scenes, {"scenes_tower"});
            scenes.SwitchScene("scenes_tower", "default", false, false);
        }
        for (const std::string& name : c.opened)
            menu.GoToPage(name);
        std::string stack;
        for (const std::string& name : menu.GetPageStack())
            stack += (stack.empty() ? "" : ",") + name;
        EXPECT_EQ(stack, c.stack);
    }
}

TEST_F(MainMenu, EventWordsRunTheirEffect)
{
    const struct
    {
        const char* event;
        bool reverse;
        const char* started; // the new game asked for, "" for none
        int mode;
        int selectedGame;
        int difficulty;
        const char* chapter;
        const char* stack;
        bool quits;
    } cases[] = {
        {"startgame", false, "chapter2 at 0", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"newgame", false, "chapter1 at 0", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"newgame:x", false, "x at 0", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"newgame:", false, " at 0", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"newgamex", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"resumegame", false, "", TarqApp::MODE_INGAME, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"back", false, "", 0, 3, 0, "chapter2", "A_left,A", false},
        {"page:C", true, "", 0, 3, 0, "chapter2", "B_left,B,C_left,C", false},
        {"selectchapter:chapter7", false, "", 0, 3, 0, "chapter7", "A_left,A,B_left,B", false},
        {"selectgame:-1", false, "", 0, -1, 0, "chapter2", "A_left,A,B_left,B", false},
        {"selectgame:0", false, "", 0, 0, 0, "chapter2", "A_left,A,B_left,B", false},
        {"selectgame:12", false, "", 0, 12, 0, "chapter2", "A_left,A,B_left,B", false},
        {"selectgame:00", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"selectgame:abc", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"selectgame:99999999999", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"difficulty:next", false, "", 0, 3, 1, "chapter2", "A_left,A,B_left,B", false},
        {"difficulty:last", false, "", 0, 3, 1, "chapter2", "A_left,A,B_left,B", false},
        {"quitgame", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", true},
        {"quitgame ", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"loadgame", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"nothing", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
        {"", false, "", 0, 3, 0, "chapter2", "A_left,A,B_left,B", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.event);
        m_app.reset();
        m_app = std::make_unique<TarqApp>();
        RecordingMenu menu;
        menu.SetSelectedGame(3);
        menu.ExecuteEvent("selectchapter:chapter2", false);
        menu.GoToPage("A");
        menu.GoToPage("B");
        menu.ExecuteEvent(c.event, c.reverse);
        EXPECT_EQ(menu.startedChapters.empty() ? "" : menu.startedChapters.front(), std::string(c.started));
        EXPECT_EQ(m_app->GetMode(), c.mode);
        EXPECT_EQ(menu.GetSelectedGame(), c.selectedGame);
        EXPECT_EQ(menu.GetDifficulty(), c.difficulty);
        EXPECT_EQ(menu.GetChapter(), c.chapter);
        std::string stack;
        for (const std::string& name : menu.GetPageStack())
            stack += (stack.empty() ? "" : ",") + name;
        EXPECT_EQ(stack, c.stack);
        EXPECT_EQ(m_app->IsQuitRequested(), c.quits);
    }
}

TEST_F(MainMenu, DifficultyAlternatesBetweenNormalAndHard)
{
    const struct
    {
        const char* direction;
        int from;
        int to;
    } cases[] = {{"next", 0, 1}, {"next", 1, 0}, {"last", 0, 1}, {"last", 1, 0}, {"up", 1, 0}};
    for (const auto& c : cases)
    {
        RecordingMenu menu;
        if (c.from == 1)
            menu.StepDifficulty("next");
        menu.StepDifficulty(c.direction);
        EXPECT_EQ(menu.GetDifficulty(), c.to) << c.direction << " from " << c.from;
    }
}

TEST_F(MainMenu, SettingsStepThroughTheirChoicesAndApplyAtOnce)
{
    Load("<mainmenu><settings><set name='subtitles' preference='subtitle'>"
         "<value preferencevalue='true'>an</value><value preferencevalue='false'>aus</value>"
         "<value preferencevalue='big'>gross</value></set><set name='empty' preference='empty'/></settings>"
         "</mainmenu>");
    const struct
    {
        bool reverse;
        const char* value;
    } steps[] = {{false, "false"}, {false, "big"}, {false, "true"}, {true, "big"}, {true, "false"}};
    for (const auto& step : steps)
    {
        m_menu.ExecuteEvent("change:subtitles", step.reverse);
        EXPECT_EQ(Config().GetValue("subtitle"), step.value);
    }
    // A set without choices and an unknown set change nothing.
    m_menu.ExecuteEvent("change:empty", false);
    m_menu.ExecuteEvent("change:none", true);
    EXPECT_EQ(Config().GetValue("subtitle"), "false");
    EXPECT_EQ(m_menu.GetSettings().at("empty").index, 0);

    // Leaving the settings without saving takes the file's values back; the sets show them when the
    // settings page opens next.
    m_menu.GoToPage("MainPage");
    m_menu.GoToPage("Preferences");
    m_menu.ExecuteEvent("exitconfig", false);
    EXPECT_EQ(Config().GetValue("subtitle"), "true");
    EXPECT_EQ(Stack(), "MainPage_left,MainPage");
    m_menu.GoToPage("Preferences");
    // Saving writes the file; the application takes the saved settings.
    m_menu.ExecuteEvent("change:subtitles", false);
    m_menu.ExecuteEvent("saveconfig", false);
    EXPECT_FALSE(Config().IsModified());
    EXPECT_FALSE(cl_GUISystem::GetInstance()->GetIngameMenu().HasSubtitles());
    std::ifstream saved(m_game.UserFile("config.xml"));
    const std::string text((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("<subtitle>false</subtitle>"), std::string::npos) << text;
}

TEST_F(MainMenu, OpeningThePreferencesReadsTheSettingsAgain)
{
    Config().SetValue("music", "0");
    Load("<mainmenu><settings><set name='music' preference='music'><value preferencevalue='0'>aus</value>"
         "<value preferencevalue='100'>an</value></set></settings></mainmenu>");
    Config().SetValue("music", "100");
    m_menu.GoToPage("MainPage");
    EXPECT_EQ(m_menu.GetSettings().at("music").index, 0);
    m_menu.GoToPage("Preferences");
    EXPECT_EQ(m_menu.GetSettings().at("music").index, 1);
}

TEST_F(MainMenu, SaveAndLoadPagesListTheSaveGamesFromTheOffset)
{
    const struct
    {
        const char* name;
        int saves;
        const char* offsetEvent; // "" for none
        int offset;
        std::vector<std::string> savePage;
        std::vector<std::string> loadPage;
    } cases[] = {
        {"no save games", 0, "", 0, {"Leerer Platz"}, {}},
        {"three",
         3,
         "",
         0,
         {"Leerer Platz", "Spiel 0", "Spiel 1", "Spiel 2"},
         {"Spiel 0", "Spiel 1", "Spiel 2"}},
        {"twenty from 15",
         20,
         "offsetgamelist:15",
         15,
         {"Spiel 14", "Spiel 15", "Spiel 16", "Spiel 17", "Spiel 18", "Spiel 19"},
         {"Spiel 15", "Spiel 16", "Spiel 17", "Spiel 18", "Spiel 19"}},
        {"past the end: the last", 20, "offsetgamelist:40", 19, {"Spiel 18", "Spiel 19"}, {"Spiel 19"}},
        {"before the start: the first",
         20,
         "offsetgamelist:-5",
         0,
         {"Leerer Platz", "Spiel 0", "Spiel 1", "Spiel 2", "Spiel 3", "Spiel 4", "Spiel 5", "Spiel 6"},
         {"Spiel 0", "Spiel 1", "Spiel 2", "Spiel 3", "Spiel 4", "Spiel 5", "Spiel 6", "Spiel 7"}},
        {"an offset that would overflow",
         20,
         "offsetgamelist:2147483647",
         19,
         {"Spiel 18", "Spiel 19"},
         {"Spiel 19"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        boost::filesystem::remove_all(m_game.UserFile("savegames"));
        AddSaveGames(c.saves);
        RecordingMenu menu;
        menu.ExecuteEvent("offsetgamelist:0", false);
        if (*c.offsetEvent)
            menu.ExecuteEvent(c.offsetEvent, false);
        EXPECT_EQ(menu.GetGameListOffset(), c.offset);
        std::vector<std::string> savePage;
        for (const MenuEntry& entry : *menu.FindPage("SaveGame"))
            savePage.push_back(entry.item.text);
        std::vector<std::string> loadPage;
        for (const MenuEntry& entry : *menu.FindPage("LoadGame"))
            loadPage.push_back(entry.item.text);
        EXPECT_EQ(savePage, c.savePage);
        EXPECT_EQ(loadPage, c.loadPage);
    }
}

TEST_F(MainMenu, ListRowsSelectTheirSaveGameAndOnlySaveSlotsAreEditable)
{
    Load(PAGES);
    AddSaveGames(2);
    m_menu.GoToPage("SaveGame");
    m_menu.GoToPage("LoadGame");
    ASSERT_EQ(Texts("SaveGame"),
              (std::vector<std::string>{"Speichern", "Leerer Platz", "Spiel 0", "Spiel 1"}));
    const struct
    {
        const char* page;
        size_t index;
        const char* event;
        float y;
        bool editable;
    } rows[] = {
        {"SaveGame", 1, "selectgame:-1", 0.2f, true},  {"SaveGame", 2, "selectgame:0", 0.27f, true},
        {"SaveGame", 3, "selectgame:1", 0.34f, true},  {"LoadGame", 1, "selectgame:0", 0.2f, false},
        {"LoadGame", 2, "selectgame:1", 0.27f, false},
    };
    for (const auto& row : rows)
    {
        const MenuEntry& entry = Entry(row.page, row.index);
        EXPECT_EQ(entry.event, row.event);
        EXPECT_NEAR(entry.item.y, row.y, 1e-6f) << row.event;
        EXPECT_EQ(entry.item.x, 0.525f);
        EXPECT_EQ(entry.item.charHeight, 0.06f);
        EXPECT_EQ(entry.item.alignment, cl_CanvasItem::ALIGN_CENTRE);
        EXPECT_EQ(entry.editable, row.editable) << row.event;
        EXPECT_TRUE(entry.generated);
    }
    // Drawing marks the selected save game's rows.
    m_menu.ExecuteEvent("selectgame:1", false);
    EXPECT_TRUE(Entry("SaveGame", 3).selected);
    EXPECT_TRUE(Entry("LoadGame", 2).selected);
    EXPECT_FALSE(Entry("SaveGame", 2).selected);
    // Opening the page again builds the rows anew, behind the page's own entries.
    m_menu.GoToPage("MainPage");
    m_menu.GoToPage("SaveGame");
    EXPECT_EQ(Texts("SaveGame").size(), 4u);
}

TEST_F(MainMenu, TheNewGamePageHasARowPerUnlockedChapter)
{
    Load(PAGES);
    Config().SetValue("unlocked_chapter1", "true");
    m_menu.GoToPage("NewGame");
    EXPECT_EQ(Texts("NewGame"), (std::vector<std::string>{"Kapitel", "Das Turmzimmer"}));
    EXPECT_EQ(Entry("NewGame", 1).event, "selectchapter:chapter1");
    EXPECT_TRUE(Entry("NewGame", 1).selected) << "the chosen chapter";
    EXPECT_FALSE(Entry("NewGame", 1).editable);
}

TEST_F(MainMenu, DynamicEntriesShowWhatTheProgramKnows)
{
    AddSaveGames(2);
    Load("<mainmenu><settings><set name='music'><value>leise</value><value>laut</value></set>"
         "<set name='a set without choices'/></settings></mainmenu>");
    m_menu.ExecuteEvent("change:music", false);
    const struct
    {
        const char* key;
        int selectedGame;
        bool highlighted;
        const char* text;
        bool inactive;
    } cases[] = {
        {"difficulty", 0, false, "Normal", false},
        {"difficulty_anything", 0, false, "Normal", false},
        {"desc_ln1_difficulty", 0, false, "_difficulty_normal_desc_ln1", false},
        {"current:music", 0, false, "laut", false},
        {"current:a set without choices", 0, false, "", false},
        {"current:none", 0, false, "before", false},
        {"sg_title", 1, false, "Spiel 1", false},
        {"sg_title", -1, false, "", false},
        {"sg_title", 5, false, "", false},
        {"sg_illu", 0, false, "chapter_illu_chapter1", false},
        {"sg_chapter_title", 0, false, "Das Turmzimmer - Kapitel 1", false},
        {"sg_played", 1, false, "1 Stunde, 1 Minute", false},
        {"sg_quickload", 0, false, "Weiterspielen", true},
        {"sg_load_game", 0, false, "_load_game", false},
        {"pref_save", 0, false, "_save_preferences", true},
        {"mm_arrow_up", 0, false, "mm_pfeil_rauf_normal", false},
        {"mm_arrow_up", 0, true, "mm_pfeil_rauf_selected", false},
        {"mm_arrow_right", 0, true, "mm_pfeil_rechts_selected", false},
        {"unknown", 0, false, "before", false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.key) + " with save game " + std::to_string(c.selectedGame));
        m_menu.SetSelectedGame(c.selectedGame);
        MenuEntry entry;
        entry.dynamicKey = c.key;
        entry.highlighted = c.highlighted;
        entry.item.text = "before";
        m_menu.UpdateDynamicEntry(entry);
        EXPECT_EQ(entry.item.text, c.text);
        EXPECT_EQ(entry.inactive, c.inactive);
    }
}

TEST_F(MainMenu, TypingASaveNameStopsAt34BytesAndBackspaceTakesACharacter)
{
    const struct
    {
        const char* name;
        std::vector<std::string> typed; // "\b" is Backspace
        const char* shown;
        const char* saveName;
    } cases[] = {
        {"a name", {"T", "u", "r", "m", " ", "1"}, "Turm 1_", "Turm 1"},
        {"Backspace", {"a", "b", "\b"}, "a_", "a"},
        {"Backspace on the lone cursor keeps it", {"\b", "\b"}, "_", ""},
        {"Backspace takes a whole character", {"a", "\xC3\xA4", "\b"}, "a_", "a"},
        {"Backspace takes the character before the cursor only",
         {"\xC3\xA4", "b", "\b"},
         "\xC3\xA4_",
         "\xC3\xA4"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        RecordingMenu menu;
        MenuEntry entry;
        entry.item.text = "Leerer Platz";
        menu.BeginTextEntry(entry, "");
        EXPECT_TRUE(menu.IsEditing());
        for (const std::string& text : c.typed)
        {
            if (text == "\b")
                menu.OnKeyPressed(cl_MainMenu::KEY_BACKSPACE);
            else
                menu.AddText(text);
        }
        EXPECT_EQ(entry.item.text, c.shown);
        menu.EndTextEntry();
        EXPECT_EQ(menu.GetSaveName(), c.saveName);
        EXPECT_EQ(entry.item.text, "Leerer Platz") << "the slot shows its label again";
        EXPECT_FALSE(menu.IsEditing());
    }
    // 33 bytes and the cursor take no more; 32 and the cursor take one more character of any length.
    RecordingMenu menu;
    MenuEntry entry;
    menu.BeginTextEntry(entry, "");
    menu.AddText(std::string(33, 'x'));
    EXPECT_EQ(entry.item.text.size(), 34u);
    menu.AddText("y");
    EXPECT_EQ(entry.item.text.size(), 34u);
    menu.EndTextEntry();
    MenuEntry longer;
    menu.BeginTextEntry(longer, "");
    menu.AddText(std::string(32, 'x'));
    menu.AddText("\xC3\xA4");
    EXPECT_EQ(longer.item.text.size(), 35u) << "the limit is checked before the text goes in";
}

TEST_F(MainMenu, ClicksOpenTheBookSelectSlotsTypeAndSave)
{
    Load(PAGES);
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    Saves().ScanSaveGames();
    m_app->SetMode(TarqApp::MODE_MAINMENU);
    m_menu.CreateScene("");
    EXPECT_TRUE(m_menu.GetPageStack().empty()) << "the closed book";

    // The first click opens the book; then the save page's empty slot is clicked once (selected), again
    // (typing), a name typed and "Speichern" clicked.
    m_menu.OnMouseReleased(0);
    EXPECT_EQ(Stack(), "MainPageIngame_left,MainPageIngame");
    m_menu.GoToPage("SaveGame");
    const auto click = [&](const std::string& page, size_t index)
    {
        Entry(page, index).highlighted = true;
        m_menu.OnMouseReleased(0);
        if (m_menu.FindPage(page) && index < m_menu.FindPage(page)->size())
            Entry(page, index).highlighted = false;
    };
    click("SaveGame", 1);
    EXPECT_EQ(m_menu.GetSelectedGame(), -1);
    EXPECT_EQ(m_menu.GetSaveName(), "Leerer Platz") << "the label of a slot clicked once";
    EXPECT_FALSE(m_menu.IsEditing());
    click("SaveGame", 1);
    ASSERT_TRUE(m_menu.IsEditing());
    EXPECT_EQ(Entry("SaveGame", 1).item.text, "_");
    for (const char* text : {"T", "u", "r", "m", " ", "1"})
        m_menu.AddText(text);
    click("SaveGame", 0);
    EXPECT_EQ(m_menu.GetSaveName(), "Turm 1");
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    EXPECT_EQ(Saves().GetEntries()[0].name, "Turm 1");
    EXPECT_EQ(Stack(), "MainPageIngame_left,MainPageIngame") << "back a spread after saving";
}

TEST_F(MainMenu, TheWheelScrollsTheListsWhileANameIsTyped)
{
    Load(PAGES);
    AddSaveGames(12);
    m_menu.CreateScene("SaveGame");
    Entry("SaveGame", 3).selected = true;
    m_menu.BeginTextEntry(Entry("SaveGame", 3), "");
    m_menu.AddText("x");
    // The rows are made anew: the name typed so far is kept, the typing ends.
    m_menu.OnMouseMoved(0.5f, 0.5f, -120.0f);
    EXPECT_FALSE(m_menu.IsEditing());
    EXPECT_EQ(m_menu.GetSaveName(), "x");
    EXPECT_EQ(m_menu.GetGameListOffset(), 1);
    m_menu.OnMouseMoved(0.5f, 0.5f, 120.0f);
    EXPECT_EQ(m_menu.GetGameListOffset(), 0);
}

TEST_F(MainMenu, LoadingAGameNeedsASaveGameSelected)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "eins"));
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    m_app->SetMode(TarqApp::MODE_MAINMENU);
    for (int index : {-1, 1, 7})
    {
        m_menu.SetSelectedGame(index);
        m_menu.ExecuteEvent("loadgame", false);
        EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU) << index;
        EXPECT_EQ(Saves().GetCurrentEntry().name, "") << index;
    }
    m_menu.SetSelectedGame(0);
    m_menu.ExecuteEvent("loadgame", false);
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_INGAME);
    EXPECT_EQ(Saves().GetCurrentEntry().name, "eins");
}

TEST_F(MainMenu, AGameThatCannotStartOrLoadTakesThePlayerBackToTheMenuWhichSaysWhy)
{
    // The program's own menu, which the application shows and closes with the menu mode.
    cl_MainMenu& menu = cl_GUISystem::GetInstance()->GetMainMenu();
    MenuWorld::Load(menu, PAGES);
    const std::string saves = m_game.UserFile("savegames/");
    boost::filesystem::create_directories(saves);
    WriteTextFile(saves + "savegame0.tsg", "<savegame version=\"1.03\"><name>Turm</name>");
    WriteTextFile(saves + "savegame1.tsg",
                  "<savegame version=\"1.03\"><name>Fort</name><chapter>chapter9"
                  "</chapter><datetime>1700000000</datetime><gamestate/></savegame>");
    Saves().ScanSaveGames();
    // The index of the save game in that file.
    const auto listed = [this](const char* file)
    {
        const std::vector<SaveEntry>& entries = Saves().GetEntries();
        return static_cast<int>(std::find_if(entries.begin(), entries.end(),
                                             [file](const SaveEntry& entry)
                                             { return entry.file.find(file) != std::string::npos; }) -
                                entries.begin());
    };
    const struct
    {
        const char* name;
        const char* gamestate; // of the chapter; null: the demo's
        const char* event;
        int selectedGame;
        const char* shown;
    } cases[] = {
        {"a chapter with an empty gamestate.xml", "", "newgame:chapter1", 0,
         "The chapter 'chapter1' cannot start: its gamestate.xml is empty."},
        {"a chapter that does not exist", nullptr, "newgame:chapter9", 0, "There is no chapter 'chapter9'."},
        {"a save game that cannot be read", nullptr, "loadgame", listed("savegame0.tsg"),
         "The save game 'savegame0.tsg' cannot be read."},
        {"a save game of a chapter that does not exist", nullptr, "loadgame", listed("savegame1.tsg"),
         "The save game 'Fort' belongs to the chapter 'chapter9', which does not exist."},
        {"no autosave", nullptr, "autoload", 0, ""},
    };
    const std::string newGame = ReadTextFile("pimb/chapter1/gamestate.xml");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteTextFile("pimb/chapter1/gamestate.xml", c.gamestate ? c.gamestate : newGame);
        m_app->SetMode(TarqApp::MODE_MAINMENU);
        menu.GoToPage("LoadGame");
        menu.ExecuteEvent("selectgame:" + std::to_string(c.selectedGame), false);
        menu.ExecuteEvent(c.event, false);
        EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
        EXPECT_TRUE(menu.IsShown());
        EXPECT_EQ(menu.GetPageStack(), (std::vector<std::string>{"MainPage_left", "MainPage"}));
        EXPECT_EQ(menu.GetFailureMessage(), c.shown);
        EXPECT_FALSE(m_app->IsQuitRequested());

        // The message goes with the next page, and with the menu.
        menu.GoToPage("NewGame");
        EXPECT_EQ(menu.GetFailureMessage(), "");
        m_app->SetMode(TarqApp::MODE_INGAME);
    }
}

TEST_F(MainMenu, QuittingSavesTheRunningGameFirst)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    m_app->SetMode(TarqApp::MODE_MAINMENU);
    m_menu.ExecuteEvent("quitgame", false);
    EXPECT_TRUE(Saves().HasAutosave());
    EXPECT_TRUE(m_app->IsQuitRequested());
}

TEST(MainMenuVideoModes, ResolutionsComeFromWideModesOfMoreThan16BitColour)
{
    const std::vector<std::string> d3d = {"800 x 600 @ 32-bit colour", "1024 x 768 @ 16-bit colour",
                                          "1024 x 768 @ 32-bit colour", "1280 x 1024 @ 32-bit colour"};
    const std::vector<std::string> glx = {" 800 x  600", "1024 x  768", "1280 x 1024", "1920 x 1080"};
    const struct
    {
        const char* name;
        const std::vector<std::string>& modes;
        const char* current;
        bool acceptBare;
        std::vector<std::string> labels;
        int index;
    } cases[] = {
        {"colour depths", d3d, "1280 x 1024 @ 32-bit colour", false, {"1024 x 768", "1280 x 1024"}, 1},
        {"GLX's modes without depth are left out", glx, "1280 x 1024", false, {}, 0},
        {"unless bare modes are taken",
         glx,
         "1280 x 1024",
         true,
         {"1024 x  768", "1280 x 1024", "1920 x 1080"},
         1},
        {"the depth test still holds for the others", d3d, "", true, {"1024 x 768", "1280 x 1024"}, 0},
        {"no current mode among them",
         glx,
         "640 x 480",
         true,
         {"1024 x  768", "1280 x 1024", "1920 x 1080"},
         0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const SettingsSet set = cl_MainMenu::ResolutionSet(c.modes, c.current, c.acceptBare);
        std::vector<std::string> labels;
        for (const SettingsChoice& choice : set.choices)
            labels.push_back(choice.label);
        EXPECT_EQ(labels, c.labels);
        EXPECT_EQ(set.index, c.index);
        EXPECT_EQ(set.key, "resolution");
        if (!set.choices.empty())
            EXPECT_EQ(set.choices.back().value, c.modes.back()) << "the value is the whole text";
    }
}

TEST(MainMenuVideoModes, SmoothingOffersTheFirstFourLevels)
{
    const SettingsSet set = cl_MainMenu::SmoothingSet({"0", "2", "4", "8", "16"}, "4");
    ASSERT_EQ(set.choices.size(), 4u);
    EXPECT_EQ(set.index, 2);
    EXPECT_EQ(set.key, "FSAA");
    EXPECT_EQ(set.choices[0].label, "$FSAA_0$") << "without localizer";
    EXPECT_EQ(set.choices[3].value, "8");
}

// A menu whose difficulty the test sets: the menu itself never sets -1.
class MenuAtDifficulty : public cl_MainMenu
{
public:
    explicit MenuAtDifficulty(int difficulty) { m_difficulty = difficulty; }
};

TEST_F(MainMenu, ANewGameAtDifficultyMinusOneEntersTheEasyMinigameInstead)
{
    MenuAtDifficulty menu(-1);
    m_app->SetMode(TarqApp::MODE_MAINMENU);
    menu.ExecuteEvent("newgame", false);
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_EASY);
    EXPECT_EQ(Saves().GetCurrentEntry().chapter, "") << "no new game";
}

TEST_F(MainMenu, LeavingTheMenuBringsBackTheMusicOfBeforeEvenWhenItWasStillToCome)
{
    cl_SoundMixer& mixer = cl_Sound::GetInstance()->GetMixer();
    // The tower's music is asked for and waits for a fade-out.
    mixer.PlayMusic("tower", 1.0f, true, false);
    m_menu.CreateScene("");
    EXPECT_EQ(m_menu.GetPreviousMusic(), "tower");
    EXPECT_EQ(mixer.GetCurrentMusicName(), cl_MainMenu::MUSIC);
    m_menu.DestroyScene();
    EXPECT_EQ(mixer.GetCurrentMusicName(), "tower");
    // A second close changes nothing.
    mixer.PlayMusic("other", 1.0f, true, false);
    m_menu.DestroyScene();
    EXPECT_EQ(mixer.GetCurrentMusicName(), "other");
}
} // namespace
