#include "assets/cl_SequenceAsset.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_BaseActionTrigger.h"
#include "assets/cl_MarkerSeqAction.h"
#include "assets/cl_SeqAction.h"
#include "common/StringHelpers.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_SequencePlayer.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_CharacterManager.h"
#include "platform/GameRand.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace
{
const char* const RANDOM = "random";
// "random" and the one separator character the count follows.
const size_t RANDOM_PREFIX = 7;
} // namespace

cl_SequenceAsset::cl_SequenceAsset() = default;

cl_SequenceAsset::~cl_SequenceAsset() = default;

std::string cl_SequenceAsset::GetType() const
{
    return "sequence";
}

std::string cl_SequenceAsset::GetThingType() const
{
    return "sequence";
}

void cl_SequenceAsset::AddAction(std::unique_ptr<cl_SeqAction> action)
{
    action->AddListener(this);
    action->SetSequence(this);
    m_actions.push_back(std::move(action));
}

void cl_SequenceAsset::AddTrigger(std::unique_ptr<cl_BaseActionTrigger> trigger)
{
    m_triggers.push_back(std::move(trigger));
}

void cl_SequenceAsset::Clear()
{
    m_triggers.clear();
    m_actions.clear();
    m_running.clear();
}

cl_SeqAction* cl_SequenceAsset::FindAction(const std::string& id) const
{
    for (const auto& action : m_actions)
    {
        if (action->GetId() == id)
            return action.get();
    }
    return nullptr;
}

size_t cl_SequenceAsset::CountTriggersTo(const IActionTriggerListener& action) const
{
    return static_cast<size_t>(std::count_if(m_triggers.begin(), m_triggers.end(),
                                             [&action](const auto& trigger)
                                             { return trigger->HasOutput(action); }));
}

void cl_SequenceAsset::Start()
{
    // A run started again before its end gives the count of the earlier run back first.
    GiveBackCount();
    Reset();
    m_started = true;
    if (m_blocking)
        CountRun();
    for (const auto& action : m_actions)
        action->JoinSyncGroup();
    cl_SeqAction* first = m_startId.empty() ? nullptr : FindAction(m_startId);
    if (!first && !m_actions.empty())
        first = m_actions.front().get();
    if (first)
        ActivateAction(first);
}

void cl_SequenceAsset::Update(float dt)
{
    if (!m_started || m_stopped)
        return;
    OnFinished();
    if (m_stopped)
        return;
    m_updating.assign(m_running.begin(), m_running.end());
    for (cl_SeqAction* action : m_updating)
        action->Update(dt);
    for (const auto& trigger : m_triggers)
        trigger->Update(dt);
    OnFinished();
}

void cl_SequenceAsset::OnFinished()
{
    if (!m_started || m_stopped)
        return;
    m_running.erase(std::remove_if(m_running.begin(), m_running.end(),
                                   [](const cl_SeqAction* action) { return action->IsDone(); }),
                    m_running.end());
    if (!m_running.empty() || !m_activationQueue.empty() || IsTriggerPending())
        return;
    m_stopped = true;
    GiveBackCount();
    // The actions stop before the owner hears of the end, so that an owner that plays the sequence again
    // from "sequence.Done" keeps its new run.
    for (const auto& action : m_actions)
        action->Stop(false);
    cl_Argument noArguments;
    noArguments.SetList();
    SendToOwner("sequence.Done", &noArguments);
    // Unless the owner started a new run meanwhile.
    if (m_player && m_stopped)
        m_player->OnSequenceFinished(this);
}

void cl_SequenceAsset::Abort()
{
    GiveBackCount();
    for (const auto& action : m_actions)
        action->Stop(true);
    m_stopped = true;
    SendToOwner("sequence.Abort", nullptr);
}

void cl_SequenceAsset::Skip()
{
    if (!m_started || m_stopped)
        return;
    const std::vector<cl_SeqAction*> running = m_running;
    for (cl_SeqAction* action : running)
        action->Skip();
    OnFinished();
}

