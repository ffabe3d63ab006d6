#include "gamecomponents/cl_SaveGameManager.h"

#include "TarqApp.h"
#include "assets/IGameStateListener.h"
#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_TopicAsset.h"
#include "common/StringHelpers.h"
#include "common/cl_Argument.h"
#include "common/cl_Config.h"
#include "common/cl_GameTime.h"
#include "common/cl_Logger.h"
#include "common/cl_TarqdataLoader.h"
#include "gamecomponents/SaveGameFile.h"
#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "gamecomponents/cl_Party.h"
#include "gamecomponents/cl_QuestSystem.h"
#include "graphics/cl_SceneManager.h"
#include "support/ArgumentText.h"
#include "support/DemoWorkingFolder.h"
#include "support/GameComponentsStandIns.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"
#include "support/RepeatedText.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <boost/filesystem/operations.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace
{
// The application's subsystems in a copy of the demo game with HOME in a temporary folder, the demo's
// chapter record and pools loaded as the program's start and chapter loading would (there is no window
// to load a chapter behind), and the save folder scanned.
class SaveGames : public testing::Test
{
protected:
    SaveGames()
    {
        Loader().ParseTdf("GAMEDATA", ReadTextFile("data/common/quillmere.tdf"), "quillmere.tdf", false);
        cl_GameState::GetInstance()->SwitchChapter(cl_Config::GetInstance()->GetPimbDataPath() + "chapter1/",
                                                   "", nullptr);
        Loader().SetCurrentChapterId("chapter1");
        Loader().ParseTdf("CHAPTERDATA", ReadTextFile("data/chapter1/scenes.tdf"), "scenes.tdf", false);
        Scenes().CreateCurtain(nullptr, nullptr);
        Saves().ScanSaveGames();
    }

    static cl_TarqdataLoader& Loader() { return *cl_TarqdataLoader::GetInstance(); }
    static cl_SceneManager& Scenes() { return *cl_SceneManager::GetInstance(); }
    static cl_GameState& GameState() { return *cl_GameState::GetInstance(); }
    static cl_GameTime& GameTime() { return *cl_GameTime::GetInstance(); }
    cl_SaveGameManager& Saves() { return m_app->GetSaveGameManager(); }

    static std::string Lua(const std::string& code) { return ReturnedText(code); }

    static void Send(const std::string& assetId, const std::string& event, const std::string& data = "",
                     float delay = 0.0f)
    {
        cl_Argument argument;
        argument.SetString(data);
        cl_PoolManager::GetInstance()->SendToAssetDelayed(assetId, event, argument, delay);
    }

    static bool InState(const std::string& assetId, const std::string& stateId)
    {
        const cl_Asset* asset = cl_PoolManager::GetInstance()->FindAsset(assetId);
        return asset && asset->GetLogic() && asset->GetLogic()->IsInState(stateId);
    }

    static std::string Tree() { return PrintedXml(GameState().GetRoot()); }

    // The game state a save file holds, printed; the Lua globals (which Lua lists in any order) sorted.
    static std::string SavedGameState(const std::string& file)
    {
        TiXmlDocument document;
        TiXmlElement* savegame = SaveGameFile::Load(document, file);
        TiXmlElement* gamestate = savegame ? savegame->FirstChildElement("gamestate") : nullptr;
        TiXmlElement* databinding = gamestate ? gamestate->FirstChildElement("databinding") : nullptr;
        TiXmlElement* globals = databinding ? databinding->FirstChildElement("_globals") : nullptr;
        if (globals)
        {
            std::map<std::string, std::unique_ptr<TiXmlNode>> sorted;
            while (TiXmlNode* child = globals->FirstChild())
            {
                sorted[child->ValueStr()].reset(child->Clone());
                globals->RemoveChild(child);
            }
            for (const auto& entry : sorted)
                globals->InsertEndChild(*entry.second);
        }
        return PrintedXml(gamestate);
    }

    std::string SaveFile(const std::string& name) const { return m_game.UserFile("savegames/" + name); }
    static bool Exists(const std::string& path) { return boost::filesystem::exists(path); }

    // Videos are played by a stand-in: there is no window to show them in.
    static cl_GameComponents::Components RecordingVideo()
    {
        cl_GameComponents::Components components;
        components.videoPlayer = std::make_unique<RecordingVideoPlayer>();
        return components;
    }
    static cl_VideoPlayer& Video() { return cl_GameComponents::GetInstance()->GetVideoPlayer(); }

    DemoWorkingFolder m_game{QUILLMERE_DEMO_DIR};
    std::unique_ptr<TarqApp> m_app = std::make_unique<TarqApp>(RecordingVideo());
    LogCapture m_log;
};

TEST_F(SaveGames, InventoryPartyAndQuestsLoadBackAsTheyWereSaved)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 1));
    cl_GameComponents& hub = *cl_GameComponents::GetInstance();
    cl_Inventory& inventory = hub.GetInventory();
    hub.GetParty().AddMember("characters_hero");
    hub.GetParty().SetMemberTag("characters_hero", "leader");
    hub.GetQuestSystem().SetQuestTitle("quests_tower", "texts_tower_hint");
    hub.GetQuestSystem().SetQuestSlotText("quests_tower", "door", "texts_door", true);
    inventory.AddItem("items_key", "characters_hero");
    inventory.SetItemIconTag("items_key", "glow");
    inventory.SetItemIconTag("items_lamp", "dim");
    // Saved twice: the second save replaces the tags the first wrote.
    ASSERT_TRUE(Saves().SaveToSlot(-1, "first"));
    inventory.SetItemIconTag("items_lamp", "");
    ASSERT_TRUE(Saves().SaveToSlot(0, "again"));
    const std::string saved = SavedGameState(Saves().GetEntries()[0].file);
    EXPECT_EQ(saved.find("<icontags>"), saved.rfind("<icontags>")) << saved;
    EXPECT_NE(saved.find("<icontags><items_key>glow</items_key></icontags>"), std::string::npos) << saved;

    // The game goes on and changes all of it.
    inventory.RemoveItem("items_key", "characters_hero");
    inventory.SetItemIconTag("items_key", "");
    hub.GetParty().RemoveMember("characters_hero");
    hub.GetQuestSystem().DeleteQuest("quests_tower");

    ASSERT_TRUE(Saves().LoadEntry(Saves().GetEntries()[0]));
    EXPECT_NE(inventory.FindItem("characters_hero", "items_key"), nullptr);
    EXPECT_EQ(inventory.GetItemIconTag("items_key"), "glow");
    EXPECT_EQ(inventory.GetItemIconTag("items_lamp"), "");
    EXPECT_TRUE(hub.GetParty().IsMember("characters_hero"));
    EXPECT_EQ(hub.GetParty().GetMemberTag("characters_hero"), "leader");
    const TiXmlElement* quest = hub.GetQuestSystem().FindQuest("quests_tower", false);
    ASSERT_NE(quest, nullptr);
    EXPECT_EQ(PrintedXml(quest), "<quest id=\"quests_tower\" titleref=\"texts_tower_hint\"><slots>"
                                 "<slot id=\"door\" textref=\"texts_door\" done=\"true\" /></slots></quest>");
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(SaveGames, AGameLoadsBackAsItWasSaved)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 2));
    // Played: the key is taken, the door unlocked, the hero walks, gets cross and falls asleep (his deep
    // history keeps both); one event waits; the scripts' globals hold text that XML must escape.
    Send("items_key", "character.Interact");
    Send("items_door", "character.UseItem", "items_key");
    for (const char* event : {"character.Walk", "character.Annoy", "character.Sleep"})
        Send("characters_hero", event);
    Send("items_door", "character.Interact", "later", 2.5f);
    Lua("_globals.note = 'Tom & Jerry <3>' _globals.count = 3");
    GameTime().Update(1.0f);
    GameTime().SetPlayedTime(125.7f);
    ASSERT_TRUE(InState("items_key", "carried"));
    ASSERT_TRUE(InState("items_door", "closed"));
    ASSERT_TRUE(InState("characters_hero", "asleep"));

    ASSERT_TRUE(Saves().SaveToSlot(-1, "Tom & Jerry <3>"));
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    const SaveEntry written = Saves().GetEntries()[0];
    const std::string saved = SavedGameState(written.file);
    EXPECT_EQ(written.file, SaveFile("savegame0.tsg"));
    EXPECT_NE(saved.find("delayedevent"), std::string::npos);

    // The game goes on and changes everything the save holds.
    Send("characters_hero", "character.Wake");
    Send("items_key", "item.Used");
    Send("items_door", "character.Interact");
    Send("items_key", "character.Interact", "", 9.0f);
    Lua("_globals.note = 'changed' _globals.count = nil _globals.difficulty = 0");
    GameTime().Update(1.0f);
    ASSERT_TRUE(InState("items_door", "open"));

    // As after a new start: the entry comes from the scan, with the header the save wrote.
    Saves().ScanSaveGames();
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    const SaveEntry entry = Saves().GetEntries()[0];
    EXPECT_EQ(entry.file, written.file);
    EXPECT_EQ(entry.name, "Tom & Jerry <3>");
    EXPECT_EQ(entry.chapter, "chapter1");
    EXPECT_EQ(entry.section, "chapter1");
    EXPECT_EQ(entry.played, 125);
    EXPECT_EQ(entry.difficulty, 2);
    EXPECT_EQ(entry.date.time, written.date.time);
    EXPECT_EQ(entry.date.year, written.date.year);
    EXPECT_EQ(entry.date.minute, written.date.minute);
    EXPECT_NE(entry.date.time, 0);

    m_log.Clear();
    ASSERT_TRUE(Saves().LoadEntry(entry));
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_INGAME);
    EXPECT_EQ(GameTime().GetPlayedTime(), 125.0f);
    EXPECT_EQ(Saves().GetCurrentEntry().file, entry.file);
    EXPECT_EQ(Lua("return _globals.note, _globals.count, _globals.key_taken, _globals.difficulty"),
              "string Tom & Jerry <3>, int 3, bool true, int 2");
    EXPECT_TRUE(InState("items_key", "carried"));
    EXPECT_TRUE(InState("items_door", "closed"));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
    // The whole game state, delayed events with the time they had left included, saves as it was saved;
    // only the key's trigger has counted once more, as the game started again.
    ASSERT_TRUE(Saves().SaveToSlot(-1, "again"));
    std::string expected = saved;
    ASSERT_EQ(ReplaceAll(expected, ">1</key_checks>", ">2</key_checks>"), 1);
    EXPECT_EQ(SavedGameState(SaveFile("savegame1.tsg")), expected);

    // The hero's history and the waiting event work on after the load.
    Send("characters_hero", "character.Wake");
    EXPECT_TRUE(InState("characters_hero", "walking"));
    EXPECT_TRUE(InState("characters_hero", "cross"));
    GameTime().Update(1.0f);
    EXPECT_TRUE(InState("items_door", "closed"));
    GameTime().Update(0.5f);
    EXPECT_TRUE(InState("items_door", "open"));
}

