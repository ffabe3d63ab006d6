#include "gamecomponents/cl_DialogSystem.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "assets/cl_TextPool.h"
#include "assets/cl_TopicAsset.h"
#include "assets/cl_TopicPool.h"
#include "common/StringHelpers.h"
#include "common/cl_Logger.h"
#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"

#include <algorithm>

namespace
{
std::string Text(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return pools ? pools->GetTextPool()->GetText(id) : std::string();
}

cl_Character* CurrentCharacter()
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    return hub ? hub->GetCurrentCharacter() : nullptr;
}

cl_Character* CharacterOf(const std::string& id)
{
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    return characters && !id.empty() ? characters->GetCharacter(id) : nullptr;
}

std::string CurrentPlayerId()
{
    const cl_GameState* gameState = cl_GameState::GetInstance();
    return gameState ? gameState->GetCurrentCharacterId() : std::string();
}

void Tell(cl_AssetLogic* logic, const std::string& event)
{
    if (logic)
        logic->SendEvent(event, nullptr);
}
} // namespace

cl_DialogSystem::cl_DialogSystem(cl_SequencePlayer* player) : m_player(player)
{
    if (m_player)
        m_player->AddListener(this);
}

cl_DialogSystem::~cl_DialogSystem()
{
    if (m_player)
        m_player->RemoveListener(this);
}

void cl_DialogSystem::StartSubDialog(cl_CharacterAsset* character, cl_TopicAsset* topic)
{
    if (!character || (!topic && !character->HasActiveTopics()) || m_queryPending)
        return;
    m_partner = character;
    DialogStart();
    EnterTopic(topic);
}

void cl_DialogSystem::DialogStart()
{
    // A dialog that replaces another, or one that still closes, gives its hold back first.
    LowerDialogCount();
    RaiseDialogCount();
    cl_Character* partner = CharacterOf(m_partner->GetId());
    if (cl_Character* current = CurrentCharacter())
    {
        if (partner)
            current->Focus(partner, false, 40.0f, 0.0f, nullptr);
        else
            current->StopFocus();
    }
    m_closing = false;
    m_focusRelease = false;
    const cl_Character* current = CurrentCharacter();
    Trace(Format("DialogStart :: '%s' talks with '%s'", current ? current->GetName().c_str() : "",
                 partner ? partner->GetName().c_str() : m_partner->GetId().c_str()));
    m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnDialogStart(); });
}

void cl_DialogSystem::EnterTopic(cl_TopicAsset* topic)
{
    if (topic && topic->IsExitTopic())
    {
        ExitTopic();
        return;
    }
    m_currentTopic = topic;
    if (topic)
        Tell(topic->GetLogic(), "topic.Enter");
    m_entries.clear();
    // The reaction to "topic.Enter" may have ended the dialog.
    if (m_partner)
        m_partner->GetActiveTopics(topic, CurrentPlayerId(), m_entries);
    m_entered = true;
    if (m_entries.size() == 1 && m_entries.front()->IsExitTopic())
    {
        EnqueueTopicSequence(m_entries.front());
        ExitTopic();
    }
    else if (m_entries.empty())
        ExitTopic();
    m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnTopicEnter(); });
}

void cl_DialogSystem::ExitTopic()
{
    if (!m_partner)
        return;
    if (!m_currentTopic)
    {
        Tell(m_partner->GetLogic(), "character.DialogExit");
        m_partner = nullptr;
        DialogExit();
        return;
    }
    cl_TopicAsset* left = m_currentTopic;
    Tell(left->GetLogic(), "topic.Exit");
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    cl_TopicAsset* parent =
        pools ? dynamic_cast<cl_TopicAsset*>(pools->GetTopicPool()->FindAsset(left->GetParentRef()))
              : nullptr;
    EnterTopic(parent);
}

void cl_DialogSystem::DialogExit()
{
    m_closing = true;
    m_focusRelease = true;
    Trace("DialogExit");
    // Nothing would end the closing when the last topic had no sequence or its sequence is over.
    if (!m_lastTopicSequencePending)
        ReleaseDialog();
    m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnDialogExit(); });
}

void cl_DialogSystem::ChooseTopic(cl_TopicAsset* topic)
{
    if (!topic)
        return;
    Trace(Format("ChooseTopic :: %s (%s)", Text(topic->GetTitleRef()).c_str(), topic->GetId().c_str()));
    EnqueueTopicSequence(topic);
    m_entered = false;
    topic->NotifyChoosen();
    if (!m_entered)
        EnterTopic(topic);
}

void cl_DialogSystem::EnqueueTopicSequence(cl_TopicAsset* topic)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    m_lastTopicSequence =
        pools ? dynamic_cast<cl_SequenceAsset*>(pools->GetSequencePool()->FindAsset(topic->GetSequenceRef()))
              : nullptr;
    m_lastTopicSequencePending = m_lastTopicSequence && m_player;
    if (!m_lastTopicSequencePending)
        return;
    m_lastTopicSequence->SetOwnerLogic(topic->GetLogic());
    m_lastTopicSequence->SetBlocking(true);
    m_player->EnqueueSequence(m_lastTopicSequence, cl_SequencePlayer::FOREGROUND, false);
}

