#pragma once

#include "ISingleton.h"
#include "assets/IGameStateListener.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/ListenerList.h"
#include "common/cl_ReceiverRegistration.h"
#include "gamecomponents/cl_SequencePlayer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class cl_Character;
class cl_CharacterAsset;
class cl_CommandDistributor;
class cl_DialogSystem;
class cl_Inventory;
class cl_ItemAsset;
class cl_Party;
class cl_QuestSystem;
class cl_VideoPlayer;

// Told what the player points at, holds and controls: the in-game menu, the inventory view and the party
// view each add themselves when created and remove themselves when destroyed.
class IGameComponentListener
{
public:
    // The object under the mouse changed; null for none.
    virtual void OnInteractionChanged(cl_ItemAsset* object) = 0;
    // The item on the pointer was set, or dropped (null); also told when set to the item it was.
    virtual void OnItemSelected(cl_ItemAsset* item) = 0;
    // The player now controls the character of that id, which is never empty.
    virtual void OnActiveCharacterChanged(const std::string& characterId) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IGameComponentListener() = default;
};

// The player's side of the running game: the object under the mouse, the party portrait under the mouse,
// the item held on the pointer and the character the player controls, with the components that act on
// them (sequence player, dialog system, video player). It turns a left click into an interaction and a right
// click into an examination, keeps the mouse-over text up to date, switches the controlled character and,
// once per frame, carries out a requested chapter start or game over. It is the command receiver "game".
//
// Assets it points at belong to the pools and the current character to the character manager; it drops
// them when the game state is cleared, the chapter changes or a new state is loaded (Reset). Every
// subsystem it calls is reached through its singleton; a missing one skips the step that needs it.
class cl_GameComponents : public ISingleton<cl_GameComponents>,
                          public ICommandReceiver,
                          public IGameStateListener,
                          public IGameTimeListener,
                          public ISequencePlayerListener
{
public:
    // Carries out a chapter start: loads the new-game state of the chapter with that difficulty. False when
    // the chapter does not exist or cannot start, with failure set to a sentence for the player saying why.
    using ChapterStarter =
        std::function<bool(const std::string& chapterId, int32_t difficulty, std::string& failure)>;

    // The components the hub owns. Those left null are made in their ordinary form.
    struct Components
    {
        std::unique_ptr<cl_SequencePlayer> sequencePlayer;
        std::unique_ptr<cl_DialogSystem> dialogSystem;
        std::unique_ptr<cl_VideoPlayer> videoPlayer;
    };

    // Creates the components, runs in the time group "gamecomponents" (time flow 1.0, maximum cap 0.1),
    // listens to the game state (when there is one) and to its sequence player, and registers as the
    // receiver "game" with distributor, which must outlive it. The game time, when there is one, must too.
    explicit cl_GameComponents(cl_CommandDistributor& distributor);
    cl_GameComponents(cl_CommandDistributor& distributor, Components components);
    ~cl_GameComponents() override;

    // Listeners are not owned, told in the order they were added; Remove takes out every entry.
    void AddListener(IGameComponentListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const IGameComponentListener* listener) { m_listeners.Remove(listener); }

    cl_Inventory& GetInventory() const { return *m_inventory; }
    cl_Party& GetParty() const { return *m_party; }
    cl_QuestSystem& GetQuestSystem() const { return *m_questSystem; }
    cl_SequencePlayer& GetSequencePlayer() const { return *m_sequencePlayer; }
    cl_DialogSystem& GetDialogSystem() const { return *m_dialogSystem; }
    cl_VideoPlayer& GetVideoPlayer() const { return *m_videoPlayer; }

    // The scene object or inventory item under the mouse (an item or a character asset); null for none.
    cl_ItemAsset* GetMouseOverObject() const { return m_mouseOverObject; }
    // While no dialog is active and object differs from the one stored: stores it, updates the mouse-over
    // text and tells the listeners (OnInteractionChanged). Otherwise nothing changes.
    void SetMouseOverObject(cl_ItemAsset* object);
    // The character whose party portrait is under the mouse; null for none.
    cl_CharacterAsset* GetMouseOverPortrait() const { return m_mouseOverPortrait; }
    // When portrait differs from the one stored: stores it and updates the mouse-over text. Nobody is told.
    void SetMouseOverPortrait(cl_CharacterAsset* portrait);

    // The item held on the pointer, used on the next object clicked; null when none.
    cl_ItemAsset* GetSelectedItem() const { return m_selectedItem; }
    // Holds item (null drops the held one) and tells the listeners (OnItemSelected), even when it is the
    // item already held.
    void SetSelectedItem(cl_ItemAsset* item);

    // Hands the in-game menu's mouse-over label its text: empty while the foreground sequence may not be
    // interrupted; for a portrait, the localizer's text of "play_with_<character id>" (that token itself
    // when it has none); empty without an object under the mouse or during a dialog; else the text of the
    // object's current mouse-over text id, the held item taken into account.
    void UpdateMouseOverText();

    // Whether the player may interact now: the foreground sequence may be interrupted, the scene manager
    // has no scene change or character switch pending, does not block interaction and has its curtain
    // open, and no video plays.
    bool CanInteract() const;

    // The scene character the player controls; null for none. Owned by the character manager.
    cl_Character* GetCurrentCharacter() const { return m_currentCharacter; }
    // Gives the player control of the scene character with that id. Nothing happens when it is the current
    // one already. Otherwise the held item is dropped; the old character becomes pickable again, hands its
    // busy count to the new one and, when it is a party member, is parked in its scene at
    // "positions_inactive_pc_<id>" with its transform stored. A non-empty id becomes the game state's
    // current character and is announced (OnActiveCharacterChanged), also when no scene character has it
    // (the current character is then null); the inventory takes it and, when it has its element, is shown
    // anew (OnInventoryChanged). The new character is taken out of its scene's puppets.
    void SetCurrentCharacter(const std::string& characterId);
    // The character manager tells of a character it deletes, so that the hub never touches it again.
    void OnCharacterDeleted(const cl_Character& character);

    // The left click. True when the click was used: always while interaction is not possible (a sequence
    // that may not be interrupted is skipped, a pending scene change or character switch is pushed on);
    // else during a dialog (the entry under the mouse is chosen), on a portrait ("character.Activate") or
    // on an object (the current character's logic gets "character.Interact" with the object's id, and the
    // interaction plays; a held item the object accepts is dropped, another one stays held). A foreground
    // sequence is asked to abort first, and what the click queued starts before this returns.
    bool Interact();
    // The right click, while interaction is possible: during a dialog chooses the entry under the mouse (or
    // leaves through the exit topic when the mouse is off the dialog panel); else drops a held item; else
    // examines the object under the mouse.
    void Examine();

    // The chapter start waits until interaction is possible; a later request replaces an earlier one.
    void RequestChapterStart(const std::string& chapterId, int32_t difficulty);
    const std::string& GetRequestedChapter() const { return m_requestedChapter; }
    int32_t GetRequestedDifficulty() const { return m_requestedDifficulty; }
    // The game over waits until interaction is possible and no chapter start is requested.
    void RequestGameOver() { m_gameOverRequested = true; }
    bool IsGameOverRequested() const { return m_gameOverRequested; }
    // What carries out a chapter start (the save games' new game). Without one no chapter can start.
    void SetChapterStarter(ChapterStarter starter) { m_chapterStarter = std::move(starter); }

    // Once per frame: starts a requested chapter, else carries out a requested game over (curtain open,
    // chapter closed, main menu). A chapter that does not exist or cannot start is logged and takes the
    // player back to the main menu, which says why; without a main menu the program quits with a failure
    // code. dt is not used.
    void Update(float dt) override;

    // Forgets what the player points at and holds, aborts every sequence and lets go of the current
    // character (made pickable and unscaled again); the game state's current character id stays. The
    // object under the mouse stays while a dialog is active.
    void Reset();

    // The receiver "game": runs the command of COMMANDS with that name and answers its listed value. A
    // command missing a required argument is refused with a log line (false, nothing changes; see
    // CommandArguments); an unknown name is answered false without one.
    bool ExecuteCmd(cl_Command& cmd) override;

    // The tree and the chapter's assets go: the object under the mouse is dropped even during a dialog, then
    // Reset.
    void NotifyGameStateCleared() override;
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // Reset.
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // The hub keeps nothing of its own in the tree.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

    // Each updates the mouse-over text.
    void OnSequenceStarted(cl_SequenceAsset* sequence, int layer) override;
    void OnSequenceUninterruptible(cl_SequenceAsset* sequence) override;
    void OnSequenceAborted(cl_SequenceAsset* sequence) override;
    void OnSequenceFinished(cl_SequenceAsset* sequence) override;

private:
    // A command of the receiver "game".
    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, as CommandArguments::Require takes them.
        const char* arguments;
        void (cl_GameComponents::*run)(cl_Command& cmd);
        // The command's answer, whatever the run found.
        bool answer;
    };
    static const CommandEntry COMMANDS[];

    void CmdExitDialog(cl_Command& cmd);
    void CmdAbortSequence(cl_Command& cmd);
    void CmdAddChoice(cl_Command& cmd);
    void CmdAddQuestText(cl_Command& cmd);
    void CmdCharacterInDialog(cl_Command& cmd);
    void CmdIsDialogActive(cl_Command& cmd);
    void CmdClearChoices(cl_Command& cmd);
    void CmdDeleteQuest(cl_Command& cmd);
    void CmdGetCurrentCharacter(cl_Command& cmd);
    void CmdGetCurrentScene(cl_Command& cmd);
    void CmdGetCurrentSceneName(cl_Command& cmd);
    void CmdGetSequenceCaller(cl_Command& cmd);
    void CmdGetSequenceCallerType(cl_Command& cmd);
    void CmdPlaySequence(cl_Command& cmd);
    void CmdPlayBackgroundSequence(cl_Command& cmd);
    void CmdQueryChoice(cl_Command& cmd);
    void CmdEnqueueSequence(cl_Command& cmd);
    void CmdEnqueueBackgroundSequence(cl_Command& cmd);
    void CmdSetCurrentCharacter(cl_Command& cmd);
    void CmdSetQuestSlotText(cl_Command& cmd);
    void CmdSetQuestTitle(cl_Command& cmd);
    void CmdSetNavmesh(cl_Command& cmd);
    void CmdSetLocalSurfaceId(cl_Command& cmd);
    void CmdUseItem(cl_Command& cmd);
    void CmdStartDialog(cl_Command& cmd);
    void CmdStartSubDialog(cl_Command& cmd);
    void CmdStartMinigame(cl_Command& cmd);
    void CmdStopMinigame(cl_Command& cmd);
    void CmdIsMinigameActive(cl_Command& cmd);
    void CmdStartMovie(cl_Command& cmd);
    void CmdStopMovie(cl_Command& cmd);
    void CmdUnlockChapter(cl_Command& cmd);
    void CmdStartChapter(cl_Command& cmd);
    void CmdGameOver(cl_Command& cmd);
    void CmdSetCurrentChapter(cl_Command& cmd);
    void CmdSetCurrentHint(cl_Command& cmd);
    void CmdAddCharacterToParty(cl_Command& cmd);
    void CmdRemoveCharacterFromParty(cl_Command& cmd);
    void CmdSetPartyTag(cl_Command& cmd);
    // The four sequence commands: arguments caller, param and, for a background layer, the layer.
    void StartSequence(cl_Command& cmd, bool foreground, bool enqueue);

    // The failed start of the chapter: the main menu and why (failure, when the start said), else the quit.
    void OnChapterStartFailed(const std::string& chapter, const std::string& failure);
    // The text UpdateMouseOverText shows.
    std::string MouseOverText() const;
    // Drops the object under the mouse, updates the text and tells the listeners; nothing when none.
    void ClearMouseOverObject();
    // The choose-by-index of a click during a dialog; false when no dialog entry is under the mouse.
    bool ChooseHoveredDialogEntry();

    cl_ItemAsset* m_mouseOverObject = nullptr;
    cl_CharacterAsset* m_mouseOverPortrait = nullptr;
    cl_ItemAsset* m_selectedItem = nullptr;
    cl_Character* m_currentCharacter = nullptr;
    // The save-game manager is made beside the hub, which reaches it through its chapter starter.
    std::unique_ptr<cl_Inventory> m_inventory;
    std::unique_ptr<cl_Party> m_party;
    std::unique_ptr<cl_VideoPlayer> m_videoPlayer;
    std::unique_ptr<cl_SequencePlayer> m_sequencePlayer;
    std::unique_ptr<cl_DialogSystem> m_dialogSystem;
    std::unique_ptr<cl_QuestSystem> m_questSystem;
    bool m_gameOverRequested = false;
    ListenerList<IGameComponentListener> m_listeners;
    std::string m_requestedChapter;
    int32_t m_requestedDifficulty = 0;
    ChapterStarter m_chapterStarter;
    cl_ReceiverRegistration m_receiver;
};