TEST_F(SaveGames, TheEntriesASaveMakesAreThoseAScanFinds)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 1));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "one"));
    ASSERT_TRUE(Saves().Quicksave());
    ASSERT_TRUE(Saves().Autosave());
    // A scan keeps the autosave apart again.
    std::vector<SaveEntry> entries = Saves().GetEntries();
    ASSERT_EQ(entries.size(), 2u);
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const SaveEntry& entry) { return entry.name == "Autosave"; }),
                  entries.end());
    const SaveEntry quicksave = Saves().GetQuicksaveEntry();
    const SaveEntry autosave = Saves().GetAutosaveEntry();

    Saves().ScanSaveGames();
    const auto same = [](const SaveEntry& a, const SaveEntry& b)
    {
        return a.file == b.file && a.name == b.name && a.chapter == b.chapter && a.section == b.section &&
               a.date.time == b.date.time && a.date.day == b.date.day && a.played == b.played &&
               a.difficulty == b.difficulty;
    };
    ASSERT_EQ(Saves().GetEntries().size(), entries.size());
    for (size_t i = 0; i < entries.size(); ++i)
        EXPECT_TRUE(same(Saves().GetEntries()[i], entries[i])) << entries[i].file;
    EXPECT_TRUE(same(Saves().GetQuicksaveEntry(), quicksave));
    EXPECT_TRUE(same(Saves().GetAutosaveEntry(), autosave));
    EXPECT_EQ(quicksave.name, "Quicksave");
    EXPECT_EQ(Saves().GetAutosaveEntry().name, "Autosave");
}

