#pragma once

#include "graphics/AutoAnimPathSearch.h"
#include "graphics/cl_PuppetControl.h"

#include <cstdint>
#include <set>
#include <string>

// The control ("autoanimctrl") that plays an endless chain of animations through a graph of groups: each
// animation names the group that follows it, and each group says per visual state of the owner whether
// the chain may start there ("enter"), go on there ("supported") or end after reaching it ("exit"). It asks
// for the body's channels whenever the owner's state allows an entry, starts with a random entry
// animation, goes on with weighted random follow-ups into supporting groups (the play-time shortest chain
// when none leads there directly), and when asked off it plays on until an animation that leads into an
// exit group has ended. Stronger controls on the body (walking, turning, special and auto actions) thus
// wait for it to reach an exit.
class cl_AutoAnimationControl : public cl_PuppetControl
{
public:
    static constexpr int32_t PRIORITY = 100;
    static constexpr uint32_t CHANNELS = 3;

    // The "group" children of an "autoanimctrl" element in place of the graph; another element empties it.
    // A group without "name", a "visualstate" without "name" and an "animation" without "path" or
    // "nextgroup" are logged and left out; a second group of a name replaces the first one's content.
    // Always true.
    bool FromXml(const TiXmlElement* element) override;
    // Disabling an active control fades its animation out and ends it at the next update; enabling it
    // again before that starts a fresh entry animation.
    void SetEnabled(bool enabled) override;
    // A playing animation goes to 0 at once, then the base reset.
    void Reset() override;
    bool OnUpdate(float dt) override;
    void OnDeactivated() override;
    void OnActivated(const st_ActivationRequest& request) override;

    // Adds every visual state that some group names.
    void CollectVisualStates(std::set<std::string>& states) const;

    const AutoAnimGroups& GetGroups() const { return m_groups; }
    // The playing animation's record (with its repeat counters) and clip; the clip is null for none.
    const st_AutoAnimation& GetCurrentRecord() const { return m_current; }
    cl_PuppetMainAnimation* GetCurrentAnimation() const { return m_currentAnimation; }

private:
    // Which flag of a group's entry for the owner's visual state a test asks for.
    enum class Relation
    {
        ENTER,
        SUPPORTED,
        EXIT,
    };

    void LoadVisualStatesFromXml(const TiXmlElement& element, st_AutoAnimGroup& group);
    void LoadAnimationsFromXml(const TiXmlElement& element, st_AutoAnimGroup& group);

    // Whether the group of that name exists and has the relation to the owner's visual state.
    bool GroupHas(const std::string& name, Relation relation) const;
    bool LeadsInto(const st_AutoAnimation& animation, Relation relation) const
    {
        return GroupHas(animation.nextGroup, relation);
    }
    // Every animation of every group that leads into a group of the relation; with skipNextGroup set, only
    // those whose next group is another than the current record's.
    AutoAnimList AllLeadingInto(Relation relation, bool skipNextGroup) const;
    // The animations of the group the current record leads into.
    AutoAnimList FollowUps() const;
    // Of those, the ones that lead into a group of the relation; with skipNextGroup as above.
    AutoAnimList FollowUpsLeadingInto(Relation relation, bool skipNextGroup) const;
    const st_AutoAnimation* FindPathStart(const AutoAnimList& targets, const AutoAnimList& starts);

    // A record drawn by frequency; null for an empty list or (logged) frequencies that add up to 0 or less.
    static const st_AutoAnimation* GetRandomAnimation(const AutoAnimList& candidates);
    // The forced repeat of minrepeat, and no direct repeat at maxrepeat 0.
    void ApplyRepeatLimits(AutoAnimList& candidates) const;
    // The previous animation fades back, the record's clip fades in from its start (or shows its fixed
    // frame); false, logged, when its path has no clip.
    bool StartAnimation(const st_AutoAnimation& record);
    // The entry animations of the owner's visual state: those of entering groups that lead into a
    // supporting group, else the start of the shortest chain to such an animation. False for none. An
    // inactive control asks in every pass.
    bool GetEntryCandidates(AutoAnimList& result);
    bool StartEntryAnimation();
    bool ChooseFollowUp();
    bool StartIfChosen(const st_AutoAnimation* record);
    bool HasEnded() const;
    bool CanExit() const;
    // Warns that the chain found no way on (to an exit, when asked off).
    void ExitLog() const;

    AutoAnimGroups m_groups;
    st_AutoAnimation m_current;
    cl_PuppetMainAnimation* m_currentAnimation = nullptr;
    // The entry check's lists, kept so that its passes allocate nothing.
    AutoAnimList m_entries;
    AutoAnimList m_starts;
};
