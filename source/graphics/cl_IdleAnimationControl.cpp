#include "graphics/cl_IdleAnimationControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/MissingClipWarning.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <tinyxml.h>

namespace
{
// The fixed time of "end" and "max": the animation's last frame.
const float AT_END = -2.0f;
const float RUNNING = -1.0f;

// "fixedtime": "end" or "max" hold the end, a number holds that time; anything else keeps value.
void ReadFixedTime(const std::string& text, float& value)
{
    if (text == "end" || text == "max")
        value = AT_END;
    else
        ReadNumber(text, value);
}
} // namespace

bool cl_IdleAnimationControl::FromXml(const TiXmlElement* element)
{
    m_idleSets.clear();
    m_chosenState.clear();
    if (!element)
        return false;
    for (const TiXmlElement* idle = element->FirstChildElement("idle"); idle;
         idle = idle->NextSiblingElement("idle"))
    {
        const std::string path = AttributeOrEmpty(*idle, "path");
        if (path.empty())
        {
            LOG_WARNING("Skipped an idle of the control '%s' without 'path'.", GetName().c_str());
            continue;
        }
        WarnIfNoClip(*this, path);
        std::string mode = AttributeOrEmpty(*idle, "mode");
        if (mode.empty())
            mode = "default";
        ReadFixedTime(AttributeOrEmpty(*idle, "fixedtime"), m_idleSets[mode].Read(path, *idle).fixedTime);
    }
    for (auto& set : m_idleSets)
        set.second.Total();
    return true;
}

void cl_IdleAnimationControl::Reset()
{
    if (IsActive() && m_currentIdle)
        SetWeight(m_currentIdle, 0.0f, 0.0f);
    m_currentIdle = nullptr;
    cl_PuppetControl::Reset();
    m_chosenState.clear();
}

void cl_IdleAnimationControl::OnAttached(cl_ControlledPuppet&)
{
    m_currentIdle = nullptr;
}

bool cl_IdleAnimationControl::OnUpdate(float)
{
    if (!IsActive())
    {
        if (IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (IsDeactivationRequested())
        return false;
    const bool finished = !m_currentIdle || m_currentIdle->IsFinished();
    if ((finished && !m_choiceFailed) || GetVisualStateName() != m_chosenState)
        StartRandomIdleAnimation();
    return true;
}

void cl_IdleAnimationControl::OnDeactivated()
{
    m_currentIdle = nullptr;
}

void cl_IdleAnimationControl::OnActivated(const st_ActivationRequest&)
{
    m_choiceFailed = false;
    if (!m_currentIdle)
        StartRandomIdleAnimation();
}

void cl_IdleAnimationControl::StartRandomIdleAnimation()
{
    if (m_currentIdle)
        SetWeight(m_currentIdle, 0.0f, -1.0f);
    m_chosenState = GetVisualStateName();
    const auto found = m_idleSets.find(m_chosenState);
    if (found == m_idleSets.end() || found->second.entries.empty() || found->second.totalFrequency <= 0)
    {
        LOG_ERROR("No idle animations matching visual state '%s' exist! Character in T-Pose...",
                  m_chosenState.c_str());
        m_choiceFailed = true;
        return;
    }
    m_choiceFailed = !StartFrom(found->second);
}

bool cl_IdleAnimationControl::StartFrom(const st_IdleSet& set)
{
    const auto chosen = set.Choose();
    cl_PuppetMainAnimation* previous = m_currentIdle;
    m_currentIdle = chosen != set.entries.end() ? GetMainAnimation(chosen->first) : nullptr;
    if (!m_currentIdle)
    {
        LOG_ERROR("Choosing a random idle animation failed! Character in T-Pose...");
        return false;
    }
    if (m_currentIdle != previous)
        ReleaseWeights();
    SetWeight(m_currentIdle, 1.0f, -1.0f);
    if (CheckActive())
        SetTimeRecursive(&m_currentIdle->GetOwner(), 0.0f);
    SetFallbackAnimation(m_currentIdle, ApplyFixedTime(*m_currentIdle, chosen->second.fixedTime));
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
    return true;
}

float cl_IdleAnimationControl::ApplyFixedTime(cl_PuppetMainAnimation& animation, float fixedTime)
{
    if (fixedTime == AT_END)
        fixedTime = animation.GetLength();
    else if (fixedTime < 0.0f)
    {
        SetRunning(&animation, true);
        return RUNNING;
    }
    SetTime(&animation, fixedTime);
    SetRunning(&animation, false);
    return fixedTime;
}

void cl_IdleAnimationControl::CollectVisualStates(std::set<std::string>& states) const
{
    for (const auto& set : m_idleSets)
        states.insert(set.first);
}
