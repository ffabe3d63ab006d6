#include "graphics/cl_PuppetAnimation.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_PuppetAnimWeight.h"

#include <OgreAnimationState.h>
#include <OgreEntity.h>
#include <tinyxml.h>

#include <cmath>

cl_PuppetAnimation::cl_PuppetAnimation(cl_Puppet& puppet, cl_PuppetAnimWeight& owner)
    : m_puppet(puppet), m_owner(owner)
{
}

bool cl_PuppetAnimation::FromXml(const TiXmlElement& element)
{
    const char* name = element.Attribute("name");
    if (!name)
        return false;
    SetAnimation(name);
    SetLoop(IsTrueAttribute(element, "loop"));
    return true;
}

void cl_PuppetAnimation::SaveState(TiXmlElement& element) const
{
    if (!m_state)
        return;
    element.SetAttribute("name", m_state->getAnimationName());
    element.SetAttribute("duration", Format("%f", m_state->getLength()));
    if (m_loop)
        element.SetAttribute("looping", "true");
    if (m_enabled)
        element.SetAttribute("time", Format("%f", m_state->getTimePosition()));
}

void cl_PuppetAnimation::Apply(float dt)
{
    m_wrapped = false;
    if (!m_state)
    {
        m_weightChanged = false;
        return;
    }
    const float weight = m_owner.GetNormalizedWeight();
    if (!(weight > 0.0f))
    {
        Disable();
        m_weightChanged = false;
        return;
    }
    Enable();
    m_state->setWeight(weight);
    if (dt > 0.0f)
    {
        if (m_loop)
            AdvanceLooped(dt);
        else
            Advance(dt);
    }
    m_weightChanged = false;
}

void cl_PuppetAnimation::Advance(float dt)
{
    const float from = m_state->getTimePosition();
    m_state->addTime(dt);
    OnTimeAdvanced(from, m_state->getTimePosition());
}

void cl_PuppetAnimation::SetTimePosition(float time)
{
    if (m_state)
        m_state->setTimePosition(time);
}

void cl_PuppetAnimation::OnTimeAdvanced(float, float) {}

void cl_PuppetAnimation::Enable()
{
    if (m_enabled)
        return;
    m_wrapped = false;
    m_holdAtEnd = false;
    if (m_state)
        m_state->setEnabled(true);
    const cl_PuppetAnimWeight* parent = m_owner.GetParent();
    const float start = parent && parent->IsSync() ? parent->GetSyncTime() : m_owner.GetSyncTime();
    if (start != -1.0f)
        SetTimePosition(start);
    m_enabled = true;
}

void cl_PuppetAnimation::Disable()
{
    if (!m_enabled)
        return;
    m_wrapped = false;
    if (m_state)
        m_state->setEnabled(false);
    m_enabled = false;
}

void cl_PuppetAnimation::AdvanceLooped(float dt)
{
    if (!m_state)
        return;
    const float length = m_state->getLength();
    const float over = m_state->getTimePosition() + dt - length;
    if (over < 0.0f)
    {
        Advance(dt);
        return;
    }
    const float from = m_state->getTimePosition();
    m_state->setTimePosition(length);
    OnTimeAdvanced(from, length);
    if (m_holdAtEnd)
        return;
    m_wrapped = true;
    SetTimePosition(0.0f);
    // A step longer than the clip wraps once: the clock goes on from the start, held at the end.
    m_state->setTimePosition(over);
    OnTimeAdvanced(0.0f, m_state->getTimePosition());
}

float cl_PuppetAnimation::GetLength() const
{
    return m_state ? m_state->getLength() : -1.0f;
}

float cl_PuppetAnimation::GetTimePosition() const
{
    return m_state ? m_state->getTimePosition() : 0.0f;
}

float cl_PuppetAnimation::GetRelativeTime() const
{
    return m_state ? m_state->getTimePosition() / m_state->getLength() : -1.0f;
}

bool cl_PuppetAnimation::IsFinished() const
{
    const float target = m_owner.IsFading() ? m_owner.GetFadeTarget() : m_owner.GetValue();
    if (m_owner.GetValue() == 0.0f && target == 0.0f)
        return true;
    if (m_owner.GetTimeScale() == 0.0f)
        return false;
    return !m_state || m_state->hasEnded();
}

void cl_PuppetAnimation::TakeState(Ogre::Entity* entity, const std::string& name, const char* kind)
{
    m_state = nullptr;
    if (entity && entity->hasAnimationState(name))
    {
        m_state = entity->getAnimationState(name);
        m_state->setLoop(false);
        SetTimePosition(0.0f);
        return;
    }
    LOG_WARNING("Could not retrieve %s animation '%s'!", kind, name.c_str());
}
