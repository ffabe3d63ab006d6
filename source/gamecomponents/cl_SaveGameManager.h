#pragma once

#include "common/IGameTimeListener.h"
#include "gamecomponents/SaveEntry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TiXmlDocument;
class TiXmlElement;

// A chapter the player may start from the chapter list.
struct UnlockedChapter
{
    std::string chapterId;
    std::string title; // the localizer's text when the title is a token
    bool unlocked = true;
};

// Lists, writes and reads the save games of the folder "savegames" in the user folder, keeps the quicksave
// ("_system.tsg") and autosave ("_autosave.tsg") slots apart from the numbered saves ("savegame<n>.tsg"),
// starts new games from a chapter's "gamestate.xml", unlocks chapters in the settings and saves on its
// own while the game is quiet.
//
// It works through the program's singletons (loader, settings, game state, game time, script system,
// scene manager, sound, GUI, minigames, application); those missing are passed over. Main thread only.
class cl_SaveGameManager : public IGameTimeListener
{
public:
    cl_SaveGameManager();
    // Leaves the game time.
    virtual ~cl_SaveGameManager();

    cl_SaveGameManager(const cl_SaveGameManager&) = delete;
    cl_SaveGameManager& operator=(const cl_SaveGameManager&) = delete;

    // Rebuilds the lists from the ".tsg" files of the save folder and its sub-folders: the quicksave and
    // autosave files fill their entries (fresh ones when the files are missing), every other file is a
    // numbered entry, newest first. A file that cannot be read is listed with only its path (and logged).
    // Then listens to the game time (group "gamecomponents") for the autosave timer.
    void ScanSaveGames();

    // The numbered saves, newest first; an autosave made since the scan is among them.
    const std::vector<SaveEntry>& GetEntries() const { return m_entries; }
    const SaveEntry& GetAutosaveEntry() const { return m_autosave; }
    const SaveEntry& GetQuicksaveEntry() const { return m_quicksave; }
    // The entry last saved, loaded or started.
    const SaveEntry& GetCurrentEntry() const { return m_current; }
    bool HasAutosave() const { return m_autosave.date.time != 0; }

    // Loads the entry's file: a file that cannot be read, is no save game, has an unknown version or no
    // game state is refused with a log line before anything changes. Otherwise the music stops, the game
    // state is replaced (in the entry's chapter, loaded first when another is), and the game goes on in
    // its saved scene; the played time becomes the entry's. False when the load failed: the game is then
    // in the main menu when it had got as far as stopping the old game.
    bool LoadEntry(const SaveEntry& entry);
    // LoadEntry of the autosave entry when there is one; else false, with no failure to tell.
    bool LoadAutosave();
    // Why the last load or chapter start failed, a sentence for the player naming the save game or the
    // chapter and what is wrong (the log has the details); empty after one that worked.
    const std::string& GetFailure() const { return m_failure; }

    // Write the running game (false, with a log line, when none runs or the file cannot be written; an
    // earlier file of the slot then stays as it was). Quicksave and Autosave write nothing without a loaded
    // chapter. The quicksave is never among the numbered entries; the autosave joins them.
    bool Quicksave();
    bool Autosave();
    // Writes into the numbered entry at index, or into a new file for -1 (an index out of range counts
    // as -1), under the display name.
    bool SaveToSlot(int index, const std::string& name);

    // Starts a new game of the chapter (an empty id: "chapter1" at difficulty 0) as StartChapter does and
    // sets the played time to 0. False when the chapter could not be started.
    bool NewGame(const std::string& chapterId, int difficulty);
    // Loads the chapter when another is loaded, puts its "gamestate.xml" in place, sets
    // "_globals.difficulty" and switches to its start scene. False, with a log line, for a chapter without
    // record (nothing changes) or without a readable game state (the chapter is loaded all the same).
    bool StartChapter(const std::string& chapterId, int difficulty);

    // Sets the setting "unlocked_<id>" to "true" and saves the settings.
    void UnlockChapter(const std::string& chapterId);
    // Appends every chapter, in ascending id order, that the settings unlock ("unlocked_all" or
    // "unlocked_<id>" is "true").
    void GetUnlockedChapters(std::vector<UnlockedChapter>& chapters) const;

    // The autosave timer: with a setting "autosave" of 10 seconds or more, saves into the autosave slot
    // once more than that many played seconds have passed since the last save or load and the game has
    // been saveable for more than 3 seconds.
    void Update(float dt) override;
    // Whether the game may be saved on its own now: in the game, a scene loaded, no switch flag of the
    // scene manager set, no minigame running, the foreground free of sequences or interruptible, no video
    // playing.
    bool IsSaveable() const;

private:
    // The save folder ("<user folder>/savegames/"), created when missing.
    std::string SaveFolder() const;
    // Fresh quicksave and autosave entries with their names and files.
    void ResetSlots();
    // The first "savegame<n>.tsg" of the save folder that no file has.
    std::string NewSaveFileName() const;
    // Writes the running game into entry's file; on success entry takes the written header and becomes
    // the current entry.
    bool WriteEntry(SaveEntry& entry);
    // Music off, the loading mode, the chapter, the tree, the game mode and the saved scene. The game state
    // takes the save's document, which holds gamestate, as its tree.
    bool ApplyGameState(const std::string& chapterId, std::unique_ptr<TiXmlDocument> document,
                        TiXmlElement& gamestate);
    // Unloads the current chapter and loads chapterId when they differ.
    void SwitchToChapter(const std::string& chapterId);
    // Closes the curtain at once and switches the scene manager to the scene.
    void ShowScene(const std::string& sceneId, const std::string& backdrop, bool sendEvents);
    void SortEntries();

    std::vector<SaveEntry> m_entries;
    int32_t m_playedAtLastSave = -1;
    // Played time since which the game is saveable; -1 while it is not.
    int32_t m_quietSince = -1;
    SaveEntry m_autosave;
    SaveEntry m_quicksave;
    SaveEntry m_current;
    std::string m_failure;
};