void cl_SequenceAsset::GoToMarker(const std::string& name)
{
    const std::string marker = RandomMarker(name);
    for (const auto& action : m_actions)
    {
        const auto* candidate = dynamic_cast<const cl_MarkerSeqAction*>(action.get());
        if (candidate && candidate->GetMarker() == marker)
        {
            ActivateAction(action.get());
            OnFinished();
            return;
        }
    }
}

void cl_SequenceAsset::ActivateAction(cl_SeqAction* action)
{
    m_activationQueue.push_back(action);
    // Further up the stack an activation is under way: it carries this one out after its own.
    if (m_activationQueue.size() != 1)
        return;
    while (!m_activationQueue.empty())
    {
        m_activationQueue.front()->Activate();
        m_activationQueue.pop_front();
    }
}

void cl_SequenceAsset::OnActivated(cl_SeqAction* action)
{
    m_running.push_back(action);
    const bool wasInterruptible = m_interruptible;
    m_interruptible = wasInterruptible && action->KeepsInterruptible();
    if (wasInterruptible && !m_interruptible && m_player)
        m_player->OnSequenceUninterruptible(this);
}

void cl_SequenceAsset::OnStarted(cl_SeqAction*) {}

void cl_SequenceAsset::OnDone(cl_SeqAction*, bool) {}

void cl_SequenceAsset::OnAborted(cl_SeqAction*, bool) {}

void cl_SequenceAsset::OnCountHandedOver(const std::string& from, const std::string& to)
{
    if (!m_countedCharacter.empty() && m_countedCharacter == from)
        m_countedCharacter = to;
}

std::string cl_SequenceAsset::RandomMarker(const std::string& name)
{
    if (name.compare(0, 6, RANDOM) != 0)
        return name;
    const std::string countText = name.size() > RANDOM_PREFIX ? name.substr(RANDOM_PREFIX) : std::string();
    // What the C library's atoi reads, held within an int.
    const long count = countText.empty() ? 2
                                         : std::clamp(std::strtol(countText.c_str(), nullptr, 10),
                                                      static_cast<long>(INT_MIN), static_cast<long>(INT_MAX));
    const int drawn = platform::GameRand();
    // Computed in double and rounded through float before and after the floor, as the data was tuned with.
    const float scaled = static_cast<float>(drawn / static_cast<double>(platform::GAME_RAND_MAX) * count);
    return Format("%lld", static_cast<long long>(std::floor(scaled)));
}

void cl_SequenceAsset::Reset()
{
    for (const auto& action : m_actions)
        action->Reset();
    for (const auto& trigger : m_triggers)
        trigger->Reset();
    m_running.clear();
    m_stopped = false;
    m_started = false;
    m_abortRequested = false;
}

void cl_SequenceAsset::CountRun()
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    cl_Character* character = hub ? hub->GetCurrentCharacter() : nullptr;
    if (!character)
        return;
    character->SetBusyCount(character->GetBusyCount() + 1);
    m_countedCharacter = character->GetName();
}

void cl_SequenceAsset::GiveBackCount()
{
    if (m_countedCharacter.empty())
        return;
    const cl_CharacterManager* characters = cl_CharacterManager::GetInstance();
    if (cl_Character* character = characters ? characters->GetCharacter(m_countedCharacter) : nullptr)
        character->SetBusyCount(character->GetBusyCount() - 1);
    m_countedCharacter.clear();
}

bool cl_SequenceAsset::IsTriggerPending() const
{
    return std::any_of(m_triggers.begin(), m_triggers.end(),
                       [](const auto& trigger) { return trigger->IsPending(); });
}

void cl_SequenceAsset::SendToOwner(const std::string& event, const cl_Argument* data) const
{
    if (m_ownerLogic)
        m_ownerLogic->SendEvent(event, data);
}