TEST_F(SaveGames, NumberedSavesTakeTheFirstFreeNumber)
{
    const struct
    {
        const char* name;
        std::vector<const char*> files; // already in the save folder, none of them a save game
        const char* expected;
    } cases[] = {
        {"an empty folder", {}, "savegame0.tsg"},
        {"0 and 2 taken", {"savegame0.tsg", "savegame2.tsg"}, "savegame1.tsg"},
        {"0 to 2 taken", {"savegame0.tsg", "savegame1.tsg", "savegame2.tsg"}, "savegame3.tsg"},
        {"only 1 taken", {"savegame1.tsg"}, "savegame0.tsg"},
        {"the slots' files are no numbers", {"_system.tsg", "_autosave.tsg"}, "savegame0.tsg"},
        {"a sub-folder's file is another path", {"old/savegame0.tsg"}, "savegame0.tsg"},
    };
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        boost::filesystem::remove_all(SaveFile(""));
        for (const char* file : c.files)
            WriteTextFile(SaveFile(file), "not a save");
        Saves().ScanSaveGames();
        ASSERT_TRUE(Saves().SaveToSlot(-1, "new"));
        EXPECT_EQ(Saves().GetCurrentEntry().file, SaveFile(c.expected));
        EXPECT_EQ(SavedGameState(SaveFile(c.expected)), Tree());
    }
}

TEST_F(SaveGames, ASlotIsOverwrittenInPlaceAndAnIndexOutOfRangeMakesANewSave)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "first"));
    ASSERT_TRUE(Saves().SaveToSlot(0, "first, again"));
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    EXPECT_EQ(Saves().GetEntries()[0].name, "first, again");
    for (int index : {1, 7, -2})
        ASSERT_TRUE(Saves().SaveToSlot(index, "out of range " + std::to_string(index)));
    EXPECT_EQ(Saves().GetEntries().size(), 4u);
    for (const char* file : {"savegame0.tsg", "savegame1.tsg", "savegame2.tsg", "savegame3.tsg"})
        EXPECT_TRUE(Exists(SaveFile(file))) << file;
}

