#include "assets/cl_CameraControlAction.h"

#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"

#include <tinyxml.h>

cl_CameraControlAction::cl_CameraControlAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_shot1 = AttributeOrEmpty(*element, "shot1");
    m_shot2 = AttributeOrEmpty(*element, "shot2");
    m_duration = NumberAttribute(*element, "duration", m_duration);
    m_focusTween = TextAttribute(*element, "focustween", m_focusTween);
    m_zoomTween = TextAttribute(*element, "zoomtween", m_zoomTween);
    m_rotationTween = TextAttribute(*element, "rotationtween", m_rotationTween);
    m_skippable = IsTrueAttribute(*element, "skip");
}

void cl_CameraControlAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("shot1", m_shot1);
    element.SetAttribute("shot2", m_shot2);
    element.SetAttribute("duration", Format("%f", m_duration));
    element.SetAttribute("focustween", m_focusTween);
    element.SetAttribute("zoomtween", m_zoomTween);
    element.SetAttribute("rotationtween", m_rotationTween);
    element.SetAttribute("skip", m_skippable ? "true" : "false");
}

void cl_CameraControlAction::Start()
{
    NotifyStarted();
    m_elapsed = 0.0f;
    m_moving = false;
    cl_Camera* camera = cl_Camera::GetInstance();
    if (m_shot1.empty() || m_shot2.empty() || !camera)
    {
        Finish(true);
        return;
    }
    if (m_duration <= 0.0f)
    {
        ActivateTarget();
        Finish(true);
        return;
    }
    m_focusCurve = GetEasingFunction(m_focusTween);
    m_zoomCurve = GetEasingFunction(m_zoomTween);
    m_rotationCurve = GetEasingFunction(m_rotationTween);
    camera->SetRunning(false);
    m_from = camera->GetShot(m_shot1);
    camera->ApplyShot(m_from);
    m_moving = true;
}

void cl_CameraControlAction::Update(float dt)
{
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!m_moving || !camera)
        return;
    m_elapsed += dt;
    if (m_elapsed >= m_duration)
    {
        m_moving = false;
        ActivateTarget();
        Finish(true);
        return;
    }
    m_to = camera->GetShot(m_shot2);
    const float rotation = m_rotationCurve(m_elapsed, 0.0f, 1.0f, m_duration);
    const float zoom = m_zoomCurve(m_elapsed, 0.0f, 1.0f, m_duration);
    const float position = m_focusCurve(m_elapsed, 0.0f, 1.0f, m_duration);
    camera->ApplyShot(cl_Camera::InterpolateShots(m_from, m_to, position, zoom, rotation));
}

void cl_CameraControlAction::Skip()
{
    if (!m_skippable)
        return;
    m_moving = false;
    ActivateTarget();
    FinishAborted();
}

void cl_CameraControlAction::ActivateTarget() const
{
    if (cl_Camera* camera = cl_Camera::GetInstance())
        camera->ActivateShot(m_shot2);
}
