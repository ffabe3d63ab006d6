#pragma once

#include <string>

// Told the name of an event that an animation of a puppet has fired (a footstep, a hit, a sound cue).
class IPuppetAnimationEventListener
{
public:
    virtual void OnAnimationEvent(const std::string& event) = 0;

protected:
    // Listeners are never deleted through this interface; each unregisters from its puppet first.
    ~IPuppetAnimationEventListener() = default;
};
