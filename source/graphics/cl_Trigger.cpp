#include "graphics/cl_Trigger.h"

#include "common/XmlHelpers.h"

#include <tinyxml.h>

void cl_Trigger::Update(float) {}

void cl_Trigger::OnActivate() {}

void cl_Trigger::OnDeactivate() {}

bool cl_Trigger::LoadFromXml(const TiXmlElement* element)
{
    if (!element)
        return true;
    if (IsTrueAttribute(*element, "triggered"))
    {
        if (m_enabled && !m_triggered)
            OnActivate();
        m_triggered = true;
    }
    else
    {
        if (m_enabled && m_triggered)
            OnDeactivate();
        m_triggered = false;
    }
    if (AttributeOrEmpty(*element, "enabled") == "false")
        m_enabled = false;
    return true;
}

void cl_Trigger::ApplyCondition(bool holds)
{
    if (!m_enabled)
        return;
    if (holds && !m_triggered)
    {
        OnActivate();
        m_triggered = true;
    }
    else if (!holds && m_triggered)
    {
        OnDeactivate();
        m_triggered = false;
    }
}

void cl_Trigger::Pulse()
{
    if (!m_enabled)
        return;
    if (!m_triggered)
        OnActivate();
    m_triggered = true;
    OnDeactivate();
    m_triggered = false;
}
