#pragma once

#include "graphics/FrequencySet.h"
#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

// One idle animation of a visual state.
struct st_IdleAnimation
{
    // -1: the animation runs; -2: held at its end; 0 or more: held at that time (seconds).
    float fixedTime = -1.0f;
    int frequency = 1;
    // Kept with the entry; the choice does not look at it.
    bool repeatable = true;
};

// The idle animations of one visual state, by animation path.
using st_IdleSet = st_FrequencySet<st_IdleAnimation>;

// The control ("idlectrl") that keeps a puppet alive while nothing else drives it: at the lowest priority
// it plays one of the idle animations of its owner's visual state, picked at random by frequency (running,
// or held at a fixed time), and picks again when that one has finished or the visual state changes. The
// puppet shows the current idle as its fallback while every other animation is off. Without an idle for
// the state it logs that the model stands in its bind pose and keeps still until the state changes or it
// is granted anew.
//
// Reports: code 3 when an idle starts while a listener waits, 4 from Reset.
class cl_IdleAnimationControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 0;
    static constexpr uint32_t CHANNELS = 3;

    // Its "idle" children in place of the sets: "path" (an idle without one is logged and left out),
    // "mode" (the visual state; missing or empty: "default"), "frequency" ("%d"), "fixedtime" ("end" or
    // "max": the end, else seconds), "repeatable" (exactly "false" clears it); an attribute that is absent,
    // empty or no number keeps the entry's value, and a later idle of the same mode and path changes the
    // same entry. False, with the sets emptied, for a null element.
    bool FromXml(const TiXmlElement* element) override;
    // A playing idle goes to 0 at once, then the base reset; the next activation chooses anew.
    void Reset() override;
    void OnAttached(cl_ControlledPuppet& puppet) override;
    bool OnUpdate(float dt) override;
    void OnDeactivated() override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Fades the current idle out and starts one of the owner's visual state, restarted (or held at its
    // fixed time), handed to the puppet as its fallback. Without a fitting idle it logs, plays nothing and
    // waits for another state.
    void StartRandomIdleAnimation();
    // Adds the name of every visual state that has idles.
    void CollectVisualStates(std::set<std::string>& states) const;

    const std::map<std::string, st_IdleSet>& GetIdleSets() const { return m_idleSets; }
    // The idle playing now; null for none.
    cl_PuppetMainAnimation* GetCurrentIdle() const { return m_currentIdle; }

private:
    // Picks from the set and plays it; false, logged, when no animation comes of it.
    bool StartFrom(const st_IdleSet& set);
    // Holds the animation at its fixed time or lets it run; the time the fallback shows (-1: running).
    float ApplyFixedTime(cl_PuppetMainAnimation& animation, float fixedTime);

    std::map<std::string, st_IdleSet> m_idleSets;
    cl_PuppetMainAnimation* m_currentIdle = nullptr;
    std::string m_chosenState;
    bool m_choiceFailed = false;
};
