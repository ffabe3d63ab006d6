#include "gamecomponents/cl_SequencePlayer.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_CharacterPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/LogCall.h"
#include "common/cl_GameTime.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_Inventory.h"
#include "graphics/cl_SceneManager.h"

namespace
{
// The sequence of that id in the sequences pool; null when there is none (the id "none" included).
cl_SequenceAsset* FindSequence(const std::string& id)
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    return pools ? dynamic_cast<cl_SequenceAsset*>(pools->GetSequencePool()->FindAsset(id)) : nullptr;
}

// The current character's asset; null when there is none.
const cl_CharacterAsset* CurrentCharacterAsset()
{
    const cl_PoolManager* pools = cl_PoolManager::GetInstance();
    const cl_GameState* gameState = cl_GameState::GetInstance();
    if (!pools || !gameState)
        return nullptr;
    return dynamic_cast<cl_CharacterAsset*>(
        pools->GetCharacterPool()->FindAsset(gameState->GetCurrentCharacterId()));
}

// Whether the current character carries the item.
bool IsCarried(const cl_ItemAsset& item)
{
    const cl_GameComponents* hub = cl_GameComponents::GetInstance();
    if (!hub)
        return false;
    const cl_Inventory& inventory = hub->GetInventory();
    return inventory.FindItem(inventory.GetCurrentCharacter(), item.GetId()) != nullptr;
}
} // namespace

cl_SequencePlayer::cl_SequencePlayer() : m_gameTime(cl_GameTime::GetInstance(), this, "sequences", 0) {}

cl_SequencePlayer::~cl_SequencePlayer() = default;

void cl_SequencePlayer::Update(float dt)
{
    m_updating.clear();
    for (const auto& layer : m_layers)
        m_updating.push_back(layer.first);
    for (const int layer : m_updating)
    {
        UpdateLayer(layer);
        if (cl_SequenceAsset* front = GetFrontSequence(layer))
            front->Update(dt);
        UpdateLayer(layer);
    }
}

bool cl_SequencePlayer::IsForegroundPlaying() const
{
    return GetFrontSequence(FOREGROUND) != nullptr;
}

bool cl_SequencePlayer::IsForegroundInterruptible() const
{
    const cl_SequenceAsset* front = GetFrontSequence(FOREGROUND);
    return !front || front->IsInterruptible();
}

void cl_SequencePlayer::RequestAbortForeground()
{
    if (cl_SequenceAsset* front = GetFrontSequence(FOREGROUND))
        front->SetAbortRequested(true);
}

void cl_SequencePlayer::SkipForeground()
{
    if (cl_SequenceAsset* front = GetFrontSequence(FOREGROUND))
        front->Skip();
}

void cl_SequencePlayer::UpdateLayer(int layer)
{
    // The queue is read anew after every call out: the sequences' owners and the listeners may change it
    // meanwhile.
    for (;;)
    {
        const auto found = m_layers.find(layer);
        if (found == m_layers.end() || found->second.empty())
            return;
        const Entry front = found->second.front();
        if (!front.begun)
        {
            Begin(layer);
            continue;
        }
        if (!front.sequence->IsStopped() && !front.sequence->IsAbortRequested())
            return;
        RemoveFront(layer, front.sequence);
        EndRemoved(front.sequence);
    }
}

void cl_SequencePlayer::AbortAll()
{
    std::map<int, Queue> layers;
    layers.swap(m_layers);
    const bool wasAbortingAll = m_abortingAll;
    m_abortingAll = true;
    for (const auto& layer : layers)
    {
        if (!layer.second.empty())
            EndRemoved(layer.second.front().sequence);
    }
    m_abortingAll = wasAbortingAll;
}