TEST_F(SaveGames, QuicksaveAndAutosaveStayApartFromTheNumberedSaves)
{
    EXPECT_FALSE(Saves().HasAutosave());
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "numbered"));
    ASSERT_TRUE(Saves().Quicksave());
    EXPECT_EQ(Saves().GetEntries().size(), 1u);
    EXPECT_TRUE(Exists(SaveFile("_system.tsg")));

    // An autosave made after the scan joins the list once, however often it is made.
    ASSERT_TRUE(Saves().Autosave());
    ASSERT_TRUE(Saves().Autosave());
    EXPECT_TRUE(Saves().HasAutosave());
    ASSERT_EQ(Saves().GetEntries().size(), 2u);
    EXPECT_EQ(std::count_if(Saves().GetEntries().begin(), Saves().GetEntries().end(),
                            [this](const SaveEntry& entry)
                            { return entry.file == SaveFile("_autosave.tsg"); }),
              1);

    Saves().ScanSaveGames();
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    EXPECT_EQ(Saves().GetEntries()[0].name, "numbered");
    EXPECT_EQ(Saves().GetQuicksaveEntry().file, SaveFile("_system.tsg"));
    EXPECT_NE(Saves().GetQuicksaveEntry().date.time, 0);
    EXPECT_TRUE(Saves().HasAutosave());

    // Files gone: a new scan forgets them.
    boost::filesystem::remove(SaveFile("_system.tsg"));
    boost::filesystem::remove(SaveFile("_autosave.tsg"));
    Saves().ScanSaveGames();
    EXPECT_EQ(Saves().GetQuicksaveEntry().date.time, 0);
    EXPECT_FALSE(Saves().HasAutosave());
    EXPECT_FALSE(Saves().LoadAutosave());
}