void cl_DialogSystem::ChooseExitTopic()
{
    if (!m_partner)
        return;
    // Choosing may rebuild the list.
    const std::vector<cl_TopicAsset*> entries = m_entries;
    const auto exit =
        std::find_if(entries.begin(), entries.end(),
                     [](const cl_TopicAsset* topic) { return topic->IsExitTopic() && topic->IsActive(); });
    if (exit != entries.end())
        ChooseTopic(*exit);
}

void cl_DialogSystem::ChooseByIndex(int index)
{
    if (m_partner)
    {
        if (index >= 0 && index < static_cast<int>(m_entries.size()))
            ChooseTopic(m_entries[index]);
        else
            ChooseExitTopic();
    }
    else if (m_queryPending && index >= 0 && index < static_cast<int>(m_choices.size()))
        ChooseChoice(std::next(m_choices.begin(), index)->first);
}

void cl_DialogSystem::ChooseChoice(const std::string& key)
{
    Trace(Format("ChooseChoice :: %s (%s)", Text(m_choices[key]).c_str(), key.c_str()));
    // The reaction may open the next query at once; this one is answered before it. The key may be the
    // choice map's own.
    const std::string event = key;
    cl_AssetLogic* asking = m_askingLogic;
    m_choices.clear();
    m_askingLogic = nullptr;
    m_queryPending = false;
    AddToBusyCount(CurrentCharacter(), -1);
    m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnChoicesHidden(); });
    Tell(asking, event);
}

void cl_DialogSystem::QueryChoice(cl_AssetLogic* logic)
{
    if (!logic || m_partner || m_queryPending || m_askingLogic)
        return;
    m_askingLogic = logic;
    m_queryPending = true;
    AddToBusyCount(CurrentCharacter(), 1);
    m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnChoicesChanged(); });
}

void cl_DialogSystem::ClearChoices()
{
    if (m_queryPending)
        AddToBusyCount(CurrentCharacter(), -1);
    m_choices.clear();
    m_askingLogic = nullptr;
    m_queryPending = false;
}

void cl_DialogSystem::ExitDialog()
{
    if (m_partner)
        DialogExit();
    m_closing = false;
    StopFocusing();
    m_partner = nullptr;
    m_entries.clear();
    m_entered = true;
    m_currentTopic = nullptr;
    if (m_queryPending)
    {
        m_queryPending = false;
        AddToBusyCount(CurrentCharacter(), -1);
        m_listeners.Tell([](IDialogSystemListener& listener) { listener.OnChoicesHidden(); });
    }
    m_queryPending = false;
    m_askingLogic = nullptr;
    m_choices.clear();
}

bool cl_DialogSystem::IsDialogActive() const
{
    return m_partner || m_queryPending || m_closing;
}

void cl_DialogSystem::GetEntryTexts(std::vector<std::string>& texts) const
{
    if (m_partner)
    {
        for (const cl_TopicAsset* topic : m_entries)
            texts.push_back(Text(topic->GetTitleRef()));
    }
    else if (m_queryPending)
    {
        for (const auto& choice : m_choices)
            texts.push_back(Text(choice.second));
    }
}

void cl_DialogSystem::OnSequenceFinished(cl_SequenceAsset* sequence)
{
    if (sequence != m_lastTopicSequence || !m_lastTopicSequencePending)
        return;
    m_lastTopicSequencePending = false;
    if (m_focusRelease)
        ReleaseDialog();
    m_closing = false;
}

void cl_DialogSystem::ReleaseDialog()
{
    StopFocusing();
    m_focusRelease = false;
    m_closing = false;
    LowerDialogCount();
}

void cl_DialogSystem::RaiseDialogCount()
{
    m_countedPartner = m_partner->GetId();
    AddToBusyCount(CharacterOf(m_countedPartner), 1);
    AddToBusyCount(CurrentCharacter(), 1);
    m_dialogCounted = true;
}

void cl_DialogSystem::LowerDialogCount()
{
    if (!m_dialogCounted)
        return;
    AddToBusyCount(CharacterOf(m_countedPartner), -1);
    AddToBusyCount(CurrentCharacter(), -1);
    m_countedPartner.clear();
    m_dialogCounted = false;
}

void cl_DialogSystem::StopFocusing()
{
    if (cl_Character* current = CurrentCharacter())
        current->StopFocus();
}

void cl_DialogSystem::AddToBusyCount(cl_Character* character, int change)
{
    if (character)
        character->SetBusyCount(character->GetBusyCount() + change);
}

void cl_DialogSystem::Trace(const std::string& line) const
{
    if (cl_Logger* logger = cl_Logger::GetInstance())
        logger->Log(line, cl_Logger::TOPIC_DIALOG);
}
