#pragma once

// The party that starts a lasting action (a walk, a turn, an animation) and waits for its end. The party
// that carries the action out keeps a pointer to it and tells it once the action is over.
class ISyncedActionInitiator
{
public:
    // Results of an action.
    static constexpr int RESULT_FINISHED = 0;
    static constexpr int RESULT_ABORTED = 1;
    static constexpr int RESULT_FAILED = 2;

    // The action has ended with that result.
    virtual void OnSyncedActionDone(int result) = 0;

protected:
    // Initiators are never deleted through this interface.
    ~ISyncedActionInitiator() = default;
};
