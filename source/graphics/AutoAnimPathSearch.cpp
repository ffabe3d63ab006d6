#include "graphics/AutoAnimPathSearch.h"

#include "common/LogCall.h"

#include <algorithm>
#include <utility>

namespace
{
// What passing through an abortable animation costs: it may be cut off.
const float ABORTABLE_COST = 0.25f;
} // namespace

AutoAnimPathSearch::AutoAnimPathSearch(const AutoAnimGroups& groups, LengthOf lengthOf)
    : m_groups(groups), m_lengthOf(std::move(lengthOf))
{
}

AutoAnimList AutoAnimPathSearch::Animations(const AutoAnimGroups& groups, const std::string& name)
{
    AutoAnimList animations;
    const auto group = groups.find(name);
    if (group != groups.end())
    {
        for (const st_AutoAnimation& animation : group->second.animations)
            animations.push_back(&animation);
    }
    return animations;
}

const st_AutoAnimation* AutoAnimPathSearch::FindPathStart(const AutoAnimList& targets,
                                                          const AutoAnimList& starts)
{
    if (targets.empty() || starts.empty())
        return nullptr;
    m_distances.clear();
    BuildDistanceMap(starts, nullptr, 0.0f);
    float best = 0.0f;
    const st_AutoAnimation* pick = nullptr;
    for (const st_AutoAnimation* target : targets)
    {
        const auto found = m_distances.find(target);
        // Costs are never negative, so the divisor is at least 0.1; the test keeps it so.
        if (found == m_distances.end() || found->second.distance + 0.1f <= 0.0f)
            continue;
        const float score = 1.0f / (found->second.distance + 0.1f);
        if (score > best)
        {
            best = score;
            pick = found->second.previous;
        }
    }
    // Each step goes to an entry of a lower distance, so the walk back ends; the count bounds it anyway.
    for (size_t steps = 0; pick && steps < m_distances.size(); ++steps)
    {
        const st_AutoAnimation* previous = m_distances.at(pick).previous;
        if (!previous)
            break;
        pick = previous;
    }
    if (std::find(starts.begin(), starts.end(), pick) == starts.end())
        return nullptr;
    return pick;
}

void AutoAnimPathSearch::BuildDistanceMap(const AutoAnimList& animations, const st_AutoAnimation* previous,
                                          float distance)
{
    for (const st_AutoAnimation* animation : animations)
    {
        float length = 0.0f;
        if (!m_lengthOf(*animation, length))
        {
            if (!animation->optional)
                LOG_ERROR("AnimationPath '%s' could not not be resolved to an animation!",
                          animation->path.c_str());
            continue;
        }
        const float cost = distance + (animation->abortable ? ABORTABLE_COST : std::max(length, 0.0f));
        const auto known = m_distances.find(animation);
        if (known != m_distances.end() && known->second.distance <= cost)
            continue;
        m_distances[animation] = st_Distance{cost, previous};
        BuildDistanceMap(Animations(m_groups, animation->nextGroup), animation, cost);
    }
}
