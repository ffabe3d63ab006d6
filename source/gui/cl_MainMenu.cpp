#include "gui/cl_MainMenu.h"

#include "TarqApp.h"
#include "common/OgreResources.h"
#include "common/StringHelpers.h"
#include "common/XmlNumbers.h"
#include "common/cl_Config.h"
#include "common/cl_Localizer.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/cl_SaveGameManager.h"
#include "graphics/cl_SceneManager.h"
#include "gui/cl_TextureCanvas.h"
#include "minigames/cl_MinigameManager.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

#include <OgreConfigOptionMap.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <OgreStringConverter.h>
#include <tinyxml.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <sstream>

const char* const cl_MainMenu::SOUND_CLICK_OK = "common\\menue_klick_ok";
const char* const cl_MainMenu::SOUND_CLICK_FAIL = "common\\menue_klick_fail";
const char* const cl_MainMenu::SOUND_PAGE_TURN = "common\\blaettern\\01";
const char* const cl_MainMenu::MUSIC = "artefaktthema";

namespace
{
// The one text that makes a flag of the data true.
const char* const TRUE_TEXT = "true";
const char* const LAST_PAGE = "last";
const char* const LEFT_SUFFIX = "_left";
const char* const FLIP_OPENING = "blaettern_seite1";
const char* const FLIP_TURNING = "blaettern_seite2";
const int INTERFACE_CHANNEL = 3;
const float MUSIC_FADE = 1.0f;

// The rows of the generated list pages.
const float ROW_X = 0.525f;
const float ROW_Y = 0.2f;
const float ROW_STEP = 0.07f;
const float ROW_CHAR_HEIGHT = 0.06f;

// The failure message: centred on its page below the page's heading, in lines of a few words, in a red
// that stands apart from the menu's own colours.
const float MESSAGE_TOP = 0.6f;
const float MESSAGE_CHAR_HEIGHT = 0.055f;
const float MESSAGE_LINE_STEP = 0.07f;
const size_t MESSAGE_LINE_CHARACTERS = 28;
const Ogre::ColourValue MESSAGE_COLOUR(0.9f, 0.0f, 0.0f, 1.0f);

// The lowest width of a video mode that the menu offers, and how many anti-aliasing levels.
const int MIN_MODE_WIDTH = 1024;
const size_t SMOOTHING_LEVELS = 4;

// The difficulty texts by difficulty -1, 0 and 1, for the dynamic keys that begin with the prefix.
const struct
{
    const char* prefix;
    const char* tokens[3];
} DIFFICULTY_TEXTS[] = {
    {"difficulty", {"_difficulty_easy", "_difficulty_normal", "_difficulty_hard"}},
    {"desc_ln1_difficulty",
     {"_difficulty_easy_desc_ln1", "_difficulty_normal_desc_ln1", "_difficulty_hard_desc_ln1"}},
    {"desc_ln2_difficulty",
     {"_difficulty_easy_desc_ln2", "_difficulty_normal_desc_ln2", "_difficulty_hard_desc_ln2"}},
};

// The arrow pictures by dynamic key: normal and under the mouse.
const struct
{
    const char* key;
    const char* normal;
    const char* selected;
} ARROWS[] = {
    {"mm_arrow_up", "mm_pfeil_rauf_normal", "mm_pfeil_rauf_selected"},
    {"mm_arrow_down", "mm_pfeil_runter_normal", "mm_pfeil_runter_selected"},
    {"mm_arrow_left", "mm_pfeil_links_normal", "mm_pfeil_links_selected"},
    {"mm_arrow_right", "mm_pfeil_rechts_normal", "mm_pfeil_rechts_selected"},
};

// The localizer's text of X, with its "$token$" references put in; X itself without localizer.
std::string TextOf(const std::string& text)
{
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    return localizer ? localizer->GetText(text) : text;
}

// The localizer's token X, or X itself when there is none.
std::string TokenOf(const std::string& name)
{
    const cl_Localizer* localizer = cl_Localizer::GetInstance();
    return localizer ? localizer->FindToken(name) : name;
}

TarqApp* Application()
{
    return dynamic_cast<TarqApp*>(BaseApplication::GetInstance());
}

void SetMode(int mode)
{
    if (TarqApp* application = Application())
        application->SetMode(mode);
}

void EndMinigame()
{
    if (cl_MinigameManager* minigames = cl_MinigameManager::GetInstance())
        minigames->StopMinigame();
}

bool GameSceneExists()
{
    const cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    return scenes && scenes->HasLoadedScene();
}

// The number of UTF-8 characters of the text: its bytes that do not continue a character.
size_t CharacterCount(const std::string& text)
{
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char byte) { return (byte & 0xC0) != 0x80; }));
}

