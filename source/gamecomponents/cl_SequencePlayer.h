#pragma once

#include "common/IGameTimeListener.h"
#include "common/ListenerList.h"
#include "common/cl_GameTimeRegistration.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

class cl_AssetLogic;
class cl_ItemAsset;
class cl_SequenceAsset;

// Told when the sequence player starts, aborts or finishes a sequence, or when a running one may no longer
// be interrupted. The game components and the dialog system listen.
class ISequencePlayerListener
{
public:
    virtual void OnSequenceStarted(cl_SequenceAsset* sequence, int layer) = 0;
    virtual void OnSequenceUninterruptible(cl_SequenceAsset* sequence) = 0;
    virtual void OnSequenceAborted(cl_SequenceAsset* sequence) = 0;
    virtual void OnSequenceFinished(cl_SequenceAsset* sequence) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~ISequencePlayerListener() = default;
};

// Decides which sequences run: one queue per layer, played front first. Layer -1 is the foreground
// (interactions, cutscenes, dialog topics: what the player's clicks wait for); every other layer plays in
// the background on its own. Each frame of the time group "sequences" updates the front of every layer,
// lowest layer first; a front that has ended is removed and the next one starts at once. The player also
// turns a click on an object into the sequence that shows it.
//
// Sequences belong to the sequence pool, which must keep them while they are queued. Listeners, the owners
// of sequences and the charts they tell may play, queue or abort sequences from inside every notification.
// The operations are virtual so that tests of the game components can stand in.
class cl_SequencePlayer : public IGameTimeListener
{
public:
    static constexpr int FOREGROUND = -1;

    // Runs in the time group "sequences" (priority 0) of the game time, when there is one.
    cl_SequencePlayer();
    // Forgets the queues without aborting their sequences.
    virtual ~cl_SequencePlayer();
    cl_SequencePlayer(const cl_SequencePlayer&) = delete;
    cl_SequencePlayer& operator=(const cl_SequencePlayer&) = delete;

    // Listeners are not owned; each must remove itself before it is destroyed.
    void AddListener(ISequencePlayerListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const ISequencePlayerListener* listener) { m_listeners.Remove(listener); }

    // For every layer, lowest first: ended fronts go, the front is updated, ended fronts go again.
    void Update(float dt) override;

    // Whether the foreground layer holds a sequence.
    virtual bool IsForegroundPlaying() const;
    // True when the foreground layer is empty or its front sequence may be interrupted.
    virtual bool IsForegroundInterruptible() const;
    // Marks the front foreground sequence to be aborted by the next update of its layer.
    virtual void RequestAbortForeground();
    // Skips the running actions of the front foreground sequence.
    virtual void SkipForeground();
    // While the layer's front has ended or is to be aborted: it is removed (aborted first when asked to)
    // and the listeners are told; a front that has not begun yet starts.
    virtual void UpdateLayer(int layer);
    // Aborts the front of every layer and forgets every queue. Sequences that the aborted ones' owners
    // play or queue meanwhile are refused (with a warning), so nothing plays on afterwards.
    virtual void AbortAll();
    // Plays the interaction with item (never null) when the click may go ahead: with heldItem (may be
    // null) the item's "used_by" sequence for it, if the item accepts it now; else the sequence of the
    // item's interaction mode. An item without that sequence gets a default one: the interaction alone
    // for an item in the inventory, a "leave" (which arms the scene's exit) or a "use", else the walk to
    // the item first.
    virtual void VisualizeInteraction(cl_ItemAsset* item, cl_ItemAsset* heldItem);
    // Plays the item's "examine" sequence (never null), or a default one without walk.
    virtual void Examine(cl_ItemAsset* item);

    // Plays sequence (never null) on the layer now: the sequences of the layer go (the front aborted, with
    // a warning), unless its front has the sequence's id and still runs, which changes nothing.
    virtual void PlaySequence(cl_SequenceAsset* sequence, int layer, bool interruptible);
    // Queues sequence (never null) behind the layer's others; an empty layer plays it at once. Queuing the
    // front whose abort was requested cancels the abort instead.
    virtual void EnqueueSequence(cl_SequenceAsset* sequence, int layer, bool interruptible);
    // Aborts the front sequence of layer now; the next one starts at the layer's next update.
    virtual void AbortSequence(int layer);
    // The front sequence of layer; null when the layer is empty.
    virtual cl_SequenceAsset* GetFrontSequence(int layer) const;
    // The owner logic of the layer's front sequence; null when the layer is empty.
    cl_AssetLogic* GetSequenceCaller(int layer) const;

    // A sequence that has just finished tells the player, which starts what waits behind it at once.
    void OnSequenceFinished(cl_SequenceAsset* sequence);
    // A running sequence tells the player that it may no longer be interrupted; the listeners hear it.
    void OnSequenceUninterruptible(cl_SequenceAsset* sequence);
    // The game components handed the busy count of the character with id from to the one with id to:
    // the running sequences give their counts back to that one.
    void OnBusyCountHandedOver(const std::string& from, const std::string& to);

protected:
    const ListenerList<ISequencePlayerListener>& GetListeners() const { return m_listeners; }

private:
    struct Entry
    {
        cl_SequenceAsset* sequence;
        // Whether the entry's run has started; a sequence may be queued again behind its own run.
        bool begun;
    };
    using Queue = std::deque<Entry>;

    // Appends sequence to the layer's queue, to be played by this player.
    void Append(cl_SequenceAsset* sequence, int layer, bool interruptible);
    // Marks the layer's front begun, tells the listeners that it starts, then starts it.
    void Begin(int layer);
    // Takes the front off the layer when it is still sequence.
    void RemoveFront(int layer, const cl_SequenceAsset* sequence);
    // Tells the listeners of a front taken off its layer: one that has ended already finished, another
    // one is aborted.
    void EndRemoved(cl_SequenceAsset* front);
    // False, with a warning naming the sequence, while AbortAll runs.
    bool MayPlay(const cl_SequenceAsset* sequence) const;
    // Whether the click may go ahead; a refusal by the current character plays its refusal sequence.
    bool PlayInteractionFlags(cl_ItemAsset* item);
    // Hands the interaction sequence of a click its data and queues it on the foreground.
    void PlayInteraction(cl_SequenceAsset* sequence, cl_ItemAsset* item, cl_ItemAsset* heldItem,
                         const std::string& callerName);

    std::map<int, Queue> m_layers;
    // The layers as one frame's update walks them, kept so that no frame allocates.
    std::vector<int> m_updating;
    ListenerList<ISequencePlayerListener> m_listeners;
    bool m_abortingAll = false;
    cl_GameTimeRegistration m_gameTime;
};
