#include "graphics/cl_AutoAnimationControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/MissingClipWarning.h"
#include "graphics/WeightedChoice.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <tinyxml.h>

#include <algorithm>

namespace
{
const float RUNNING = -1.0f;
const float AT_END = -2.0f;
} // namespace

bool cl_AutoAnimationControl::FromXml(const TiXmlElement* element)
{
    m_groups.clear();
    if (!element || element->ValueStr() != "autoanimctrl")
        return true;
    for (const TiXmlElement* group = element->FirstChildElement("group"); group;
         group = group->NextSiblingElement("group"))
    {
        const char* name = group->Attribute("name");
        if (!name)
        {
            LOG_WARNING("Skipping group missing mandatory argument!");
            continue;
        }
        st_AutoAnimGroup& entry = m_groups[name];
        LoadVisualStatesFromXml(*group, entry);
        LoadAnimationsFromXml(*group, entry);
    }
    return true;
}

void cl_AutoAnimationControl::LoadVisualStatesFromXml(const TiXmlElement& element, st_AutoAnimGroup& group)
{
    group.visualStates.clear();
    for (const TiXmlElement* state = element.FirstChildElement("visualstate"); state;
         state = state->NextSiblingElement("visualstate"))
    {
        const char* name = state->Attribute("name");
        if (!name)
        {
            LOG_WARNING("Skipping visualstate missing mandatory argument!");
            continue;
        }
        st_AutoVisualState& entry = group.visualStates[name] = st_AutoVisualState();
        if (const char* enter = state->Attribute("enter"))
            entry.enter = std::string(enter) == "true";
        if (const char* exit = state->Attribute("exit"))
            entry.exit = std::string(exit) == "true";
        if (const char* supported = state->Attribute("supported"))
            entry.supported = std::string(supported) == "true";
    }
}

void cl_AutoAnimationControl::LoadAnimationsFromXml(const TiXmlElement& element, st_AutoAnimGroup& group)
{
    group.animations.clear();
    for (const TiXmlElement* animation = element.FirstChildElement("animation"); animation;
         animation = animation->NextSiblingElement("animation"))
    {
        const char* path = animation->Attribute("path");
        const char* nextGroup = animation->Attribute("nextgroup");
        if (!path || !nextGroup)
        {
            LOG_WARNING("Skipping animation missing mandatory argument!");
            continue;
        }
        st_AutoAnimation record;
        record.path = path;
        record.nextGroup = nextGroup;
        record.frequency = IntegerAttribute(*animation, "frequency", record.frequency);
        record.minRepeat = IntegerAttribute(*animation, "minrepeat", record.minRepeat);
        record.maxRepeat = IntegerAttribute(*animation, "maxrepeat", record.maxRepeat);
        record.abortable = IsTrueAttribute(*animation, "abortable");
        record.optional = IsTrueAttribute(*animation, "optional");
        if (!record.optional)
            WarnIfNoClip(*this, record.path);
        const std::string fixedTime = AttributeOrEmpty(*animation, "fixedtime");
        if (fixedTime == "end" || fixedTime == "max")
            record.fixedTime = AT_END;
        else
            ReadNumber(fixedTime, record.fixedTime);
        group.animations.push_back(record);
    }
}

void cl_AutoAnimationControl::SetEnabled(bool enabled)
{
    const bool changed = enabled != IsEnabled();
    cl_PuppetControl::SetEnabled(enabled);
    if (!changed || !IsActive())
        return;
    if (m_currentAnimation)
    {
        SetWeight(m_currentAnimation, 0.0f, -1.0f);
        m_currentAnimation = nullptr;
    }
    if (enabled)
        StartEntryAnimation();
}

void cl_AutoAnimationControl::Reset()
{
    if (IsActive() && m_currentAnimation)
    {
        SetWeight(m_currentAnimation, 0.0f, 0.0f);
        m_currentAnimation = nullptr;
    }
    cl_PuppetControl::Reset();
}