// The text's first count UTF-8 characters.
std::string FirstCharacters(const std::string& text, size_t count)
{
    size_t end = 0;
    for (size_t characters = 0; end < text.size(); ++end)
    {
        if ((text[end] & 0xC0) != 0x80 && characters++ == count)
            break;
    }
    return text.substr(0, end);
}

// The text in lines of at most width characters, broken at spaces; a longer word has a line of its own.
std::vector<std::string> WrapWords(const std::string& text, size_t width)
{
    std::vector<std::string> lines;
    std::istringstream words(text);
    std::string word;
    while (words >> word)
    {
        if (!lines.empty() && CharacterCount(lines.back()) + 1 + CharacterCount(word) <= width)
            lines.back() += " " + word;
        else
            lines.push_back(word);
    }
    return lines;
}
} // namespace

const cl_MainMenu::EventWord cl_MainMenu::EVENT_WORDS[] = {
    {"quitgame", true, &cl_MainMenu::OnQuitGame},
    {"difficulty:", false, &cl_MainMenu::OnDifficulty},
    {"startgame", true, &cl_MainMenu::OnStartGame},
    {"newgame", true, &cl_MainMenu::OnNewGame},
    {"newgame:", false, &cl_MainMenu::OnNewGameInChapter},
    {"resumegame", true, &cl_MainMenu::OnResumeGame},
    {"back", true, &cl_MainMenu::OnBack},
    {"selectchapter:", false, &cl_MainMenu::OnSelectChapter},
    {"selectgame:", false, &cl_MainMenu::OnSelectGame},
    {"offsetgamelist:", false, &cl_MainMenu::OnOffsetGameList},
    {"loadgame", true, &cl_MainMenu::OnLoadGame},
    {"autoload", true, &cl_MainMenu::OnAutoload},
    {"savegame", true, &cl_MainMenu::OnSaveGame},
    {"page:", false, &cl_MainMenu::OnPage},
    {"saveconfig", true, &cl_MainMenu::OnSaveConfig},
    {"exitconfig", true, &cl_MainMenu::OnExitConfig},
    {"change:", false, &cl_MainMenu::OnChange},
};

cl_MainMenu::cl_MainMenu() : m_mainMenuParser("mainmenu", this) {}

cl_MainMenu::~cl_MainMenu() = default;

// ---------------------------------------------------------------------------------------------------
// The menu's data

void cl_MainMenu::ParseElement(const TiXmlElement* element, const std::string&, bool skip)
{
    if (skip || !element)
        return;
    // A page read again replaces the entry being typed into.
    EndTextEntry();
    const struct
    {
        const char* name;
        Ogre::ColourValue cl_MainMenu::*colour;
    } colours[] = {
        {"fontcolor", &cl_MainMenu::m_fontColour},
        {"highlightfontcolor", &cl_MainMenu::m_highlightFontColour},
        {"selectedfontcolor", &cl_MainMenu::m_selectedFontColour},
        {"inactivefontcolor", &cl_MainMenu::m_inactiveFontColour},
    };
    for (const auto& colour : colours)
    {
        if (const TiXmlElement* child = element->FirstChildElement(colour.name))
            this->*colour.colour =
                Ogre::StringConverter::parseColourValue(child->GetText() ? child->GetText() : "");
    }
    for (const TiXmlElement* settings = element->FirstChildElement("settings"); settings;
         settings = settings->NextSiblingElement("settings"))
    {
        for (const TiXmlElement* set = settings->FirstChildElement("set"); set;
             set = set->NextSiblingElement("set"))
            ParseSet(*set);
    }
    for (const TiXmlElement* page = element->FirstChildElement("page"); page;
         page = page->NextSiblingElement("page"))
        ParsePage(*page);
}

void cl_MainMenu::UnloadGroup(const std::string&) {}

void cl_MainMenu::ParseSet(const TiXmlElement& element)
{
    SettingsSet set;
    set.key = TextAttribute(element, "preference", "");
    for (const TiXmlElement* value = element.FirstChildElement("value"); value;
         value = value->NextSiblingElement("value"))
    {
        set.choices.push_back(SettingsChoice{TextOf(value->GetText() ? value->GetText() : ""),
                                             TextAttribute(*value, "preferencevalue", "")});
    }
    const cl_Config* config = cl_Config::GetInstance();
    const std::string current = config && !set.key.empty() ? config->GetValue(set.key) : std::string();
    if (!current.empty())
        set.index = std::max(set.FindLastChoice(current), 0);
    m_settings[TextAttribute(element, "name", "")] = set;
}

