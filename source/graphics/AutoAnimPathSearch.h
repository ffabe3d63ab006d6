#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

// One animation of an auto animation group, and the repeat counters of the one playing.
struct st_AutoAnimation
{
    int frequency = 1;
    // While above 0 in the playing copy, the random follow-up is this animation again.
    int minRepeat = -1;
    // At 0 in the playing copy, the random follow-up is not this path.
    int maxRepeat = -1;
    // May be cut off before its end.
    bool abortable = false;
    // A path that does not resolve is left out of the search without a message.
    bool optional = false;
    // -1: from the start, running; -2: the last frame, held; else that time, held.
    float fixedTime = -1.0f;
    std::string path;
    // The group that follows this animation.
    std::string nextGroup;
};

// How a group relates to one visual state.
struct st_AutoVisualState
{
    // The chain may end after an animation that leads into this group.
    bool exit = false;
    // The chain may begin with an animation of this group.
    bool enter = false;
    // The chain may go on into this group.
    bool supported = true;
};

// A node of the auto animation graph. Its animations are identified by their address while a search
// runs, so the lists stay untouched meanwhile.
struct st_AutoAnimGroup
{
    std::vector<st_AutoAnimation> animations;
    std::map<std::string, st_AutoVisualState> visualStates;
};

using AutoAnimGroups = std::map<std::string, st_AutoAnimGroup>;
using AutoAnimList = std::vector<const st_AutoAnimation*>;

// The shortest-play-time search of the auto animation control: from a list of start animations through
// the groups their next groups name, to the nearest of some targets. An animation costs its length in
// seconds, an abortable one 0.25; one whose length is unknown costs nothing, so every chain has a cost of
// at least 0 and the search ends.
class AutoAnimPathSearch
{
public:
    // The length in seconds of an animation's clip; false when its path has no animation. lengthOf is
    // asked during the search only.
    using LengthOf = std::function<bool(const st_AutoAnimation& animation, float& length)>;

    AutoAnimPathSearch(const AutoAnimGroups& groups, LengthOf lengthOf);

    // The start animation that begins the cheapest chain to the nearest reached target (earlier targets
    // win ties); null when a list is empty, no target is reached or the nearest target is a start itself.
    // A path without animation is logged (unless optional) and left out.
    const st_AutoAnimation* FindPathStart(const AutoAnimList& targets, const AutoAnimList& starts);
    // The animations of the group of that name; none for a name no group has.
    static AutoAnimList Animations(const AutoAnimGroups& groups, const std::string& name);

private:
    struct st_Distance
    {
        float distance;
        const st_AutoAnimation* previous;
    };

    void BuildDistanceMap(const AutoAnimList& animations, const st_AutoAnimation* previous, float distance);

    const AutoAnimGroups& m_groups;
    LengthOf m_lengthOf;
    std::map<const st_AutoAnimation*, st_Distance> m_distances;
};
