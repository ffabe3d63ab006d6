#include "support/GameComponentsStandIns.h"

#include "assets/cl_AssetLogic.h"
#include "assets/cl_CharacterAsset.h"
#include "assets/cl_ItemAsset.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_TopicAsset.h"

std::string IdOf(const cl_Asset* asset)
{
    return asset ? asset->GetId() : "null";
}

bool RecordingSequencePlayer::IsForegroundInterruptible() const
{
    return foreground.empty() || foreground.front().interruptible;
}

void RecordingSequencePlayer::RequestAbortForeground()
{
    m_calls.push_back("RequestAbortForeground");
    if (!foreground.empty())
        foreground.front().abortRequested = true;
}

void RecordingSequencePlayer::SkipForeground()
{
    m_calls.push_back("SkipForeground");
}

void RecordingSequencePlayer::UpdateLayer(int layer)
{
    m_calls.push_back("UpdateLayer " + std::to_string(layer));
    while (!foreground.empty() && foreground.front().abortRequested)
        foreground.pop_front();
}

void RecordingSequencePlayer::AbortAll()
{
    m_calls.push_back("AbortAll");
    foreground.clear();
}

void RecordingSequencePlayer::VisualizeInteraction(cl_ItemAsset* object, cl_ItemAsset* heldItem)
{
    m_calls.push_back("VisualizeInteraction " + IdOf(object) + " " + IdOf(heldItem));
    Play("interaction " + IdOf(object), true);
}

void RecordingSequencePlayer::Examine(cl_ItemAsset* object)
{
    m_calls.push_back("Examine " + IdOf(object));
    Play("examine " + IdOf(object), true);
}

void RecordingSequencePlayer::PlaySequence(cl_SequenceAsset* sequence, int layer, bool interruptible)
{
    Record("PlaySequence", sequence, layer, interruptible);
}

void RecordingSequencePlayer::EnqueueSequence(cl_SequenceAsset* sequence, int layer, bool interruptible)
{
    Record("EnqueueSequence", sequence, layer, interruptible);
}

void RecordingSequencePlayer::Record(const char* operation, cl_SequenceAsset* sequence, int layer,
                                     bool interruptible)
{
    const cl_AssetLogic* owner = sequence->GetOwnerLogic();
    m_calls.push_back(std::string(operation) + " " + IdOf(sequence) + " layer " + std::to_string(layer) +
                      (interruptible ? " interruptible" : "") + " owner " +
                      (owner ? owner->GetAssetId() : "null") + " caller " + sequence->GetCallerName() +
                      (sequence->IsBlocking() ? " blocking" : " not blocking") + " item " +
                      IdOf(sequence->GetUsedItem()) + " target " + IdOf(sequence->GetInteractionTarget()));
    fronts.emplace(layer, sequence);
}

void RecordingSequencePlayer::AbortSequence(int layer)
{
    m_calls.push_back("AbortSequence " + std::to_string(layer));
}

cl_SequenceAsset* RecordingSequencePlayer::GetFrontSequence(int layer) const
{
    const auto found = fronts.find(layer);
    return found == fronts.end() ? nullptr : found->second;
}

void RecordingDialogSystem::QueryChoice(cl_AssetLogic* logic)
{
    m_calls.push_back("QueryChoice " + (logic ? logic->GetAssetId() : std::string("null")));
}

void RecordingDialogSystem::StartSubDialog(cl_CharacterAsset* character, cl_TopicAsset* topic)
{
    m_calls.push_back("StartSubDialog " + IdOf(character) + " " + IdOf(topic));
}

void RecordingSequencePlayer::Play(const std::string& name, bool interruptible)
{
    foreground.push_back({name, interruptible, false});
}

void RecordingListener::OnInteractionChanged(cl_ItemAsset* object)
{
    m_heard.push_back(m_name + " OnInteractionChanged " + IdOf(object));
}

void RecordingListener::OnItemSelected(cl_ItemAsset* item)
{
    m_heard.push_back(m_name + " OnItemSelected " + IdOf(item));
}

void RecordingListener::OnActiveCharacterChanged(const std::string& characterId)
{
    m_heard.push_back(m_name + " OnActiveCharacterChanged " + characterId);
}

cl_GameComponents::Components RecordingComponents(Calls& calls)
{
    cl_GameComponents::Components components;
    components.sequencePlayer = std::make_unique<RecordingSequencePlayer>(calls);
    components.dialogSystem = std::make_unique<RecordingDialogSystem>(calls);
    components.videoPlayer = std::make_unique<RecordingVideoPlayer>();
    return components;
}