void cl_MainMenu::ParsePage(const TiXmlElement& element)
{
    Page entries;
    for (const TiXmlElement* child = element.FirstChildElement("entry"); child;
         child = child->NextSiblingElement("entry"))
    {
        MenuEntry entry;
        entry.item.text = TextOf(child->GetText() ? child->GetText() : "");
        if (TextAttribute(*child, "isDynamic", "") == TRUE_TEXT)
            entry.dynamicKey = TextOf(entry.item.text);
        entry.editable = TextAttribute(*child, "isEditable", "") == TRUE_TEXT;
        entry.item.x = NumberAttribute(*child, "left", 0.0f);
        entry.item.y = NumberAttribute(*child, "top", 0.0f);
        entry.item.width = NumberAttribute(*child, "width", 0.0f);
        entry.item.height = NumberAttribute(*child, "height", 0.0f);
        entry.event = TextAttribute(*child, "event", "");
        const std::string align = TextAttribute(*child, "align", "");
        entry.item.alignment = align == "center"  ? cl_CanvasItem::ALIGN_CENTRE
                               : align == "right" ? cl_CanvasItem::ALIGN_RIGHT
                                                  : cl_CanvasItem::ALIGN_LEFT;
        entry.item.charHeight = NumberAttribute(*child, "fontsize", 0.1f);
        entry.item.isImage = TextAttribute(*child, "isImage", "") == TRUE_TEXT;
        entries.push_back(entry);
    }
    m_pages[TextAttribute(element, "id", "")] = entries;
}

cl_MainMenu::Page* cl_MainMenu::FindPage(const std::string& id)
{
    const auto found = m_pages.find(id);
    return found == m_pages.end() ? nullptr : &found->second;
}

// ---------------------------------------------------------------------------------------------------
// Pages

void cl_MainMenu::GoToPage(const std::string& name)
{
    // The player has read the message and moves on.
    m_failureMessage.clear();
    PlayInterfaceSound(SOUND_PAGE_TURN);
    bool forward = true;
    const char* flip = FLIP_TURNING;
    if (name == LAST_PAGE)
    {
        if (m_pageStack.size() <= 2)
            return;
        m_pageStack.resize(m_pageStack.size() - 2);
        forward = false;
    }
    else
    {
        const std::string page = name == "MainPage" && GameSceneExists() ? "MainPageIngame" : name;
        if (std::find(m_pageStack.begin(), m_pageStack.end(), page) != m_pageStack.end())
            return;
        m_pageStack.push_back(page + LEFT_SUFFIX);
        m_pageStack.push_back(page);
        while (m_pageStack.size() > MenuBook::PAGE_POSITIONS)
            m_pageStack.erase(m_pageStack.begin());
        if (m_pageStack.size() < MenuBook::PAGE_POSITIONS)
            flip = FLIP_OPENING;
    }
    if (name == "Preferences")
        ReadPreferences();
    else if (name == "SaveGame")
        BuildSaveGamePage("SaveGame", true);
    else if (name == "LoadGame")
        BuildSaveGamePage("LoadGame", false);
    else if (name == "NewGame")
        BuildNewGamePage();
    RenderAllPages();
    m_book.StartFlip(flip, forward);
}

void cl_MainMenu::RenderPage(Page& entries, int position)
{
    Ogre::SceneManager* sceneManager = m_book.GetSceneManager();
    cl_TextureCanvas canvas;
    if (sceneManager)
    {
        canvas.Create(m_book.GetPageTexture(position), sceneManager);
        canvas.Clear();
    }
    for (MenuEntry& entry : entries)
    {
        if (!entry.dynamicKey.empty())
            UpdateDynamicEntry(entry);
        entry.item.colour = EntryColour(entry);
        if (!sceneManager)
            continue;
        if (entry.item.isImage)
            canvas.DrawImage(entry.item);
        else
            canvas.DrawText(entry.item);
    }
    if (sceneManager && position == static_cast<int>(m_pageStack.size()) - 2)
        DrawFailureMessage(canvas);
    canvas.EndFrame();
}

void cl_MainMenu::DrawFailureMessage(cl_TextureCanvas& canvas) const
{
    cl_CanvasItem line;
    line.x = 0.5f;
    line.y = MESSAGE_TOP;
    line.charHeight = MESSAGE_CHAR_HEIGHT;
    line.alignment = cl_CanvasItem::ALIGN_CENTRE;
    line.colour = MESSAGE_COLOUR;
    for (const std::string& text : WrapWords(m_failureMessage, MESSAGE_LINE_CHARACTERS))
    {
        line.text = text;
        canvas.DrawText(line);
        line.y += MESSAGE_LINE_STEP;
    }
}

