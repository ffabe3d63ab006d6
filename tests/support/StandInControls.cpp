#include "support/StandInControls.h"

#include "graphics/cl_ControlledPuppet.h"

bool StandInControl::OnUpdate(float dt)
{
    if (!IsActive())
    {
        if (m_wants && IsEnabled())
            RequestActivation(m_priority, m_mask);
        return true;
    }
    m_activeSteps.push_back(dt);
    if (m_finished)
    {
        m_wants = false;
        m_finished = false;
        return false;
    }
    return cl_PuppetControl::OnUpdate(dt);
}

void StandInControl::OnActivated(const st_ActivationRequest&)
{
    ++m_activations;
}

void StandInControl::OnAttached(cl_ControlledPuppet& puppet)
{
    m_attachedTo = &puppet;
}

void RecordingControlListener::OnControlEvent(cl_PuppetControl* control, int code)
{
    const cl_ControlledPuppet* puppet = control->GetPuppet();
    m_events.push_back((puppet ? puppet->GetControlName(control) : std::string("?")) + " " +
                       std::to_string(code));
}
