#pragma once

class cl_SeqAction;

// Told what a sequence action does: the sequence that owns it and every trigger that listens to it.
class IActionListener
{
public:
    // The action passed its condition and was activated; it starts right after this.
    virtual void OnActivated(cl_SeqAction* action) = 0;
    // The action's work has begun.
    virtual void OnStarted(cl_SeqAction* action) = 0;
    // The action has finished, with success or failure.
    virtual void OnDone(cl_SeqAction* action, bool success) = 0;
    // The action was skipped or aborted; success is true for a skip.
    virtual void OnAborted(cl_SeqAction* action, bool success) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IActionListener() = default;
};