void cl_MainMenu::RenderAllPages()
{
    Page empty;
    for (int position = 0; position < MenuBook::PAGE_POSITIONS; ++position)
    {
        Page* page = static_cast<size_t>(position) < m_pageStack.size()
                         ? FindPage(m_pageStack[static_cast<size_t>(position)])
                         : nullptr;
        RenderPage(page ? *page : empty, position);
    }
}

const Ogre::ColourValue& cl_MainMenu::EntryColour(const MenuEntry& entry) const
{
    if (entry.inactive)
        return m_inactiveFontColour;
    if (entry.highlighted)
        return m_highlightFontColour;
    if (entry.selected)
        return m_selectedFontColour;
    return m_fontColour;
}

void cl_MainMenu::ReadPreferences()
{
    const cl_Config* config = cl_Config::GetInstance();
    if (!config)
        return;
    for (auto& entry : m_settings)
    {
        SettingsSet& set = entry.second;
        const std::string value = config->GetValue(set.key);
        const int found = value.empty() ? -1 : set.FindLastChoice(value);
        if (found >= 0)
            set.index = found;
    }
}

// ---------------------------------------------------------------------------------------------------
// Dynamic entries and list pages

void cl_MainMenu::UpdateDynamicEntry(MenuEntry& entry)
{
    const std::string& key = entry.dynamicKey;
    const SaveEntry* save = SelectedSaveGame();
    // The save game's details show nothing while the selection names no save game (the empty slot, or
    // none at all): neither an earlier save's details nor the entry's key, a picture nobody has.
    const auto saveDetail = [&](const auto& detail)
    { entry.item.text = save ? detail(*save) : std::string(); };
    const auto difficulty = std::find_if(std::begin(DIFFICULTY_TEXTS), std::end(DIFFICULTY_TEXTS),
                                         [&](const auto& texts) { return StartsWith(key, texts.prefix); });
    const auto arrow = std::find_if(std::begin(ARROWS), std::end(ARROWS),
                                    [&](const auto& candidate) { return key == candidate.key; });
    if (difficulty != std::end(DIFFICULTY_TEXTS))
    {
        if (m_difficulty >= -1 && m_difficulty <= 1)
            entry.item.text = TokenOf(difficulty->tokens[m_difficulty + 1]);
    }
    else if (StartsWith(key, "current:"))
    {
        const auto set = m_settings.find(key.substr(std::strlen("current:")));
        // A set without choices (no video mode the render system offers fits) has no label to show.
        if (set != m_settings.end())
            entry.item.text =
                set->second.index >= 0 && static_cast<size_t>(set->second.index) < set->second.choices.size()
                    ? set->second.choices[static_cast<size_t>(set->second.index)].label
                    : std::string();
    }
    else if (key == "sg_chapter_title")
    {
        saveDetail(
            [](const SaveEntry& game)
            {
                const cl_TarqdataLoader* loader = cl_TarqdataLoader::GetInstance();
                const cl_Chapter chapter = loader ? loader->GetChapter(game.chapter) : cl_Chapter();
                return TokenOf(chapter.m_title) + " - " + TokenOf(chapter.m_subtitle);
            });
    }
    else if (key == "sg_title")
    {
        saveDetail([](const SaveEntry& game) { return game.name; });
    }
    else if (key == "sg_illu")
    {
        saveDetail([](const SaveEntry& game) { return "chapter_illu_" + game.chapter; });
    }
    else if (key == "sg_datetime")
    {
        saveDetail(
            [](const SaveEntry& game)
            {
                const cl_Localizer* localizer = cl_Localizer::GetInstance();
                return game.date.time == 0 || !localizer ? std::string()
                                                         : localizer->FormatDateTime(game.date);
            });
    }
    else if (key == "sg_played")
    {
        saveDetail(
            [](const SaveEntry& game)
            {
                const cl_Localizer* localizer = cl_Localizer::GetInstance();
                return localizer ? localizer->FormatDuration(game.played) : std::string();
            });
    }
    else if (key == "sg_quickload")
    {
        const cl_SaveGameManager* saves = SaveGames();
        entry.inactive = !saves || !saves->HasAutosave();
        entry.item.text = TextOf("$_resume_game$");
    }
    else if (key == "pref_save")
    {
        const cl_Config* config = cl_Config::GetInstance();
        entry.inactive = !config || !config->IsModified();
        entry.item.text = TextOf("$_save_preferences$");
    }
    else if (key == "sg_load_game")
    {
        const cl_SaveGameManager* saves = SaveGames();
        entry.inactive = !saves || saves->GetEntries().empty();
        entry.item.text = TextOf("$_load_game$");
    }
    else if (arrow != std::end(ARROWS))
    {
        entry.item.text = entry.highlighted ? arrow->selected : arrow->normal;
    }
    UpdateSelection(entry);
}

