#include "assets/cl_BaseActionTrigger.h"

#include "assets/IActionTriggerListener.h"
#include "assets/cl_SeqAction.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

#include <algorithm>

cl_BaseActionTrigger::cl_BaseActionTrigger(const std::string& name) : m_name(name) {}

cl_BaseActionTrigger::~cl_BaseActionTrigger() = default;

void cl_BaseActionTrigger::OnActivated(cl_SeqAction*) {}

void cl_BaseActionTrigger::OnStarted(cl_SeqAction*) {}

void cl_BaseActionTrigger::OnDone(cl_SeqAction*, bool) {}

void cl_BaseActionTrigger::OnAborted(cl_SeqAction*, bool) {}

void cl_BaseActionTrigger::Update(float) {}

void cl_BaseActionTrigger::Reset()
{
    m_fired = false;
}

bool cl_BaseActionTrigger::IsPending() const
{
    return false;
}

void cl_BaseActionTrigger::WriteXml(TiXmlElement& element) const
{
    // The name goes back too, so that a written sequence warns as the one read did.
    if (!m_name.empty())
        element.SetAttribute("id", m_name);
    for (const cl_SeqAction* input : m_inputs)
        AppendChild(element, "input")->SetAttribute("actionid", input->GetId());
    for (const IActionTriggerListener* output : m_outputs)
        AppendChild(element, "output")->SetAttribute("listenerid", output->GetId());
}

void cl_BaseActionTrigger::AddInput(cl_SeqAction* action)
{
    m_inputs.push_back(action);
    action->AddListener(this);
}

bool cl_BaseActionTrigger::HasOutput(const IActionTriggerListener& listener) const
{
    return std::find(m_outputs.begin(), m_outputs.end(), &listener) != m_outputs.end();
}

void cl_BaseActionTrigger::Fire()
{
    m_fired = true;
    for (IActionTriggerListener* output : m_outputs)
        output->OnTriggered(this);
}

void cl_BaseActionTrigger::Retract()
{
    m_fired = false;
    for (IActionTriggerListener* output : m_outputs)
        output->OnUntriggered(this);
}
