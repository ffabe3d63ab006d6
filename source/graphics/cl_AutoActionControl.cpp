#include "graphics/cl_AutoActionControl.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/IPuppetControlListener.h"
#include "graphics/MissingClipWarning.h"
#include "graphics/cl_PuppetMainAnimation.h"

#include <tinyxml.h>

bool cl_AutoActionControl::FromXml(const TiXmlElement* element)
{
    m_groups.clear();
    if (!element)
        return false;
    m_automatic = AttributeOrEmpty(*element, "auto") != "false";
    m_triggerTime = NumberAttribute(*element, "triggertime", m_triggerTime);
    for (const TiXmlElement* action = element->FirstChildElement("action"); action;
         action = action->NextSiblingElement("action"))
    {
        if (AttributeOrEmpty(*action, "type") != "animation")
            continue;
        const std::string path = AttributeOrEmpty(*action, "path");
        if (path.empty())
        {
            LOG_WARNING("Skipped an action of the control '%s' without 'path'.", GetName().c_str());
            continue;
        }
        WarnIfNoClip(*this, path);
        m_groups[TextAttribute(*action, "mode", "default")].Read(path, *action);
    }
    for (auto& group : m_groups)
        group.second.Total();
    return true;
}

void cl_AutoActionControl::Reset()
{
    if (IsActive() && m_currentAnimation)
    {
        SetWeight(m_currentAnimation, 0.0f, 0.0f);
        m_currentAnimation = nullptr;
    }
    cl_PuppetControl::Reset();
    m_pending = false;
}

bool cl_AutoActionControl::OnUpdate(float dt)
{
    if (IsActive())
        return !IsDeactivationRequested() && m_currentAnimation && !m_currentAnimation->IsFinished();
    if (m_pending)
    {
        if (IsEnabled())
            RequestActivation(PRIORITY, CHANNELS);
        return true;
    }
    if (m_automatic)
    {
        m_timer += dt;
        if (m_timer > m_triggerTime)
            TriggerAction();
    }
    return true;
}

void cl_AutoActionControl::OnDeactivated()
{
    m_timer = 0.0f;
    m_pending = false;
    m_currentAnimation = nullptr;
}

void cl_AutoActionControl::OnActivated(const st_ActivationRequest&)
{
    m_pending = false;
    StartAction();
}

void cl_AutoActionControl::TriggerAction()
{
    m_timer = 0.0f;
    m_pending = false;
    const auto group = m_groups.find(GetVisualStateName());
    if (group != m_groups.end() && !group->second.entries.empty())
        m_pending = true;
}

void cl_AutoActionControl::StartAction()
{
    const auto group = m_groups.find(GetVisualStateName());
    if (group == m_groups.end() || group->second.entries.empty())
        return;
    ReleaseWeights();
    const st_AutoActionGroup& actions = group->second;
    const auto chosen = actions.totalFrequency > 0 ? actions.Choose() : actions.entries.end();
    cl_PuppetMainAnimation* animation =
        chosen != actions.entries.end() ? GetMainAnimation(chosen->first) : nullptr;
    if (!animation)
    {
        LOG_ERROR("Choosing a random action failed!");
        return;
    }
    m_currentAnimation = animation;
    if (IsCallbackPending())
        Report(IPuppetControlListener::CODE_STARTED);
    SetWeight(m_currentAnimation, 1.0f, -1.0f);
    if (CheckActive())
        SetTimeRecursive(&m_currentAnimation->GetOwner(), 0.0f);
}

void cl_AutoActionControl::CollectVisualStates(std::set<std::string>& states) const
{
    for (const auto& group : m_groups)
        states.insert(group.first);
}
