#pragma once

#include "assets/IGameStateListener.h"

#include <string>

class TiXmlElement;

// The player's quest log in the game state's "questlog" element: "quest" elements ("id", "titleref") with
// a "texts" list ("text" with "textref", no duplicates) and a "slots" list ("slot" with "id", "textref",
// "done"). Quests come into being with their first title, text or slot and go only through DeleteQuest.
// Every text is named by a text-asset id. Before the first load and after a clear there is no element and
// every operation does nothing.
class cl_QuestSystem : public IGameStateListener
{
public:
    // Registers with the game state when there is one; it must then outlive the quest system.
    cl_QuestSystem();
    ~cl_QuestSystem() override;
    cl_QuestSystem(const cl_QuestSystem&) = delete;
    cl_QuestSystem& operator=(const cl_QuestSystem&) = delete;

    // The first quest of that id; when none and create is set, a new one appended to the log. Null without
    // a log, or when none exists and create is not set. The element belongs to the game-state tree.
    TiXmlElement* FindQuest(const std::string& questId, bool create);

    void SetQuestTitle(const std::string& questId, const std::string& textId);
    // Adds the text unless the quest has it already.
    void AddQuestText(const std::string& questId, const std::string& textId);
    // Sets the slot's text and done flag, making the slot when the quest has none of that id.
    void SetQuestSlotText(const std::string& questId, const std::string& slotId, const std::string& textId,
                          bool done);
    // Removes the quest with everything in it; nothing when there is none.
    void DeleteQuest(const std::string& questId);

    void NotifyGameStateCleared() override;
    void NotifyChapterChanged() override;
    void NotifyGameStateLoading() override;
    // Takes the tree's "questlog" element (made when missing).
    void NotifyGameStateLoaded(cl_GameState* gameState) override;
    // The log is in the tree already.
    void NotifyGameStateSaving(cl_GameState* gameState) override;

private:
    TiXmlElement* m_questLogElement = nullptr;
};