void cl_MainMenu::UpdateSelection(MenuEntry& entry) const
{
    if (StartsWith(entry.event, "selectchapter:"))
    {
        entry.selected = entry.event.substr(std::strlen("selectchapter:")) == m_chapter;
        return;
    }
    int number = 0;
    if (StartsWith(entry.event, "selectgame:") &&
        ReadSelection(entry.event.substr(std::strlen("selectgame:")), number))
        entry.selected = number == m_selectedGame;
}

const SaveEntry* cl_MainMenu::SelectedSaveGame() const
{
    const cl_SaveGameManager* saves = SaveGames();
    if (!saves || m_selectedGame < 0 || static_cast<size_t>(m_selectedGame) >= saves->GetEntries().size())
        return nullptr;
    return &saves->GetEntries()[static_cast<size_t>(m_selectedGame)];
}

bool cl_MainMenu::ReadSelection(const std::string& argument, int& number)
{
    int read = 0;
    if (!ReadInteger(argument, read) || (read == 0 && argument != "0"))
        return false;
    number = read;
    return true;
}

MenuEntry cl_MainMenu::ListRow(const std::string& text, const std::string& event, int row, bool editable)
{
    MenuEntry entry;
    entry.item.text = text;
    entry.dynamicKey = text;
    entry.event = event;
    entry.editable = editable;
    entry.generated = true;
    entry.item.x = ROW_X;
    entry.item.y = ROW_Y + ROW_STEP * static_cast<float>(row);
    entry.item.charHeight = ROW_CHAR_HEIGHT;
    entry.item.alignment = cl_CanvasItem::ALIGN_CENTRE;
    return entry;
}

void cl_MainMenu::RemoveGeneratedEntries(const std::string& pageId)
{
    // The rows go, and the entry being typed into may be one of them or move with them.
    EndTextEntry();
    Page& page = m_pages[pageId];
    page.erase(
        std::remove_if(page.begin(), page.end(), [](const MenuEntry& entry) { return entry.generated; }),
        page.end());
}

void cl_MainMenu::BuildSaveGamePage(const std::string& pageId, bool withEmptySlot)
{
    RemoveGeneratedEntries(pageId);
    const cl_SaveGameManager* saves = SaveGames();
    const int count = saves ? static_cast<int>(saves->GetEntries().size()) : 0;
    m_gameListOffset = std::max(std::min(std::max(m_gameListOffset, 0), count - 1), 0);
    Page& page = m_pages[pageId];
    const int end = withEmptySlot ? count + 1 : count;
    for (int i = m_gameListOffset; i < end && i - m_gameListOffset < m_slotsPerPage; ++i)
    {
        const int row = i - m_gameListOffset;
        if (!withEmptySlot)
            page.push_back(ListRow(saves->GetEntries()[static_cast<size_t>(i)].name,
                                   "selectgame:" + std::to_string(i), row, false));
        else if (i == 0)
            page.push_back(ListRow(TextOf("$_empty_slot$"), "selectgame:-1", row, true));
        else
            page.push_back(ListRow(saves->GetEntries()[static_cast<size_t>(i - 1)].name,
                                   "selectgame:" + std::to_string(i - 1), row, true));
    }
}

void cl_MainMenu::BuildNewGamePage()
{
    FillNewGamePage("selectchapter:");
}

void cl_MainMenu::FillNewGamePage(const std::string& eventWord)
{
    RemoveGeneratedEntries("NewGame");
    std::vector<UnlockedChapter> chapters;
    if (const cl_SaveGameManager* saves = SaveGames())
        saves->GetUnlockedChapters(chapters);
    Page& page = m_pages["NewGame"];
    int row = 0;
    for (const UnlockedChapter& chapter : chapters)
        page.push_back(ListRow(chapter.title, eventWord + chapter.chapterId, row++, false));
}

void cl_MainMenu::BuildVideoOptions()
{
    AddVideoOptions(false);
}

void cl_MainMenu::AddVideoOptions(bool acceptBareModes)
{
    Ogre::Root* root = Ogre::Root::getSingletonPtr();
    Ogre::RenderSystem* renderSystem = root ? root->getRenderSystem() : nullptr;
    if (!renderSystem)
        return;
    const Ogre::ConfigOptionMap& options = renderSystem->getConfigOptions();
    const auto option = [&](const char* name)
    {
        const auto found = options.find(name);
        return found == options.end() ? Ogre::ConfigOption() : found->second;
    };
    const Ogre::ConfigOption modes = option("Video Mode");
    m_settings["_resolution"] = ResolutionSet(modes.possibleValues, modes.currentValue, acceptBareModes);
    const Ogre::ConfigOption smoothing = option("FSAA");
    m_settings["_smooth"] = SmoothingSet(smoothing.possibleValues, smoothing.currentValue);
}

