#pragma once

class cl_PuppetControl;

// Hears what becomes of a puppet control: the character or scene item that owns it and hands it jobs.
class IPuppetControlListener
{
public:
    // The codes OnControlEvent gets.
    static constexpr int CODE_ACTIVATED = 0;
    // The job the listener waits for is done (its callback is answered).
    static constexpr int CODE_DONE = 1;
    static constexpr int CODE_FAILED = 2;
    // The control has begun the job it was asked for; the listener still waits for its end.
    static constexpr int CODE_STARTED = 3;
    // Reset or stopped: the job the listener waited for is dropped.
    static constexpr int CODE_STOPPED = 4;
    static constexpr int CODE_DEACTIVATED = 5;
    // The control has a new listener; told to the old one.
    static constexpr int CODE_REPLACED = 6;

    // Called from inside the control's work (its puppet's frame, a reset, a stop); the listener may hand
    // the control or another one a new job from here.
    virtual void OnControlEvent(cl_PuppetControl* control, int code) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IPuppetControlListener() = default;
};
