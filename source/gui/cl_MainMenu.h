#pragma once

#include "common/ITarqdataParser.h"
#include "common/cl_ParserRegistration.h"
#include "gui/MenuBook.h"
#include "gui/MenuEntry.h"
#include "gui/SettingsSet.h"

#include <OgreColourValue.h>

#include <map>
#include <string>
#include <vector>

namespace Ogre
{
class SceneManager;
}

class cl_SaveGameManager;
class cl_TextureCanvas;
struct SaveEntry;

// The main menu: a book whose pages come from the data-file element `mainmenu` (colours, settings sets
// bound to settings, pages of entries), drawn into the book's page textures. It keeps the stack of open
// pages, runs the event word of a clicked entry (start, load, save, settings, quit), fills the entries
// and list pages that the program itself knows (save games, chapters, settings), takes a typed save name,
// takes the player back after a game that could not start or load and says why, and shows it all in a 3D
// scene of its own (MenuBook). The GUI system owns the one menu, forwards input and frame time to it while
// it is shown; the application creates and destroys its scene with the menu mode. Parser of `mainmenu`,
// registered with the data-file loader while it lives. Main thread only.
class cl_MainMenu : public ITarqdataParser
{
public:
    using Page = std::vector<MenuEntry>;

    // The mouse button of a reverse click, and the key code of Backspace.
    static const int RIGHT_BUTTON = 1;
    static const int KEY_BACKSPACE = 14;
    // A typed save name with its cursor stops growing at this many bytes.
    static const size_t MAX_ENTRY_BYTES = 34;
    static const char* const SOUND_CLICK_OK;
    static const char* const SOUND_CLICK_FAIL;
    static const char* const SOUND_PAGE_TURN;
    static const char* const MUSIC;

    cl_MainMenu();
    ~cl_MainMenu() override;
    cl_MainMenu(const cl_MainMenu&) = delete;
    cl_MainMenu& operator=(const cl_MainMenu&) = delete;

    // Reads a `mainmenu` element into the model: colours, settings sets and pages. A second element adds
    // to it: a repeated page id replaces that page's entries, a repeated set name the set. Text that does
    // not parse gives the defaults (black for a colour). Nothing is read with skip set or without element.
    void ParseElement(const TiXmlElement* element, const std::string& group, bool skip) override;
    // Menu data stays for the whole run.
    void UnloadGroup(const std::string& group) override;

    // Fills a dynamic entry's text or picture from what the program knows (difficulty, settings, the
    // selected save game, arrows), then marks it selected when its event selects the current chapter or
    // save game. Run for each dynamic entry whenever its page is drawn.
    virtual void UpdateDynamicEntry(MenuEntry& entry);
    // Builds the settings sets "_resolution" and "_smooth" from the render system's options "Video Mode"
    // (modes below 1024 pixels wide and of 16-bit colour left out) and "FSAA". Nothing without a render
    // system.
    virtual void BuildVideoOptions();
    // Fills the page "NewGame" with a row per unlocked chapter that selects it.
    virtual void BuildNewGamePage();
    // Starts a new game in the chapter: mode 3, the running minigame ended, the save games' new game at
    // the menu's difficulty; difficulty -1 enters mode 7 instead.
    virtual void StartNewGame(const std::string& chapter);

    // Opens a page with its "_left" companion, or goes back a spread for "last"; plays the page-turn
    // sound, rebuilds the page's lists, redraws and flips the book. "MainPage" opens "MainPageIngame"
    // while a game scene exists; a page already open changes nothing but the sound.
    void GoToPage(const std::string& name);
    // Draws the entries into the page texture of the stack position (running the dynamic entries first);
    // without the book's textures only the dynamic entries are filled.
    void RenderPage(Page& entries, int position);
    // Draws every page of the stack into the texture of its position and clears the textures of the
    // positions the stack does not use, so that no page left from before shows through.
    void RenderAllPages();

    // Runs the event word of a clicked entry (reverse: a right click): the first of the menu's event
    // words that it equals, or begins with for the words that take an argument. Others do nothing.
    void ExecuteEvent(const std::string& event, bool reverse);
    // "next" steps the difficulty up, anything else down; 0 and 1 alternate.
    void StepDifficulty(const std::string& direction);
    // Mode 3, the running minigame ended, and the save game of that index loaded when there is one. An
    // index that names no save game changes nothing: the menu stays. A save game that cannot be loaded
    // takes the player back (ReturnAfterFailure).
    void LoadSelectedGame(int index);
    // Saves the running game under the save name ("newgame" when empty) into the save game of that index
    // or a new one (-1), then goes back a spread.
    void SaveToSelectedSlot(int index);