SettingsSet cl_MainMenu::ResolutionSet(const std::vector<std::string>& modes, const std::string& current,
                                       bool acceptBare)
{
    SettingsSet set;
    set.key = "resolution";
    for (const std::string& value : modes)
    {
        std::string depth;
        std::string mode = SplitAtFirst(value, " @ ", depth);
        if (mode.empty() && acceptBare)
            mode = value;
        else if (StartsWith(depth, "16-bit"))
            continue;
        std::string height;
        int width = 0;
        if (!ReadInteger(SplitAtFirst(mode, " x ", height), width) || width < MIN_MODE_WIDTH)
            continue;
        if (value == current)
            set.index = static_cast<int>(set.choices.size());
        set.choices.push_back(SettingsChoice{mode, value});
    }
    return set;
}

SettingsSet cl_MainMenu::SmoothingSet(const std::vector<std::string>& levels, const std::string& current)
{
    SettingsSet set;
    set.key = "FSAA";
    for (size_t position = 0; position < levels.size() && position < SMOOTHING_LEVELS; ++position)
    {
        if (levels[position] == current)
            set.index = static_cast<int>(position);
        set.choices.push_back(SettingsChoice{TextOf("$FSAA_" + levels[position] + "$"), levels[position]});
    }
    return set;
}

// ---------------------------------------------------------------------------------------------------
// Events

void cl_MainMenu::ExecuteEvent(const std::string& event, bool reverse)
{
    for (const EventWord& row : EVENT_WORDS)
    {
        if (row.exact ? event == row.word : StartsWith(event, row.word))
        {
            (this->*row.run)(row.exact ? std::string() : event.substr(std::strlen(row.word)), reverse);
            return;
        }
    }
}

void cl_MainMenu::OnQuitGame(const std::string&, bool)
{
    if (cl_SaveGameManager* saves = SaveGames())
        saves->Autosave();
    if (TarqApp* application = Application())
        application->RequestQuit();
}

void cl_MainMenu::OnDifficulty(const std::string& argument, bool)
{
    StepDifficulty(argument);
    RenderAllPages();
}

void cl_MainMenu::OnStartGame(const std::string&, bool)
{
    StartNewGame(m_chapter);
}

void cl_MainMenu::OnNewGame(const std::string&, bool)
{
    StartNewGame("chapter1");
}

void cl_MainMenu::OnNewGameInChapter(const std::string& argument, bool)
{
    StartNewGame(argument);
}

void cl_MainMenu::OnResumeGame(const std::string&, bool)
{
    SetMode(TarqApp::MODE_INGAME);
}

void cl_MainMenu::OnBack(const std::string&, bool)
{
    GoToPage(LAST_PAGE);
}

void cl_MainMenu::OnSelectChapter(const std::string& argument, bool)
{
    m_chapter = argument;
    RenderAllPages();
}

void cl_MainMenu::OnSelectGame(const std::string& argument, bool)
{
    ReadSelection(argument, m_selectedGame);
    RenderAllPages();
}

void cl_MainMenu::OnOffsetGameList(const std::string& argument, bool)
{
    int step = 0;
    if (ReadSelection(argument, step))
    {
        // The pages clamp the offset; the sum must not overflow on the way.
        const long long offset = static_cast<long long>(m_gameListOffset) + step;
        m_gameListOffset =
            static_cast<int>(std::max<long long>(std::min<long long>(offset, INT_MAX), INT_MIN));
    }
    BuildSaveGamePage("SaveGame", true);
    BuildSaveGamePage("LoadGame", false);
    RenderAllPages();
}

void cl_MainMenu::OnLoadGame(const std::string&, bool)
{
    LoadSelectedGame(m_selectedGame);
}

void cl_MainMenu::OnAutoload(const std::string&, bool)
{
    DestroyScene();
    cl_SaveGameManager* saves = SaveGames();
    if (saves && !saves->LoadAutosave())
        ReturnAfterFailure(saves->GetFailure());
}

void cl_MainMenu::OnSaveGame(const std::string&, bool)
{
    SaveToSelectedSlot(m_selectedGame);
}

void cl_MainMenu::OnPage(const std::string& argument, bool)
{
    GoToPage(argument);
}

void cl_MainMenu::OnSaveConfig(const std::string&, bool)
{
    if (cl_Config* config = cl_Config::GetInstance())
        config->Save();
    GoToPage(LAST_PAGE);
}

void cl_MainMenu::OnExitConfig(const std::string&, bool)
{
    if (cl_Config* config = cl_Config::GetInstance())
        config->Load("");
    GoToPage(LAST_PAGE);
}

