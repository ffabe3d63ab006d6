#include "assets/cl_TimelineActionTrigger.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <tinyxml.h>

cl_TimelineActionTrigger::cl_TimelineActionTrigger(const std::string& name, uint32_t mode, float delay)
    : cl_BaseActionTrigger(name), m_mode(mode), m_delay(delay)
{
}

void cl_TimelineActionTrigger::OnStarted(cl_SeqAction*)
{
    m_started = true;
    FireOn(ON_START);
}

void cl_TimelineActionTrigger::OnDone(cl_SeqAction* action, bool)
{
    OnEnd(action, "OnDone", ON_DONE);
}

void cl_TimelineActionTrigger::OnAborted(cl_SeqAction* action, bool)
{
    OnEnd(action, "OnAborted", ON_ABORTED);
}

void cl_TimelineActionTrigger::Update(float dt)
{
    if (!(m_mode & DELAYED) || !m_started || IsFired())
        return;
    m_elapsed += dt;
    if (m_elapsed >= m_delay)
        Fire();
}

void cl_TimelineActionTrigger::Reset()
{
    cl_BaseActionTrigger::Reset();
    m_elapsed = 0.0f;
    m_started = false;
}

bool cl_TimelineActionTrigger::IsPending() const
{
    return m_started && !IsFired();
}

void cl_TimelineActionTrigger::WriteXml(TiXmlElement& element) const
{
    cl_BaseActionTrigger::WriteXml(element);
    if (m_mode & ON_START)
        element.SetAttribute("type", "OnStart");
    else if (m_mode & DELAYED)
    {
        element.SetAttribute("type", "Delayed");
        element.SetAttribute("delay", Format("%f", m_delay));
    }
    else if (m_mode & ON_DONE)
        element.SetAttribute("type", "OnDone");
    else
        element.SetAttribute("type", "");
}

void cl_TimelineActionTrigger::OnEnd(cl_SeqAction* action, const char* notification, uint32_t bit)
{
    if (!m_started)
    {
        LOG_WARNING("The ActionTrigger '%s' has been notified '%s' before it has been notified 'OnStarted'!",
                    GetName().c_str(), notification);
        OnStarted(action);
    }
    FireOn(bit);
}

void cl_TimelineActionTrigger::FireOn(uint32_t bit)
{
    if ((m_mode & bit) && !IsFired())
        Fire();
}