void cl_SequencePlayer::VisualizeInteraction(cl_ItemAsset* item, cl_ItemAsset* heldItem)
{
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools || !PlayInteractionFlags(item))
        return;
    std::string mode = item->GetInteractionMode();
    cl_SequenceAsset* sequence = nullptr;
    if (heldItem)
    {
        const cl_AssetLogic* logic = item->GetLogic();
        if (!logic || !logic->HasInteractionItem(heldItem))
            return;
        mode = "used_by";
        sequence = FindSequence(item->GetUsedBySequence(heldItem));
    }
    else
        sequence = FindSequence(item->GetInteractionSequence(mode));

    if (!sequence)
    {
        // Nobody walks to what he carries; a "leave" is the scene's exit, a "use" is left to the data.
        const bool carried = IsCarried(*item);
        cl_SceneManager* scenes = cl_SceneManager::GetInstance();
        if (!carried && mode == "leave" && scenes)
            scenes->SetExitArmed(true);
        if (!carried && mode == "use")
            LOG_WARNING("Empty Use-Sequence created for item '%s'!", item->GetId().c_str());
        sequence =
            pools->GetSequencePool()->CreateInteractionSequence(!carried && mode != "leave" && mode != "use");
    }

    if (heldItem)
        LOG_LEVEL(cl_Logger::TOPIC_DIALOG, "'%s' :: '%s' with '%s'", mode.c_str(), item->GetId().c_str(),
                  heldItem->GetId().c_str());
    else
        LOG_LEVEL(cl_Logger::TOPIC_DIALOG, "'%s' :: '%s'", mode.c_str(), item->GetId().c_str());
    PlayInteraction(sequence, item, heldItem, mode);
}

void cl_SequencePlayer::Examine(cl_ItemAsset* item)
{
    cl_PoolManager* pools = cl_PoolManager::GetInstance();
    if (!pools || !PlayInteractionFlags(item))
        return;
    cl_SequenceAsset* sequence = FindSequence(item->GetInteractionSequence("examine"));
    if (!sequence)
        sequence = pools->GetSequencePool()->CreateInteractionSequence(false);
    LOG_LEVEL(cl_Logger::TOPIC_DIALOG, "'examine' :: '%s'", item->GetId().c_str());
    PlayInteraction(sequence, item, nullptr, "examine");
}

void cl_SequencePlayer::PlaySequence(cl_SequenceAsset* sequence, int layer, bool interruptible)
{
    if (!MayPlay(sequence))
        return;
    if (cl_SequenceAsset* front = GetFrontSequence(layer))
    {
        if (front == sequence && !front->IsStopped())
            return;
        if (!front->IsStopped())
            LOG_WARNING("PlaySequence of '%s' aborted the playback of sequence '%s'.",
                        sequence->GetId().c_str(), front->GetId().c_str());
        // A front that has ended just now has only its removal left.
        RemoveFront(layer, front);
        EndRemoved(front);
        m_layers[layer].clear();
    }
    Append(sequence, layer, interruptible);
    Begin(layer);
}

void cl_SequencePlayer::EnqueueSequence(cl_SequenceAsset* sequence, int layer, bool interruptible)
{
    cl_SequenceAsset* front = GetFrontSequence(layer);
    if (!front)
    {
        PlaySequence(sequence, layer, interruptible);
        return;
    }
    if (front == sequence && front->IsAbortRequested())
    {
        front->SetAbortRequested(false);
        return;
    }
    if (MayPlay(sequence))
        Append(sequence, layer, interruptible);
}

void cl_SequencePlayer::AbortSequence(int layer)
{
    if (cl_SequenceAsset* front = GetFrontSequence(layer))
    {
        RemoveFront(layer, front);
        EndRemoved(front);
    }
}

cl_SequenceAsset* cl_SequencePlayer::GetFrontSequence(int layer) const
{
    const auto found = m_layers.find(layer);
    return found == m_layers.end() || found->second.empty() ? nullptr : found->second.front().sequence;
}

cl_AssetLogic* cl_SequencePlayer::GetSequenceCaller(int layer) const
{
    const cl_SequenceAsset* front = GetFrontSequence(layer);
    return front ? front->GetOwnerLogic() : nullptr;
}

