#include "assets/cl_WaitAction.h"

#include "common/StringHelpers.h"

#include <tinyxml.h>

cl_WaitAction::cl_WaitAction(const TiXmlElement* element)
    : cl_SeqAction(element), m_waitCondition(TextOf(element))
{
    double duration = 0.0;
    if (element && element->QueryDoubleAttribute("duration", &duration) == TIXML_SUCCESS)
        m_duration = static_cast<float>(duration);
}

void cl_WaitAction::Update(float dt)
{
    if (IsDone())
        return;
    m_remaining -= dt;
    FinishWhenDue();
}

void cl_WaitAction::Skip() {}

std::string cl_WaitAction::GetTypeName() const
{
    return "WaitAction";
}

void cl_WaitAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("duration", Format("%f", m_duration));
    if (!m_waitCondition.empty())
        element.LinkEndChild(new TiXmlText(m_waitCondition));
}

void cl_WaitAction::Start()
{
    NotifyStarted();
    m_remaining = m_duration;
    FinishWhenDue();
}

void cl_WaitAction::FinishWhenDue()
{
    if (m_remaining <= 0.0f && EvaluateCondition(m_waitCondition))
        Finish(true);
}
