#pragma once

#include "graphics/FrequencySet.h"
#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>

// One action of a visual state.
struct st_AutoAction
{
    int frequency = 1;
    // Kept with the action; the choice does not look at it.
    bool repeatable = true;
};

// The actions of one visual state, by animation path.
using st_AutoActionGroup = st_FrequencySet<st_AutoAction>;

// The control ("autoactionctrl") that now and then plays one short action on its owner: when triggered
// (by its timer, or by the owning character's glances while the timer is off) it asks for the body's
// channels, picks an action of the owner's visual state at random by frequency, fades it in and stays
// active until it has ended.
//
// Reports: code 3 when an action starts while a listener waits, 4 from Reset.
class cl_AutoActionControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 500;
    static constexpr uint32_t CHANNELS = 3;

    // "auto" (exactly "false" switches the timer off; automatic otherwise), "triggertime" (seconds; kept
    // when absent or no number) and the "action" children of type "animation" in place of the groups:
    // "path" (an action without one is logged and left out), "mode" (the visual state, "default" when
    // absent), "frequency" ("%d", kept when no number) and "repeatable" (exactly "false" clears it); a
    // later action of the same mode and path changes the same entry. False, with the groups emptied, for a
    // null element.
    bool FromXml(const TiXmlElement* element) override;
    // A playing action goes to 0 at once, then the base reset; no trigger is pending. Timer and switch
    // stay.
    void Reset() override;
    bool OnUpdate(float dt) override;
    void OnDeactivated() override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Asks for an action now: the timer starts again, and when the owner's visual state has actions the
    // control requests the channels from its next update on.
    void TriggerAction();
    // Adds the name of every visual state that has actions.
    void CollectVisualStates(std::set<std::string>& states) const;

    // The timer triggers on its own; the owning character switches it off while it speaks and glances
    // trigger instead.
    bool IsAutomatic() const { return m_automatic; }
    void SetAutomatic(bool automatic) { m_automatic = automatic; }
    float GetTimer() const { return m_timer; }
    void SetTimer(float seconds) { m_timer = seconds; }
    float GetTriggerTime() const { return m_triggerTime; }
    bool IsPending() const { return m_pending; }
    const std::map<std::string, st_AutoActionGroup>& GetGroups() const { return m_groups; }
    // The action playing; null for none.
    cl_PuppetMainAnimation* GetCurrentAnimation() const { return m_currentAnimation; }

private:
    // Picks an action of the owner's visual state and fades it in from its start.
    void StartAction();

    std::map<std::string, st_AutoActionGroup> m_groups;
    cl_PuppetMainAnimation* m_currentAnimation = nullptr;
    float m_triggerTime = 15.0f;
    float m_timer = 0.0f;
    bool m_automatic = true;
    bool m_pending = false;
};