void cl_SequencePlayer::OnSequenceFinished(cl_SequenceAsset* sequence)
{
    std::vector<int> layers;
    for (const auto& layer : m_layers)
    {
        if (!layer.second.empty() && layer.second.front().sequence == sequence)
            layers.push_back(layer.first);
    }
    for (const int layer : layers)
        UpdateLayer(layer);
}

void cl_SequencePlayer::OnSequenceUninterruptible(cl_SequenceAsset* sequence)
{
    m_listeners.Tell([sequence](ISequencePlayerListener& listener)
                     { listener.OnSequenceUninterruptible(sequence); });
}

void cl_SequencePlayer::OnBusyCountHandedOver(const std::string& from, const std::string& to)
{
    for (const auto& layer : m_layers)
    {
        if (!layer.second.empty())
            layer.second.front().sequence->OnCountHandedOver(from, to);
    }
}

void cl_SequencePlayer::Append(cl_SequenceAsset* sequence, int layer, bool interruptible)
{
    sequence->SetInterruptible(interruptible);
    sequence->SetPlayer(this);
    m_layers[layer].push_back(Entry{sequence, false});
}

void cl_SequencePlayer::Begin(int layer)
{
    Entry& front = m_layers[layer].front();
    front.begun = true;
    cl_SequenceAsset* sequence = front.sequence;
    m_listeners.Tell([sequence, layer](ISequencePlayerListener& listener)
                     { listener.OnSequenceStarted(sequence, layer); });
    sequence->Start();
}

void cl_SequencePlayer::RemoveFront(int layer, const cl_SequenceAsset* sequence)
{
    const auto found = m_layers.find(layer);
    if (found != m_layers.end() && !found->second.empty() && found->second.front().sequence == sequence)
        found->second.pop_front();
}

void cl_SequencePlayer::EndRemoved(cl_SequenceAsset* front)
{
    if (front->IsStopped())
    {
        m_listeners.Tell([front](ISequencePlayerListener& listener) { listener.OnSequenceFinished(front); });
        return;
    }
    front->Abort();
    m_listeners.Tell([front](ISequencePlayerListener& listener) { listener.OnSequenceAborted(front); });
}

bool cl_SequencePlayer::MayPlay(const cl_SequenceAsset* sequence) const
{
    if (m_abortingAll)
        LOG_WARNING("Sequence '%s' is not played: every sequence is being aborted.",
                    sequence->GetId().c_str());
    return !m_abortingAll;
}

bool cl_SequencePlayer::PlayInteractionFlags(cl_ItemAsset* item)
{
    const cl_CharacterAsset* character = CurrentCharacterAsset();
    const int characterFlags = character ? character->GetInteractionFlags() : 0;
    const int itemFlags = item->GetInteractionFlags();
    if (itemFlags & cl_ItemAsset::NO_INTERACTION)
        return false;
    if (characterFlags == 0 || (characterFlags & itemFlags))
        return true;
    if (cl_SequenceAsset* refusal =
            character ? FindSequence(character->GetForbiddenInteractSequence()) : nullptr)
    {
        refusal->SetOwnerLogic(character->GetLogic());
        refusal->SetInteractionTarget(nullptr);
        refusal->SetUsedItem(nullptr);
        refusal->SetCallerName("none");
        refusal->SetBlocking(true);
        EnqueueSequence(refusal, FOREGROUND, false);
    }
    return false;
}

void cl_SequencePlayer::PlayInteraction(cl_SequenceAsset* sequence, cl_ItemAsset* item,
                                        cl_ItemAsset* heldItem, const std::string& callerName)
{
    sequence->SetInteractionTarget(item);
    sequence->SetUsedItem(heldItem);
    sequence->SetOwnerLogic(item->GetLogic());
    sequence->SetCallerName(callerName);
    sequence->SetBlocking(true);
    EnqueueSequence(sequence, FOREGROUND, true);
}