// What state charts and Lua scripts may ask of the receiver "game". A caller is the asset whose logic sends
// the command, a param the name of one of that logic's parameters, which names the asset meant. With one
// argument, SetNavmesh sets the loaded scene's navmesh and StartMinigame starts the minigame of that name;
// with two, the scene's navmesh (for its next load when it is not the loaded one), and the minigame the
// caller's param names, with the caller's logic.
inline const cl_GameComponents::CommandEntry cl_GameComponents::COMMANDS[] = {
    {"ExitDialog", "", &cl_GameComponents::CmdExitDialog, true},
    {"AbortSequence", "int layer", &cl_GameComponents::CmdAbortSequence, true},
    {"AddChoice", "string caller, string choice key, string param", &cl_GameComponents::CmdAddChoice, true},
    {"AddQuestText", "string caller, string quest id, string param", &cl_GameComponents::CmdAddQuestText,
     true},
    {"CharacterInDialog", "string character id", &cl_GameComponents::CmdCharacterInDialog, true},
    {"IsDialogActive", "", &cl_GameComponents::CmdIsDialogActive, false},
    {"ClearChoices", "", &cl_GameComponents::CmdClearChoices, true},
    {"DeleteQuest", "string quest id", &cl_GameComponents::CmdDeleteQuest, true},
    {"GetCurrentCharacter", "", &cl_GameComponents::CmdGetCurrentCharacter, true},
    {"GetCurrentScene", "", &cl_GameComponents::CmdGetCurrentScene, true},
    {"GetCurrentSceneName", "", &cl_GameComponents::CmdGetCurrentSceneName, true},
    {"GetSequenceCaller", "int layer", &cl_GameComponents::CmdGetSequenceCaller, true},
    {"GetSequenceCallerType", "int layer", &cl_GameComponents::CmdGetSequenceCallerType, true},
    {"PlaySequence", "string caller, string param", &cl_GameComponents::CmdPlaySequence, true},
    {"PlayBackgroundSequence", "string caller, string param, int layer",
     &cl_GameComponents::CmdPlayBackgroundSequence, true},
    {"QueryChoice", "string caller", &cl_GameComponents::CmdQueryChoice, true},
    {"EnqueueSequence", "string caller, string param", &cl_GameComponents::CmdEnqueueSequence, true},
    {"EnqueueBackgroundSequence", "string caller, string param, int layer",
     &cl_GameComponents::CmdEnqueueBackgroundSequence, true},
    {"SetCurrentCharacter", "string character id", &cl_GameComponents::CmdSetCurrentCharacter, false},
    {"SetQuestSlotText", "string caller, string quest id, string slot id, string param, bool done",
     &cl_GameComponents::CmdSetQuestSlotText, false},
    {"SetQuestTitle", "string caller, string quest id, string param", &cl_GameComponents::CmdSetQuestTitle,
     false},
    {"SetNavmesh", "string navmesh, [string scene id]", &cl_GameComponents::CmdSetNavmesh, false},
    {"SetLocalSurfaceId",
     "string navmesh, int surface id, number x, number y, number z, number extent x, number extent y, number "
     "extent z",
     &cl_GameComponents::CmdSetLocalSurfaceId, false},
    {"UseItem", "string item id", &cl_GameComponents::CmdUseItem, true},
    {"StartDialog", "string character id", &cl_GameComponents::CmdStartDialog, true},
    {"StartSubDialog", "string character id, string param", &cl_GameComponents::CmdStartSubDialog, true},
    {"StartMinigame", "string name or caller, [string param]", &cl_GameComponents::CmdStartMinigame, true},
    {"StopMinigame", "", &cl_GameComponents::CmdStopMinigame, true},
    {"IsMinigameActive", "", &cl_GameComponents::CmdIsMinigameActive, true},
    {"StartMovie", "", &cl_GameComponents::CmdStartMovie, true},
    {"StopMovie", "", &cl_GameComponents::CmdStopMovie, true},
    {"UnlockChapter", "string chapter id", &cl_GameComponents::CmdUnlockChapter, false},
    {"StartChapter", "string chapter id", &cl_GameComponents::CmdStartChapter, false},
    {"GameOver", "", &cl_GameComponents::CmdGameOver, false},
    {"SetCurrentChapter", "string chapter id", &cl_GameComponents::CmdSetCurrentChapter, false},
    {"SetCurrentHint", "string character id, string text id", &cl_GameComponents::CmdSetCurrentHint, false},
    {"AddCharacterToParty", "string character id", &cl_GameComponents::CmdAddCharacterToParty, false},
    {"RemoveCharacterFromParty", "string character id", &cl_GameComponents::CmdRemoveCharacterFromParty,
     false},
    {"SetPartyTag", "string character id, string tag", &cl_GameComponents::CmdSetPartyTag, false},
};
