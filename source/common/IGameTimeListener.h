#pragma once

// Anything that runs once per frame: the game time calls it with the frame's step in its time group.
class IGameTimeListener
{
public:
    // dt: seconds of game time for this frame, already scaled by the listener's time flow and held within
    // its group's caps. It may be 0 (a paused group) or negative (a negative flow without a minimum cap).
    virtual void Update(float dt) = 0;

protected:
    // Listeners are never deleted through this interface; each removes itself from the game time first.
    ~IGameTimeListener() = default;
};