void cl_MainMenu::OnChange(const std::string& argument, bool reverse)
{
    const auto found = m_settings.find(argument);
    // A set without choices has nothing to step to.
    if (found == m_settings.end() || found->second.choices.empty())
        return;
    SettingsSet& set = found->second;
    const int count = static_cast<int>(set.choices.size());
    if (!reverse)
        set.index = set.index + 1 >= count ? 0 : set.index + 1;
    else
        set.index = set.index - 1 < 0 ? count - 1 : set.index - 1;
    if (cl_Config* config = cl_Config::GetInstance())
        config->SetValue(set.key, set.choices[static_cast<size_t>(set.index)].value);
    RenderAllPages();
}

void cl_MainMenu::StepDifficulty(const std::string& direction)
{
    m_difficulty += direction == "next" ? 1 : -1;
    if (m_difficulty > 1)
        m_difficulty = 0;
    else if (m_difficulty < 0)
        m_difficulty = 1;
}

void cl_MainMenu::StartNewGame(const std::string& chapter)
{
    if (m_difficulty == -1)
        SetMode(TarqApp::MODE_EASY);
    else
        BeginNewGame(chapter, m_difficulty);
}

void cl_MainMenu::BeginNewGame(const std::string& chapter, int difficulty)
{
    SetMode(TarqApp::MODE_INGAME);
    EndMinigame();
    cl_SaveGameManager* saves = SaveGames();
    if (saves && !saves->NewGame(chapter, difficulty))
        ReturnAfterFailure(saves->GetFailure());
}

void cl_MainMenu::LoadSelectedGame(int index)
{
    cl_SaveGameManager* saves = SaveGames();
    // Without a save game to load, entering the game would show no game at all.
    if (!saves || index < 0 || static_cast<size_t>(index) >= saves->GetEntries().size())
        return;
    SetMode(TarqApp::MODE_INGAME);
    EndMinigame();
    // A copy: loading lists the save games anew.
    const SaveEntry entry = saves->GetEntries()[static_cast<size_t>(index)];
    if (!saves->LoadEntry(entry))
        ReturnAfterFailure(saves->GetFailure());
}

void cl_MainMenu::SaveToSelectedSlot(int index)
{
    if (m_saveName.empty())
        m_saveName = "newgame";
    if (cl_SaveGameManager* saves = SaveGames())
        saves->SaveToSlot(index, m_saveName);
    GoToPage(LAST_PAGE);
}

