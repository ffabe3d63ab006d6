#include "assets/cl_SuccessActionTrigger.h"

#include <tinyxml.h>

cl_SuccessActionTrigger::cl_SuccessActionTrigger(const std::string& name, bool onSuccess)
    : cl_BaseActionTrigger(name), m_onSuccess(onSuccess)
{
}

void cl_SuccessActionTrigger::OnDone(cl_SeqAction*, bool success)
{
    OnOutcome(success);
}

void cl_SuccessActionTrigger::OnAborted(cl_SeqAction*, bool success)
{
    OnOutcome(success);
}

void cl_SuccessActionTrigger::WriteXml(TiXmlElement& element) const
{
    cl_BaseActionTrigger::WriteXml(element);
    element.SetAttribute("type", m_onSuccess ? "OnSuccess" : "OnFailed");
}

void cl_SuccessActionTrigger::OnOutcome(bool success)
{
    if (success == m_onSuccess)
    {
        if (!IsFired())
            Fire();
    }
    else if (IsFired())
        Retract();
}