bool cl_AutoAnimationControl::OnUpdate(float)
{
    if (!IsActive())
    {
        if (GetEntryCandidates(m_entries) && IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (!IsEnabled() || !m_currentAnimation)
        return false;
    if (IsDeactivationRequested() && CanExit())
        return false;
    // An abortable animation is cut off once its next group no longer supports the owner's state.
    if (!HasEnded() && (!m_current.abortable || LeadsInto(m_current, Relation::SUPPORTED)))
        return true;
    if (ChooseFollowUp())
        return true;
    if (!CanExit())
        ExitLog();
    return false;
}

void cl_AutoAnimationControl::OnDeactivated()
{
    m_currentAnimation = nullptr;
}

void cl_AutoAnimationControl::OnActivated(const st_ActivationRequest&)
{
    StartEntryAnimation();
}

void cl_AutoAnimationControl::CollectVisualStates(std::set<std::string>& states) const
{
    for (const auto& group : m_groups)
    {
        for (const auto& state : group.second.visualStates)
            states.insert(state.first);
    }
}

bool cl_AutoAnimationControl::GroupHas(const std::string& name, Relation relation) const
{
    const auto group = m_groups.find(name);
    if (group == m_groups.end())
        return false;
    const auto state = group->second.visualStates.find(GetVisualStateName());
    if (state == group->second.visualStates.end())
        return false;
    switch (relation)
    {
    case Relation::ENTER:
        return state->second.enter;
    case Relation::SUPPORTED:
        return state->second.supported;
    case Relation::EXIT:
        return state->second.exit;
    }
    return false;
}

AutoAnimList cl_AutoAnimationControl::AllLeadingInto(Relation relation, bool skipNextGroup) const
{
    AutoAnimList animations;
    for (const auto& group : m_groups)
    {
        for (const st_AutoAnimation& animation : group.second.animations)
        {
            if ((!skipNextGroup || animation.nextGroup != m_current.nextGroup) &&
                LeadsInto(animation, relation))
                animations.push_back(&animation);
        }
    }
    return animations;
}

AutoAnimList cl_AutoAnimationControl::FollowUps() const
{
    return AutoAnimPathSearch::Animations(m_groups, m_current.nextGroup);
}

AutoAnimList cl_AutoAnimationControl::FollowUpsLeadingInto(Relation relation, bool skipNextGroup) const
{
    AutoAnimList animations = FollowUps();
    animations.erase(std::remove_if(animations.begin(), animations.end(),
                                    [this, relation, skipNextGroup](const st_AutoAnimation* animation)
                                    {
                                        return (skipNextGroup &&
                                                animation->nextGroup == m_current.nextGroup) ||
                                               !LeadsInto(*animation, relation);
                                    }),
                     animations.end());
    return animations;
}

const st_AutoAnimation* cl_AutoAnimationControl::FindPathStart(const AutoAnimList& targets,
                                                               const AutoAnimList& starts)
{
    AutoAnimPathSearch search(m_groups,
                              [this](const st_AutoAnimation& animation, float& length)
                              {
                                  const cl_PuppetMainAnimation* clip = GetMainAnimation(animation.path);
                                  if (clip)
                                      length = clip->GetLength();
                                  return clip != nullptr;
                              });
    return search.FindPathStart(targets, starts);
}

const st_AutoAnimation* cl_AutoAnimationControl::GetRandomAnimation(const AutoAnimList& candidates)
{
    if (candidates.empty())
        return nullptr;
    int sum = 0;
    for (const st_AutoAnimation* candidate : candidates)
        sum += candidate->frequency;
    if (sum <= 0)
    {
        LOG_ERROR("Chosing a random animation failed - sum of probabilities is zero!");
        return nullptr;
    }
    const auto chosen =
        ChooseWeighted(candidates.begin(), candidates.end(), sum,
                       [](const st_AutoAnimation* candidate) { return candidate->frequency; });
    return chosen != candidates.end() ? *chosen : nullptr;
}

void cl_AutoAnimationControl::ApplyRepeatLimits(AutoAnimList& candidates) const
{
    if (m_current.minRepeat > 0)
        candidates.assign(1, &m_current);
    if (m_current.maxRepeat == 0)
        candidates.erase(std::remove_if(candidates.begin(), candidates.end(),
                                        [this](const st_AutoAnimation* candidate)
                                        { return candidate->path == m_current.path; }),
                         candidates.end());
}

bool cl_AutoAnimationControl::StartAnimation(const st_AutoAnimation& record)
{
    ReleaseWeights();
    m_current = record;
    m_currentAnimation = GetMainAnimation(m_current.path);
    if (!m_currentAnimation)
    {
        LOG_ERROR("Starting the chosen animation '%s' failed!", m_current.path.c_str());
        return false;
    }
    // The counters count down in the playing copy only.
    if (m_current.minRepeat > 0)
        --m_current.minRepeat;
    if (m_current.maxRepeat > 0)
        --m_current.maxRepeat;
    SetWeight(m_currentAnimation, 1.0f, -1.0f);
    if (!CheckActive())
        return true;
    if (m_current.fixedTime == RUNNING)
    {
        SetTime(m_currentAnimation, 0.0f);
        SetRunning(m_currentAnimation, true);
        return true;
    }
    SetTime(m_currentAnimation,
            m_current.fixedTime == AT_END ? m_currentAnimation->GetLength() : m_current.fixedTime);
    SetRunning(m_currentAnimation, false);
    return true;
}

bool cl_AutoAnimationControl::GetEntryCandidates(AutoAnimList& result)
{
    result.clear();
    m_starts.clear();
    for (const auto& group : m_groups)
    {
        if (!GroupHas(group.first, Relation::ENTER))
            continue;
        for (const st_AutoAnimation& animation : group.second.animations)
        {
            m_starts.push_back(&animation);
            if (LeadsInto(animation, Relation::SUPPORTED))
                result.push_back(&animation);
        }
    }
    if (!result.empty())
        return true;
    if (const st_AutoAnimation* start = FindPathStart(AllLeadingInto(Relation::SUPPORTED, false), m_starts))
    {
        result.push_back(start);
        return true;
    }
    return false;
}

bool cl_AutoAnimationControl::StartEntryAnimation()
{
    return GetEntryCandidates(m_entries) && StartIfChosen(GetRandomAnimation(m_entries));
}

bool cl_AutoAnimationControl::StartIfChosen(const st_AutoAnimation* record)
{
    return record && StartAnimation(*record);
}

bool cl_AutoAnimationControl::ChooseFollowUp()
{
    if (!IsDeactivationRequested())
    {
        AutoAnimList candidates = FollowUpsLeadingInto(Relation::SUPPORTED, false);
        ApplyRepeatLimits(candidates);
        if (StartIfChosen(GetRandomAnimation(candidates)) ||
            StartIfChosen(FindPathStart(AllLeadingInto(Relation::SUPPORTED, false), FollowUps())))
            return true;
    }
    return StartIfChosen(GetRandomAnimation(FollowUpsLeadingInto(Relation::EXIT, true))) ||
           StartIfChosen(FindPathStart(AllLeadingInto(Relation::EXIT, true), FollowUps()));
}

bool cl_AutoAnimationControl::HasEnded() const
{
    return !m_currentAnimation || m_currentAnimation->IsFinished();
}

bool cl_AutoAnimationControl::CanExit() const
{
    return (HasEnded() || m_current.abortable) && LeadsInto(m_current, Relation::EXIT);
}

void cl_AutoAnimationControl::ExitLog() const
{
    const int level = cl_Logger::LEVEL_WARNING | cl_Logger::TOPIC_PUPPETCONTROL;
    if (IsDeactivationRequested())
        LOG_LEVEL(
            level,
            "Deactivation requested but no follow up to '%s' found that leads to an exit supporting '%s'!",
            m_current.path.c_str(), GetVisualStateName().c_str());
    else
        LOG_LEVEL(level, "No follow up to '%s' found that leads to an exit or a group supporting '%s'!",
                  m_current.path.c_str(), GetVisualStateName().c_str());
}