    // The input operations are virtual for the GUI system's tests, which note what reaches the menu.
    // A mouse button released over the menu: ends typing; opens the closed book; else clicks the
    // highlighted entry (with its sound and event) or plays the fail sound.
    virtual void OnMouseReleased(int button);
    // Text typed by the player, inserted before the cursor while a name is typed.
    virtual void AddText(const std::string& text);
    // A key code: Backspace takes the character before the cursor while a name is typed.
    virtual void OnKeyPressed(int key);
    // The pointer moved to (x, y from 0 to 1 across the window); a wheel turned by wheel. The wheel
    // scrolls the save lists; the entry under the pointer is highlighted.
    virtual void OnMouseMoved(float x, float y, float wheel);

    // Starts typing into entry (kept until EndTextEntry; it must stay in its page): its text becomes
    // initial and the cursor "_". Nothing while typing.
    void BeginTextEntry(MenuEntry& entry, const std::string& initial);
    // Takes the typed name as save name and gives the entry its label back. Nothing while not typing.
    void EndTextEntry();

    // Once, before the first CreateScene: the book's camera and page textures in the menu's scene
    // manager (not owned), then BuildVideoOptions.
    void CreatePageTextures(Ogre::SceneManager* sceneManager);
    // Shows the menu: its music (keeping the music that played), the book in its scene and, for a start
    // page ("MainPage" during a game), that page with the opening zoom; "" shows the closed book.
    // Nothing when shown already. Without the book's textures only the menu's state changes.
    void CreateScene(const std::string& startPage);
    // Closes the menu: the music from before comes back, the book and page stack go, the camera from
    // before is restored. Nothing when not shown.
    void DestroyScene();
    // Takes the player back to the menu after a game that could not start or load: the menu mode, the menu
    // shown with its book open (at "MainPage" when it was closed), and the message, a sentence saying why,
    // on the open spread's left-hand page until a page turns or the menu closes. An empty message shows
    // nothing.
    void ReturnAfterFailure(const std::string& message);
    const std::string& GetFailureMessage() const { return m_failureMessage; }
    // Whether the data gives the menu a main page: a menu that a failed start can go back to.
    bool HasMainPage() const { return m_pages.count("MainPage") != 0; }
    // The book's camera goes (at shutdown).
    void DestroyCamera();
    // The opening zoom, the light's flicker and the page flips, while shown. The first update with the
    // book in the scene writes "menu shown" to OGRE's log.
    void Update(float dt);
    bool IsShown() const { return m_active; }

    const std::vector<std::string>& GetPageStack() const { return m_pageStack; }
    // The entries of the page; null for a page the data does not define.
    Page* FindPage(const std::string& id);
    const std::map<std::string, Page>& GetPages() const { return m_pages; }
    const std::map<std::string, SettingsSet>& GetSettings() const { return m_settings; }
    const Ogre::ColourValue& GetFontColour() const { return m_fontColour; }
    const Ogre::ColourValue& GetInactiveFontColour() const { return m_inactiveFontColour; }
    const Ogre::ColourValue& GetHighlightFontColour() const { return m_highlightFontColour; }
    const Ogre::ColourValue& GetSelectedFontColour() const { return m_selectedFontColour; }
    const std::string& GetChapter() const { return m_chapter; }
    int GetSelectedGame() const { return m_selectedGame; }
    int GetGameListOffset() const { return m_gameListOffset; }
    int GetDifficulty() const { return m_difficulty; }
    const std::string& GetSaveName() const { return m_saveName; }
    bool IsEditing() const { return m_editing; }
    const std::string& GetPreviousMusic() const { return m_previousMusic; }
    MenuBook& GetBook() { return m_book; }

    // The number an event's argument gives ("selectgame:" and "offsetgamelist:"): false when it gives
    // none, that is when it does not begin with an integer, or reads 0 without being exactly "0".
    static bool ReadSelection(const std::string& argument, int& number);
    // The settings set "_resolution" from the video modes the render system offers and the current one.
    // Modes below 1024 pixels wide are left out, and those of 16-bit colour. A mode without colour depth
    // (" @ ") is left out too, unless acceptBare.
    static SettingsSet ResolutionSet(const std::vector<std::string>& modes, const std::string& current,
                                     bool acceptBare);
    // The settings set "_smooth" from the first four anti-aliasing levels offered.
    static SettingsSet SmoothingSet(const std::vector<std::string>& levels, const std::string& current);

protected:
    // BuildVideoOptions with the choice of the variant's resolution rule.
    void AddVideoOptions(bool acceptBareModes);
    // Fills "NewGame" with a row per unlocked chapter whose event is eventWord + the chapter's id.
    void FillNewGamePage(const std::string& eventWord);
    // Mode 3, the running minigame ended, and the save games' new game in the chapter. A chapter that
    // cannot start takes the player back (ReturnAfterFailure).
    void BeginNewGame(const std::string& chapter, int difficulty);
    // The selected save game; null while selectedGame names none.
    const SaveEntry* SelectedSaveGame() const;
    // The chapter and save-game selection marks of a dynamic entry, from its event.
    void UpdateSelection(MenuEntry& entry) const;

