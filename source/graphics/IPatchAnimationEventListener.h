#pragma once

#include <string>

// Hears the named events of a patch item's animations (an animation-event trigger).
class IPatchAnimationEventListener
{
public:
    // The animation passed the event's time. Called from the patch item's step; the listener may stop or
    // restart the patch item from here.
    virtual void OnAnimationEvent(const std::string& event) = 0;

protected:
    // Listeners are never deleted through this interface.
    ~IPatchAnimationEventListener() = default;
};
