#pragma once

#include "common/cl_SyncGroup.h"

#include <string>

// The party that starts a lasting action (a walk, a turn, an animation) and waits for its end: the lasting
// sequence actions, the application and the scene manager. The party that carries the action out keeps a
// pointer to it and tells it when the work begins (OnStarted) and when it ends (OnDone), or that it gave
// up waiting (TimeOut).
class ISyncedActionInitiator
{
public:
    // Results of an action, as OnDone gets them.
    static constexpr int RESULT_FINISHED = 0;
    // Aborted by a new action, a deactivation or the deletion of the character.
    static constexpr int RESULT_ABORTED = 1;
    static constexpr int RESULT_FAILED = 2;
    // Aborted by the character's abort or stop operations.
    static constexpr int RESULT_ABORTED_BY_ABORT_ALL = 3;

    // The lasting work has ended with that result.
    virtual void OnDone(int result) = 0;
    // The lasting work has begun.
    virtual void OnStarted() = 0;
    // The token of the sync group the initiator has joined; here none, (-1, -1).
    virtual SyncToken GetSyncToken() const;
    // Whether the token of GetSyncToken still lies in its group; false without a sync manager.
    virtual bool HasSyncToken() const;
    // The executing party gave up waiting after that many seconds (0: it does not say how long).
    virtual void TimeOut(float seconds) = 0;
    // What log lines call the initiator; here "unknown".
    virtual std::string GetName() const;

protected:
    // Initiators are never deleted through this interface.
    ~ISyncedActionInitiator() = default;
};