    // Settings sets by menu key.
    std::map<std::string, SettingsSet> m_settings;
    // The chosen chapter, save game and difficulty, kept for the whole run.
    std::string m_chapter = "chapter1";
    int m_selectedGame = 0;
    int m_difficulty = 0;

private:
    // One row of the event table.
    struct EventWord
    {
        const char* word;
        // The event must be the word itself; otherwise it begins with it and the rest is the argument.
        bool exact;
        void (cl_MainMenu::*run)(const std::string& argument, bool reverse);
    };
    static const EventWord EVENT_WORDS[];

    void OnQuitGame(const std::string&, bool);
    void OnDifficulty(const std::string& argument, bool);
    void OnStartGame(const std::string&, bool);
    void OnNewGame(const std::string&, bool);
    void OnNewGameInChapter(const std::string& argument, bool);
    void OnResumeGame(const std::string&, bool);
    void OnBack(const std::string&, bool);
    void OnSelectChapter(const std::string& argument, bool);
    void OnSelectGame(const std::string& argument, bool);
    void OnOffsetGameList(const std::string& argument, bool);
    void OnLoadGame(const std::string&, bool);
    void OnAutoload(const std::string&, bool);
    void OnSaveGame(const std::string&, bool);
    void OnPage(const std::string& argument, bool);
    void OnSaveConfig(const std::string&, bool);
    void OnExitConfig(const std::string&, bool);
    void OnChange(const std::string& argument, bool reverse);

    void ParseSet(const TiXmlElement& set);
    void ParsePage(const TiXmlElement& page);
    // The save and load pages: a row per save game from the list offset on (the save page has the empty
    // slot first); their earlier rows go first.
    void BuildSaveGamePage(const std::string& pageId, bool withEmptySlot);
    // A generated list row at row number row.
    static MenuEntry ListRow(const std::string& text, const std::string& event, int row, bool editable);
    // Removes the rows the menu made for the page.
    void RemoveGeneratedEntries(const std::string& pageId);
    // Every set whose setting holds a value takes the last choice of that value.
    void ReadPreferences();
    // The entry that a click hits: the first highlighted and active one, over the stack in order.
    MenuEntry* FindClickTarget();
    // Sets the highlight on the hit entry and clears it elsewhere; redraws the pages that changed.
    void Highlight(const MenuEntry* hit);
    void PlayInterfaceSound(const char* id) const;
    // The music that plays or is about to; "" without sound.
    std::string CurrentMusic() const;
    void RequestMusic(const std::string& name) const;
    // The application's save games; null without the application.
    cl_SaveGameManager* SaveGames() const;
    const Ogre::ColourValue& EntryColour(const MenuEntry& entry) const;
    // The failure message in lines on the canvas of the open spread's left-hand page.
    void DrawFailureMessage(cl_TextureCanvas& canvas) const;

    std::map<std::string, Page> m_pages;
    std::vector<std::string> m_pageStack;
    Ogre::ColourValue m_fontColour = Ogre::ColourValue(0.0f, 0.0f, 0.0f, 1.0f);
    Ogre::ColourValue m_inactiveFontColour = Ogre::ColourValue(0.0f, 0.0f, 0.0f, 0.5f);
    Ogre::ColourValue m_highlightFontColour = Ogre::ColourValue(0.0f, 1.0f, 0.0f, 1.0f);
    Ogre::ColourValue m_selectedFontColour = Ogre::ColourValue(1.0f, 0.0f, 0.0f, 1.0f);
    int m_gameListOffset = 0;
    int m_slotsPerPage = 8;
    std::string m_saveName;
    bool m_editing = false;
    MenuEntry* m_editEntry = nullptr;
    std::string m_editBackup;
    bool m_active = false;
    std::string m_failureMessage;
    std::string m_previousMusic;
    bool m_bookShown = false;
    MenuBook m_book;
    cl_ParserRegistration m_mainMenuParser;
};
