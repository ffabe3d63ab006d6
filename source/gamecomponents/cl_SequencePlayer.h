#pragma once

#include "common/ListenerList.h"

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

// Decides which sequences run: one queue per layer, the foreground layer being what the player's clicks
// wait for, and turns a click on an object into the sequence that shows it.
//
// So far only the operations the game components call, and nothing plays: the foreground is always empty
// (so interruptible), and interactions, examinations and sequences started by command play nothing. The
// operations are virtual so that the sequences subsystem, and tests, can stand in.
class cl_SequencePlayer
{
public:
    static constexpr int FOREGROUND = -1;

    cl_SequencePlayer() = default;
    virtual ~cl_SequencePlayer() = default;
    cl_SequencePlayer(const cl_SequencePlayer&) = delete;
    cl_SequencePlayer& operator=(const cl_SequencePlayer&) = delete;

    // Listeners are not owned; each must remove itself before it is destroyed.
    void AddListener(ISequencePlayerListener* listener) { m_listeners.Add(listener); }
    void RemoveListener(const ISequencePlayerListener* listener) { m_listeners.Remove(listener); }

    // Whether the foreground layer holds a sequence.
    virtual bool IsForegroundPlaying() const;
    // True when the foreground layer is empty or its front sequence may be interrupted.
    virtual bool IsForegroundInterruptible() const;
    // Marks the front foreground sequence to be aborted by the next update of its layer.
    virtual void RequestAbortForeground();
    // Skips every running action of the front foreground sequence, which then finishes.
    virtual void SkipForeground();
    // Processes the layer's queue at once: aborted or finished fronts go, the new front starts.
    virtual void UpdateLayer(int layer);
    // Aborts every sequence of every layer and empties the queues.
    virtual void AbortAll();
    // Plays the interaction with object (never null): heldItem's "used_by" sequence when an item is held
    // (may be null), else the sequence of the object's interaction mode.
    virtual void VisualizeInteraction(cl_ItemAsset* object, cl_ItemAsset* heldItem);
    // Plays the object's "examine" sequence; object is never null.
    virtual void Examine(cl_ItemAsset* object);

    // Starts sequence on layer at once, aborting what plays there (-1: the foreground).
    virtual void PlaySequence(cl_SequenceAsset* sequence, int layer, bool interruptible);
    // Queues sequence behind what layer holds.
    virtual void EnqueueSequence(cl_SequenceAsset* sequence, int layer, bool interruptible);
    // Aborts the front sequence of layer.
    virtual void AbortSequence(int layer);
    // The front sequence of layer; null when the layer is empty.
    virtual cl_SequenceAsset* GetFrontSequence(int layer) const;

protected:
    const ListenerList<ISequencePlayerListener>& GetListeners() const { return m_listeners; }

private:
    ListenerList<ISequencePlayerListener> m_listeners;
};