TEST_F(SaveGames, AScanListsNewestFirstAndKeepsFilesItCannotRead)
{
    const struct
    {
        const char* file;
        int64_t time; // 0: not a save game
    } files[] = {{"a.tsg", 100}, {"b.tsg", 300}, {"broken.tsg", 0}, {"sub/c.tsg", 200}, {"d.tsg", 300}};
    TiXmlElement gamestate("gamestate");
    for (const auto& file : files)
    {
        SaveEntry entry;
        entry.name = file.file;
        entry.date.time = file.time;
        WriteTextFile(SaveFile(file.file), file.time ? SaveGameFile::Write(entry, gamestate) : "<savegame");
    }
    WriteTextFile(SaveFile("notes.txt"), "no save");
    // Left by saves that were killed, and a file of someone else's.
    WriteTextFile(SaveFile("savegame4.tsg.tmp"), "<savegame version=\"1.03\"><na");
    WriteTextFile(SaveFile("sub/_autosave.tsg.tmp"), "");
    WriteTextFile(SaveFile("notes.tmp"), "kept");
    // A file nested far too deep to read costs only its entry.
    WriteTextFile(SaveFile("deep.tsg"), "<savegame>" + Repeat("<a>", 40000));

    Saves().ScanSaveGames();
    std::vector<std::string> order;
    for (const SaveEntry& entry : Saves().GetEntries())
        order.push_back(entry.file.substr(SaveFile("").size()) + " " + entry.name);
    // Equal times keep the order of the paths.
    EXPECT_EQ(order, (std::vector<std::string>{"b.tsg b.tsg", "d.tsg d.tsg", "sub/c.tsg sub/c.tsg",
                                               "a.tsg a.tsg", "broken.tsg ", "deep.tsg "}));
    EXPECT_TRUE(m_log.Contains("broken.tsg", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_log.Contains("deep.tsg nests elements 40001 levels deep", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(boost::filesystem::exists(SaveFile("savegame4.tsg.tmp")));
    EXPECT_FALSE(boost::filesystem::exists(SaveFile("sub/_autosave.tsg.tmp")));
    EXPECT_TRUE(m_log.Contains("Removed " + SaveFile("savegame4.tsg.tmp"), cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(ReadTextFile(SaveFile("notes.tmp")), "kept");
}

TEST_F(SaveGames, ANewGameStartsTheChapterAtItsStartScene)
{
    GameTime().SetPlayedTime(300.0f);
    ASSERT_TRUE(Saves().NewGame("chapter1", 3));
    EXPECT_EQ(Lua("return _globals.difficulty"), "int 3");
    EXPECT_EQ(GameTime().GetPlayedTime(), 0.0f);
    EXPECT_EQ(GameState().GetCurrentCharacterId(), "characters_hero");
    // The demo's tower room lights up when the game starts.
    EXPECT_TRUE(InState("scenes_tower", "lit"));
    EXPECT_EQ(Scenes().GetCurrentSceneName(), "scenes_tower");
    EXPECT_FALSE(Scenes().IsBusy());
    EXPECT_FALSE(Scenes().GetCurtain()->IsBlack());
    EXPECT_EQ(Saves().GetCurrentEntry().chapter, "chapter1");
    EXPECT_EQ(Saves().GetCurrentEntry().date.time, 0);

    // No chapter id: the first chapter at difficulty 0.
    ASSERT_TRUE(Saves().NewGame("", 3));
    EXPECT_EQ(Lua("return _globals.difficulty"), "int 0");

    // A chapter that does not exist changes nothing but the played time.
    const std::string tree = Tree();
    GameTime().SetPlayedTime(50.0f);
    EXPECT_FALSE(Saves().NewGame("chapter9", 1));
    EXPECT_TRUE(m_log.Contains("chapter9", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Tree(), tree);
    EXPECT_EQ(GameTime().GetPlayedTime(), 0.0f);
}

TEST_F(SaveGames, AChapterThatCannotStartSaysWhyForThePlayerAndTheLogNamesTheFile)
{
    const std::string newGame = ReadTextFile("pimb/chapter1/gamestate.xml");
    const struct
    {
        const char* name;
        const char* chapter;
        std::string text; // of gamestate.xml
        bool removed;     // no gamestate.xml at all
        const char* failure;
        const char* logged;
    } cases[] = {
        {"no such chapter", "chapter9", newGame, false, "There is no chapter 'chapter9'.", "chapter9"},
        {"no file", "chapter1", "", true,
         "The chapter 'chapter1' cannot start: its gamestate.xml cannot be read.", "chapter1/gamestate.xml"},
        {"an empty file", "chapter1", "", false,
         "The chapter 'chapter1' cannot start: its gamestate.xml is empty.", "chapter1/gamestate.xml in row"},
        {"cut short", "chapter1", newGame.substr(0, newGame.size() / 2), false,
         "The chapter 'chapter1' cannot start: its gamestate.xml is damaged.",
         "chapter1/gamestate.xml in row"},
        {"nested too deep", "chapter1", "<gamestate>" + Repeat("<a>", 40000), false,
         "The chapter 'chapter1' cannot start: its gamestate.xml is damaged.",
         "chapter1/gamestate.xml nests elements"},
        {"another root", "chapter1", "<savegame/>", false,
         "The chapter 'chapter1' cannot start: its gamestate.xml has no element 'gamestate'.",
         "chapter1/gamestate.xml has no element 'gamestate'"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        if (c.removed)
            boost::filesystem::remove("pimb/chapter1/gamestate.xml");
        else
            WriteTextFile("pimb/chapter1/gamestate.xml", c.text);
        m_log.Clear();
        EXPECT_FALSE(Saves().StartChapter(c.chapter, 0));
        EXPECT_EQ(Saves().GetFailure(), c.failure);
        EXPECT_TRUE(m_log.Contains(c.logged, cl_Logger::LEVEL_ERROR));

        WriteTextFile("pimb/chapter1/gamestate.xml", newGame);
        ASSERT_TRUE(Saves().NewGame("chapter1", 0));
        EXPECT_EQ(Saves().GetFailure(), "") << "a start that works has nothing to say";
    }
}

TEST_F(SaveGames, AStartSceneThatIsNoSceneOfTheChapterIsLogged)
{
    cl_TarqdataLoader::GetInstance()->ParseTdf(
        "GAMEDATA",
        "<tarqdata><chapterdata "
        "id='lost'><pimbdata>chapter1</pimbdata><startscene>scenes_nowhere</startscene>"
        "</chapterdata></tarqdata>",
        "lost.tdf", false);
    ASSERT_TRUE(Saves().NewGame("lost", 0));
    EXPECT_TRUE(m_log.Contains("The chapter 'lost' starts in the scene 'scenes_nowhere', which is no scene",
                               cl_Logger::LEVEL_ERROR));
    m_log.Clear();
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    EXPECT_FALSE(m_log.Contains("which is no scene"));
}

// Records what the game state tells its listeners.
class RecordingListener : public IGameStateListener
{
public:
    RecordingListener() { cl_GameState::GetInstance()->AddListener(this); }
    ~RecordingListener() override { cl_GameState::GetInstance()->RemoveListener(this); }
    void NotifyGameStateCleared() override { calls += "cleared "; }
    void NotifyChapterChanged() override { calls += "chapter "; }
    void NotifyGameStateLoading() override { calls += "loading "; }
    void NotifyGameStateLoaded(cl_GameState*) override { calls += "loaded "; }
    void NotifyGameStateSaving(cl_GameState*) override { calls += "saving "; }
    std::string calls;
};

TEST_F(SaveGames, AGameOfAnotherChapterClearsTheStateAndLoadsItsChapterFirst)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "chapter one"));
    RecordingListener listener;
    ASSERT_TRUE(Saves().SaveToSlot(0, "chapter one"));
    EXPECT_EQ(listener.calls, "saving ");

    for (const char* loaded : {"", "chapter1", "chapter0"})
    {
        SCOPED_TRACE(std::string("loaded chapter '") + loaded + "'");
        Loader().SetCurrentChapterId(loaded);
        listener.calls.clear();
        ASSERT_TRUE(Saves().LoadEntry(Saves().GetEntries()[0]));
        EXPECT_EQ(Loader().GetCurrentChapterId(), "chapter1");
        // Without a window no chapter loads behind the curtain; the state is replaced all the same.
        EXPECT_EQ(listener.calls,
                  std::string(loaded) == "chapter1" ? "loading loaded " : "cleared loading loaded ");
    }
}

TEST_F(SaveGames, BadSaveFilesAreRefusedAndTheGameGoesOn)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().Quicksave());
    const std::string good = ReadTextFile(SaveFile("_system.tsg"));
    const struct
    {
        const char* name;
        std::string text;
        const char* why; // in the log line
    } cases[] = {
        {"empty", "", "no XML"},
        {"cut short", good.substr(0, good.size() / 2), "no XML"},
        {"cut before its last tag", good.substr(0, good.rfind("</savegame>")), "no XML"},
        {"no XML", "just some text", "no XML"},
        {"another root", "<gamestate/>", "no element 'savegame'"},
        {"a later version", "<savegame version=\"1.04\"><gamestate/></savegame>", "version '1.04'"},
        {"no version number", "<savegame version=\"new\"><gamestate/></savegame>", "version 'new'"},
        {"no game state", "<savegame version=\"1.03\"><chapter>chapter1</chapter></savegame>",
         "no game state"},
        {"nested too deep", "<savegame version=\"1.03\"><gamestate>" + Repeat("<a>", 40000),
         "nests elements"},
    };
    Send("items_key", "character.Interact");
    m_app->SetMode(TarqApp::MODE_INGAME);
    GameTime().SetPlayedTime(42.0f);
    const std::string tree = Tree();
    const std::string current = Saves().GetCurrentEntry().file;
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteTextFile(SaveFile("_system.tsg"), c.text);
        m_log.Clear();
        EXPECT_FALSE(Saves().LoadEntry(Saves().GetQuicksaveEntry()));
        EXPECT_EQ(Saves().GetFailure(), "The save game 'Quicksave' cannot be read.");
        EXPECT_TRUE(m_log.Contains(c.why, cl_Logger::LEVEL_ERROR));
        EXPECT_TRUE(m_log.Contains("_system.tsg", cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_INGAME);
        EXPECT_EQ(Tree(), tree);
        EXPECT_EQ(GameTime().GetPlayedTime(), 42.0f);
        EXPECT_EQ(Saves().GetCurrentEntry().file, current);
    }

    // A missing file is refused the same way.
    boost::filesystem::remove(SaveFile("_system.tsg"));
    EXPECT_FALSE(Saves().LoadEntry(Saves().GetQuicksaveEntry()));
    EXPECT_EQ(Tree(), tree);
}

TEST_F(SaveGames, AGameOfAChapterThatIsGoneGoesBackToTheMainMenu)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "gone"));
    SaveEntry entry = Saves().GetEntries()[0];
    entry.chapter = "chapter9";
    m_app->SetMode(TarqApp::MODE_INGAME);
    GameTime().SetPlayedTime(42.0f);
    const std::string tree = Tree();

    EXPECT_FALSE(Saves().LoadEntry(entry));
    EXPECT_EQ(Saves().GetFailure(),
              "The save game 'gone' belongs to the chapter 'chapter9', which does not exist.");
    EXPECT_TRUE(m_log.Contains("chapter9", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_app->GetMode(), TarqApp::MODE_MAINMENU);
    EXPECT_EQ(Tree(), tree);
    EXPECT_EQ(GameTime().GetPlayedTime(), 42.0f);
}