cl_SaveGameManager* cl_MainMenu::SaveGames() const
{
    TarqApp* application = Application();
    return application ? &application->GetSaveGameManager() : nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Input and typing

void cl_MainMenu::OnMouseReleased(int button)
{
    EndTextEntry();
    if (m_pageStack.empty())
    {
        GoToPage("MainPage");
        m_book.StartZoom(1.0f);
        return;
    }
    MenuEntry* target = FindClickTarget();
    if (!target)
    {
        PlayInterfaceSound(SOUND_CLICK_FAIL);
        return;
    }
    if (target->editable)
    {
        if (target->selected)
            BeginTextEntry(*target, "");
        else
            m_saveName = target->item.text;
    }
    PlayInterfaceSound(SOUND_CLICK_OK);
    // A copy: the event may rebuild the page the entry belongs to.
    const std::string event = target->event;
    ExecuteEvent(event, button == RIGHT_BUTTON);
}

MenuEntry* cl_MainMenu::FindClickTarget()
{
    for (const std::string& id : m_pageStack)
    {
        Page* page = FindPage(id);
        if (!page)
            continue;
        for (MenuEntry& entry : *page)
        {
            if (entry.highlighted && !entry.inactive)
                return &entry;
        }
    }
    return nullptr;
}

void cl_MainMenu::OnMouseMoved(float x, float y, float wheel)
{
    if (!m_active)
        return;
    if (wheel > 0.0f)
        ExecuteEvent("offsetgamelist:-1", false);
    else if (wheel < 0.0f)
        ExecuteEvent("offsetgamelist:1", false);

    Ogre::Vector2 uv;
    const int position = m_book.Pick(x, y, uv);
    const MenuEntry* hit = nullptr;
    if (position >= 0 && static_cast<size_t>(position) < m_pageStack.size())
    {
        if (const Page* page = FindPage(m_pageStack[static_cast<size_t>(position)]))
        {
            for (const MenuEntry& entry : *page)
            {
                const cl_CanvasItem& item = entry.item;
                const float left = item.Left(item.width);
                if (left < uv.x && uv.x < left + item.width && item.y < uv.y && uv.y < item.y + item.height)
                    hit = &entry;
            }
        }
    }
    Highlight(hit);
}

void cl_MainMenu::Highlight(const MenuEntry* hit)
{
    for (size_t position = 0; position < m_pageStack.size(); ++position)
    {
        Page* page = FindPage(m_pageStack[position]);
        if (!page)
            continue;
        bool changed = false;
        for (MenuEntry& entry : *page)
        {
            const bool highlighted = &entry == hit && !entry.event.empty();
            changed |= entry.highlighted != highlighted;
            entry.highlighted = highlighted;
        }
        if (changed)
            RenderPage(*page, static_cast<int>(position));
    }
}

void cl_MainMenu::BeginTextEntry(MenuEntry& entry, const std::string& initial)
{
    if (m_editing)
        return;
    m_editBackup = entry.item.text;
    entry.item.text = initial + "_";
    m_editEntry = &entry;
    m_editing = true;
}

void cl_MainMenu::AddText(const std::string& text)
{
    if (m_editing && m_editEntry->item.text.size() < MAX_ENTRY_BYTES)
    {
        std::string& typed = m_editEntry->item.text;
        typed.insert(typed.size() - 1, text);
    }
    RenderAllPages();
}

void cl_MainMenu::OnKeyPressed(int key)
{
    if (!m_editing)
        return;
    std::string& typed = m_editEntry->item.text;
    const size_t characters = CharacterCount(typed);
    if (key == KEY_BACKSPACE && characters > 1)
        typed = FirstCharacters(typed, characters - 2) + "_";
    RenderAllPages();
}

void cl_MainMenu::EndTextEntry()
{
    if (!m_editing)
        return;
    const std::string& typed = m_editEntry->item.text;
    m_saveName = typed.empty() ? typed : typed.substr(0, typed.size() - 1);
    m_editEntry->item.text = m_editBackup;
    m_editing = false;
    m_editEntry = nullptr;
    RenderAllPages();
}

// ---------------------------------------------------------------------------------------------------
// The menu's scene

void cl_MainMenu::CreatePageTextures(Ogre::SceneManager* sceneManager)
{
    m_book.CreatePageTextures(sceneManager);
    BuildVideoOptions();
}

void cl_MainMenu::CreateScene(const std::string& startPage)
{
    if (m_active)
        return;
    m_active = true;
    m_previousMusic = CurrentMusic();
    RequestMusic(MUSIC);
    TarqApp* application = Application();
    if (application && m_book.GetCamera())
        application->SetCamera(m_book.GetCamera());
    m_book.Build();
    m_book.StartZoom(startPage.empty() ? 0.0f : 1.0f);
    if (!startPage.empty())
        GoToPage(startPage);
}

void cl_MainMenu::DestroyScene()
{
    if (!m_active)
        return;
    m_active = false;
    m_failureMessage.clear();
    RequestMusic(m_previousMusic);
    m_book.Destroy();
    m_pageStack.clear();
    TarqApp* application = Application();
    if (application && m_book.GetCamera())
        application->RestorePreviousCamera();
}

void cl_MainMenu::ReturnAfterFailure(const std::string& message)
{
    SetMode(TarqApp::MODE_MAINMENU);
    // Without the application (or after the autoload closed it in the menu mode) nothing showed the menu.
    CreateScene("");
    if (m_pageStack.empty())
    {
        GoToPage("MainPage");
        m_book.StartZoom(1.0f);
    }
    m_failureMessage = message;
    RenderAllPages();
}

void cl_MainMenu::DestroyCamera()
{
    m_book.DestroyCamera();
}

void cl_MainMenu::Update(float dt)
{
    if (!m_active)
        return;
    m_book.Update(dt);
    // The frame that showed the book for the first time has just ended: the milestone of the start.
    if (!m_bookShown && m_book.IsBuilt())
    {
        m_bookShown = true;
        WriteToOgreLog("menu shown");
    }
}

// ---------------------------------------------------------------------------------------------------
// Sound

void cl_MainMenu::PlayInterfaceSound(const char* id) const
{
    if (cl_Sound* sound = cl_Sound::GetInstance())
        sound->GetMixer().PlaySound(id, nullptr, INTERFACE_CHANNEL, 1.0f);
}

std::string cl_MainMenu::CurrentMusic() const
{
    cl_Sound* sound = cl_Sound::GetInstance();
    return sound ? sound->GetMixer().GetCurrentMusicName() : std::string();
}

void cl_MainMenu::RequestMusic(const std::string& name) const
{
    // Ducked under speech, without the fade-in and quick repeat of a looping music.
    if (cl_Sound* sound = cl_Sound::GetInstance())
        sound->GetMixer().PlayMusic(name, MUSIC_FADE, true, false);
}
