#pragma once

#include "gamecomponents/cl_DialogSystem.h"
#include "gamecomponents/cl_GameComponents.h"
#include "gamecomponents/cl_SequencePlayer.h"
#include "gamecomponents/cl_VideoPlayer.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

class cl_Asset;

// What stand-ins and listeners were asked, in order.
using Calls = std::vector<std::string>;

// The asset's id, "null" for none.
std::string IdOf(const cl_Asset* asset);

// A sequence player with a foreground queue of named sequences: enough to see what a click asks of the
// player and which sequence is in front afterwards. Interactions and examinations queue a sequence that
// may be interrupted; an update drops fronts whose abort was requested.
class RecordingSequencePlayer : public cl_SequencePlayer
{
public:
    struct Sequence
    {
        std::string name;
        bool interruptible;
        bool abortRequested;
    };

    explicit RecordingSequencePlayer(Calls& calls) : m_calls(calls) {}

    bool IsForegroundPlaying() const override { return !foreground.empty(); }
    bool IsForegroundInterruptible() const override;
    void RequestAbortForeground() override;
    void SkipForeground() override;
    void UpdateLayer(int layer) override;
    void AbortAll() override;
    void VisualizeInteraction(cl_ItemAsset* object, cl_ItemAsset* heldItem) override;
    void Examine(cl_ItemAsset* object) override;
    // Record the sequence as it was handed over; the first sequence of a layer becomes its front.
    void PlaySequence(cl_SequenceAsset* sequence, int layer, bool interruptible) override;
    void EnqueueSequence(cl_SequenceAsset* sequence, int layer, bool interruptible) override;
    void AbortSequence(int layer) override;
    cl_SequenceAsset* GetFrontSequence(int layer) const override;

    // Queues a sequence on the foreground without recording a call.
    void Play(const std::string& name, bool interruptible);
    // Has the listeners told through their interface, as the player does.
    template <class Notify> void TellListeners(const Notify& notify) const { GetListeners().Tell(notify); }

    std::deque<Sequence> foreground;
    std::map<int, cl_SequenceAsset*> fronts;

private:
    void Record(const char* operation, cl_SequenceAsset* sequence, int layer, bool interruptible);

    Calls& m_calls;
};

// A dialog system that records the choices made; a pending choice query keeps it active without partner.
class RecordingDialogSystem : public cl_DialogSystem
{
public:
    explicit RecordingDialogSystem(Calls& calls) : cl_DialogSystem(nullptr), m_calls(calls) {}

    cl_CharacterAsset* GetDialogPartner() const override { return partner; }
    bool IsDialogActive() const override { return partner || queryPending; }
    bool IsChoiceQueryPending() const override { return queryPending; }
    void QueryChoice(cl_AssetLogic* logic) override;
    void StartSubDialog(cl_CharacterAsset* character, cl_TopicAsset* topic) override;
    void ExitDialog() override { m_calls.push_back("ExitDialog"); }
    void ChooseByIndex(int index) override { m_calls.push_back("ChooseByIndex " + std::to_string(index)); }
    void ChooseExitTopic() override { m_calls.push_back("ChooseExitTopic"); }

    cl_CharacterAsset* partner = nullptr;
    bool queryPending = false;

private:
    Calls& m_calls;
};

// A video player that only notes the file it is to play, without OGRE or sound: that video plays until
// it is stopped.
class RecordingVideoPlayer : public cl_VideoPlayer
{
public:
    void Play(const std::string& fileName) override { video = fileName; }
    void Stop() override { video.clear(); }
    bool IsPlaying() const override { return !video.empty(); }

    std::string video;
};

// Notes every notification as "<name> <operation> <argument>".
class RecordingListener final : public IGameComponentListener
{
public:
    RecordingListener(const std::string& name, Calls& heard) : m_name(name), m_heard(heard) {}

    void OnInteractionChanged(cl_ItemAsset* object) override;
    void OnItemSelected(cl_ItemAsset* item) override;
    void OnActiveCharacterChanged(const std::string& characterId) override;

private:
    std::string m_name;
    Calls& m_heard;
};

// Hub components whose sequence player and dialog system write what they are asked into calls, with a
// recording video player.
cl_GameComponents::Components RecordingComponents(Calls& calls);
