#include "gamecomponents/cl_QuestSystem.h"

#include "assets/cl_GameState.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

cl_QuestSystem::cl_QuestSystem()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->AddListener(this);
}

cl_QuestSystem::~cl_QuestSystem()
{
    if (cl_GameState* gameState = cl_GameState::GetInstance())
        gameState->RemoveListener(this);
}

TiXmlElement* cl_QuestSystem::FindQuest(const std::string& questId, bool create)
{
    if (!m_questLogElement)
        return nullptr;
    TiXmlElement* quest = FindChildWithAttribute(*m_questLogElement, "quest", "id", questId);
    if (!quest && create)
    {
        quest = AppendChild(*m_questLogElement, "quest");
        quest->SetAttribute("id", questId);
    }
    return quest;
}

void cl_QuestSystem::SetQuestTitle(const std::string& questId, const std::string& textId)
{
    if (TiXmlElement* quest = FindQuest(questId, true))
        quest->SetAttribute("titleref", textId);
}

void cl_QuestSystem::AddQuestText(const std::string& questId, const std::string& textId)
{
    TiXmlElement* quest = FindQuest(questId, true);
    if (!quest)
        return;
    TiXmlElement& texts = FindOrAppendChild(*quest, "texts");
    if (!FindChildWithAttribute(texts, "text", "textref", textId))
        AppendChild(texts, "text")->SetAttribute("textref", textId);
}

void cl_QuestSystem::SetQuestSlotText(const std::string& questId, const std::string& slotId,
                                      const std::string& textId, bool done)
{
    TiXmlElement* quest = FindQuest(questId, true);
    if (!quest)
        return;
    TiXmlElement& slots = FindOrAppendChild(*quest, "slots");
    TiXmlElement* slot = FindChildWithAttribute(slots, "slot", "id", slotId);
    if (!slot)
    {
        slot = AppendChild(slots, "slot");
        slot->SetAttribute("id", slotId);
    }
    slot->SetAttribute("textref", textId);
    slot->SetAttribute("done", done ? "true" : "false");
}

void cl_QuestSystem::DeleteQuest(const std::string& questId)
{
    if (TiXmlElement* quest = FindQuest(questId, false))
        m_questLogElement->RemoveChild(quest);
}

void cl_QuestSystem::NotifyGameStateCleared()
{
    m_questLogElement = nullptr;
}

void cl_QuestSystem::NotifyChapterChanged() {}

void cl_QuestSystem::NotifyGameStateLoading() {}

void cl_QuestSystem::NotifyGameStateLoaded(cl_GameState* gameState)
{
    m_questLogElement = gameState ? gameState->GetQuestLogState() : nullptr;
}

void cl_QuestSystem::NotifyGameStateSaving(cl_GameState* /*gameState*/) {}