TEST_F(SaveGames, AFailedWriteLeavesThePreviousSave)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "before"));
    const SaveEntry before = Saves().GetEntries()[0];
    const std::string text = ReadTextFile(before.file);

    // Something in the way of the temporary file the save is written to first.
    boost::filesystem::create_directory(before.file + ".tmp");
    Send("items_key", "character.Interact");
    m_log.Clear();
    EXPECT_FALSE(Saves().SaveToSlot(0, "after"));
    EXPECT_TRUE(m_log.Contains(before.file, cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(ReadTextFile(before.file), text);
    EXPECT_EQ(Saves().GetEntries()[0].name, "before");
    EXPECT_EQ(Saves().GetCurrentEntry().name, "before");
    EXPECT_TRUE(Saves().LoadEntry(Saves().GetEntries()[0]));
    EXPECT_TRUE(InState("items_key", "lying"));

    // Nothing runs: nothing is written.
    boost::filesystem::remove(before.file + ".tmp");
    Loader().SetCurrentChapterId("");
    EXPECT_FALSE(Saves().Quicksave());
    EXPECT_FALSE(Saves().Autosave());
    GameState().Clear();
    EXPECT_FALSE(Saves().SaveToSlot(-1, "nothing"));
    EXPECT_FALSE(Exists(SaveFile("_system.tsg")));
    EXPECT_FALSE(Exists(SaveFile("_autosave.tsg")));
    EXPECT_FALSE(Exists(SaveFile("savegame1.tsg")));
}

// Reads from the pipe until count bytes came, the writer ended or a few seconds passed.
size_t ReadFromPipe(int pipe, pid_t writer, size_t count)
{
    size_t total = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (total < count && std::chrono::steady_clock::now() < deadline)
    {
        char buffer[4096];
        const ssize_t got = read(pipe, buffer, sizeof buffer);
        if (got > 0)
        {
            total += static_cast<size_t>(got);
            continue;
        }
        int status = 0;
        if (waitpid(writer, &status, WNOHANG) == writer)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return total;
}

TEST_F(SaveGames, AGameKilledWhileSavingLeavesThePreviousSave)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    ASSERT_TRUE(Saves().SaveToSlot(-1, "before"));
    const SaveEntry before = Saves().GetEntries()[0];
    const std::string text = ReadTextFile(before.file);

    // A game state far larger than a pipe holds, written through a pipe in place of the temporary file:
    // the writer is still writing when it is killed, whatever the machine's speed.
    Lua("_globals.big = string.rep('x', 4 * 1024 * 1024)");
    const std::string temporary = before.file + ".tmp";
    ASSERT_EQ(mkfifo(temporary.c_str(), 0600), 0);
    const int pipe = open(temporary.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(pipe, 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0)
    {
        Saves().SaveToSlot(0, "after");
        _exit(0);
    }
    const size_t received = ReadFromPipe(pipe, writer, 64 * 1024);
    kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    close(pipe);
    unlink(temporary.c_str());
    EXPECT_GE(received, 64u * 1024u);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

    EXPECT_EQ(ReadTextFile(before.file), text);
    Saves().ScanSaveGames();
    ASSERT_EQ(Saves().GetEntries().size(), 1u);
    EXPECT_EQ(Saves().GetEntries()[0].name, "before");
    ASSERT_TRUE(Saves().LoadEntry(Saves().GetEntries()[0]));
    EXPECT_EQ(Lua("return _globals.big == nil"), "bool true");
}

TEST_F(SaveGames, TheAutosaveTimerSavesOnceTheGameHasBeenQuietLongEnough)
{
    struct Step
    {
        float played;
        bool saveable;
        bool saves;
    };
    const struct
    {
        const char* name;
        const char* setting;
        std::vector<Step> steps;
    } cases[] = {
        {"no setting", "", {{0, true, false}, {20, true, false}, {100, true, false}}},
        {"9 s is too short: off", "9", {{0, true, false}, {20, true, false}, {100, true, false}}},
        {"not a number: off", "often", {{0, true, false}, {20, true, false}}},
        {"10 s: quiet since the start counts",
         "10",
         {{0, true, false},
          {10, true, false},
          {11, true, true},
          {21, true, false},
          {21.9f, true, false},
          {22, true, true}}},
        {"quiet for more than 3 s",
         "10",
         {{0, false, false}, {12, true, false}, {15, true, false}, {15.9f, true, false}, {16, true, true}}},
        {"busy again starts the quiet time anew",
         "10",
         {{0, true, false}, {11, false, false}, {12, true, false}, {15, true, false}, {16, true, true}}},
        {"a minute", "60", {{0, true, false}, {60, true, false}, {61, true, true}}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        boost::filesystem::remove(SaveFile("_autosave.tsg"));
        Saves().ScanSaveGames();
        ASSERT_TRUE(Saves().NewGame("chapter1", 0));
        m_app->SetMode(TarqApp::MODE_INGAME);
        cl_Config::GetInstance()->SetValue("autosave", c.setting);
        for (const Step& step : c.steps)
        {
            SCOPED_TRACE(step.played);
            Scenes().SetInteractionBlocked(!step.saveable);
            const int64_t lastAutosave = Saves().GetAutosaveEntry().date.time;
            const int32_t lastPlayed = Saves().GetAutosaveEntry().played;
            GameTime().SetPlayedTime(step.played);
            GameTime().Update(0.0f);
            const bool saved = Saves().GetAutosaveEntry().date.time != lastAutosave ||
                               Saves().GetAutosaveEntry().played != lastPlayed;
            EXPECT_EQ(saved, step.saves);
        }
        Scenes().SetInteractionBlocked(false);
    }
}

TEST_F(SaveGames, TheGameIsSaveableOnlyInTheGameWithAnIdleScene)
{
    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    cl_SequencePlayer& sequences = cl_GameComponents::GetInstance()->GetSequencePlayer();
    auto* talk =
        dynamic_cast<cl_SequenceAsset*>(cl_PoolManager::GetInstance()->FindAsset("sequences_keeper_notopic"));
    ASSERT_NE(talk, nullptr);
    enum Foreground
    {
        FREE,
        INTERRUPTIBLE,
        NOT_INTERRUPTIBLE
    };
    enum Dialog
    {
        NO_DIALOG,
        PARTNER,
        QUERY,
        CLOSING
    };
    const struct
    {
        const char* name;
        int mode;
        bool sceneLoaded;
        bool changePending;
        bool characterSwitchPending;
        bool interactionBlocked;
        bool curtainClosed;
        Foreground foreground;
        bool video;
        bool saveable;
        Dialog dialog = NO_DIALOG;
    } cases[] = {
        {"in the game, nothing going on", 3, true, false, false, false, false, FREE, false, true},
        {"the main menu", 1, true, false, false, false, false, FREE, false, false},
        {"loading", 2, true, false, false, false, false, FREE, false, false},
        {"no scene", 3, false, false, false, false, false, FREE, false, false},
        {"a scene change pending", 3, true, true, false, false, false, FREE, false, false},
        {"a character switch pending", 3, true, false, true, false, false, FREE, false, false},
        {"interaction blocked", 3, true, false, false, true, false, FREE, false, false},
        {"a switch made behind the curtain, fading in", 3, true, false, false, false, true, FREE, false,
         false},
        {"a foreground sequence that may be interrupted", 3, true, false, false, false, false, INTERRUPTIBLE,
         false, true},
        {"a foreground sequence that may not be interrupted", 3, true, false, false, false, false,
         NOT_INTERRUPTIBLE, false, false},
        {"a video playing", 3, true, false, false, false, false, FREE, true, false},
        {"a dialog with a partner", 3, true, false, false, false, false, FREE, false, false, PARTNER},
        {"a choice query waiting", 3, true, false, false, false, false, FREE, false, false, QUERY},
        {"a dialog closing behind its last topic's sequence", 3, true, false, false, false, false, FREE,
         false, false, CLOSING},
    };
    cl_DialogSystem& dialogs = cl_GameComponents::GetInstance()->GetDialogSystem();
    auto& keeper =
        dynamic_cast<cl_CharacterAsset&>(*cl_PoolManager::GetInstance()->FindAsset("characters_keeper"));
    auto& bye = dynamic_cast<cl_TopicAsset&>(*cl_PoolManager::GetInstance()->FindAsset("topics_bye"));
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_app->SetMode(c.mode);
        Scenes().UnloadScene();
        if (c.sceneLoaded)
            Scenes().SwitchScene("scenes_tower", "default", false, false);
        if (c.curtainClosed)
        {
            // The black curtain carries the pending change out at once.
            Scenes().SetTargetScene("scenes_tower");
            Scenes().SetChangePending(true);
            Scenes().GetCurtain()->FadeToBlack(0.0f);
        }
        Scenes().SetChangePending(c.changePending);
        Scenes().SetCharacterSwitchPending(c.characterSwitchPending);
        Scenes().SetInteractionBlocked(c.interactionBlocked);
        if (c.foreground != FREE)
            sequences.PlaySequence(talk, cl_SequencePlayer::FOREGROUND, c.foreground == INTERRUPTIBLE);
        if (c.video)
            Video().Play("welk_teaser_high.ogv");
        if (c.dialog == PARTNER || c.dialog == CLOSING)
            dialogs.StartSubDialog(&keeper, nullptr);
        if (c.dialog == CLOSING)
        {
            // The goodbye gets a sequence to close behind.
            bye.SetSequenceRef("sequences_keeper_notopic");
            dialogs.ChooseExitTopic();
            EXPECT_TRUE(dialogs.IsDialogActive());
            EXPECT_EQ(dialogs.GetDialogPartner(), nullptr);
        }
        if (c.dialog == QUERY)
            dialogs.QueryChoice(keeper.GetLogic());
        EXPECT_EQ(Saves().IsSaveable(), c.saveable);
        dialogs.ExitDialog();
        bye.SetSequenceRef("");
        Scenes().GetCurtain()->FadeFromBlack(0.0f);
        sequences.AbortAll();
        Video().Stop();
    }
}

TEST_F(SaveGames, ChaptersAreUnlockedInTheSettings)
{
    Loader().ParseTdf("GAMEDATA", "<tarqdata><chapterdata id='chapter0' title='Prologue'/></tarqdata>",
                      "x.tdf", false);
    const struct
    {
        const char* name;
        std::vector<std::pair<const char*, const char*>> settings;
        const char* chapters; // id and title of each, in order
    } cases[] = {
        {"none", {}, ""},
        {"chapter1 with its title's text", {{"unlocked_chapter1", "true"}}, "chapter1 Das Turmzimmer;"},
        {"all, in id order", {{"unlocked_all", "true"}}, "chapter0 Prologue;chapter1 Das Turmzimmer;"},
        {"only the exact word", {{"unlocked_chapter0", "TRUE"}, {"unlocked_all", "yes"}}, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (const char* key : {"unlocked_all", "unlocked_chapter0", "unlocked_chapter1"})
            cl_Config::GetInstance()->SetValue(key, "");
        for (const auto& setting : c.settings)
            cl_Config::GetInstance()->SetValue(setting.first, setting.second);
        std::vector<UnlockedChapter> chapters;
        Saves().GetUnlockedChapters(chapters);
        std::string text;
        for (const UnlockedChapter& chapter : chapters)
        {
            text += chapter.chapterId + " " + chapter.title + ";";
            EXPECT_TRUE(chapter.unlocked);
        }
        EXPECT_EQ(text, c.chapters);
    }

    Saves().UnlockChapter("chapter0");
    EXPECT_EQ(cl_Config::GetInstance()->GetValue("unlocked_chapter0"), "true");
    EXPECT_NE(ReadTextFile(m_game.UserFile("config.xml")).find("<unlocked_chapter0>true</unlocked_chapter0>"),
              std::string::npos);
}

TEST_F(SaveGames, TheTarqCommandsSaveAndLoadFromLua)
{
    // Nothing saved yet: loading does nothing.
    const std::string empty = Tree();
    Lua("sendcmd('tarq', 'quickload') sendcmd('tarq', 'autoload')");
    EXPECT_EQ(Tree(), empty);

    ASSERT_TRUE(Saves().NewGame("chapter1", 0));
    Lua("_globals.slot = 'quick' sendcmd('tarq', 'quicksave')");
    Lua("_globals.slot = 'auto' sendcmd('tarq', 'autosave')");
    EXPECT_TRUE(Exists(SaveFile("_system.tsg")));
    EXPECT_TRUE(Exists(SaveFile("_autosave.tsg")));

    Lua("_globals.slot = 'changed' sendcmd('tarq', 'quickload')");
    EXPECT_EQ(Lua("return _globals.slot"), "string quick");
    Lua("sendcmd('tarq', 'autoload')");
    EXPECT_EQ(Lua("return _globals.slot"), "string auto");
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
