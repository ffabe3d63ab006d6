#include "graphics/cl_PanShotGenerator.h"

#include "common/XmlNumbers.h"
#include "common/cl_GameTime.h"
#include "graphics/cl_Camera.h"

cl_PanShotGenerator::cl_PanShotGenerator(const TiXmlElement& element)
    : m_targetShot(TextAttribute(element, "shot", "")), m_speed(NumberAttribute(element, "speed", 1.0f)),
      m_frames(cl_GameTime::GetInstance(), this, "default", 0)
{
}

void cl_PanShotGenerator::Update(float dt)
{
    cl_Camera* camera = cl_Camera::GetInstance();
    if (!camera || !camera->IsRunning())
    {
        m_started = false;
        return;
    }
    if (!m_started)
    {
        m_panShot = camera->GetShot(m_targetShot);
        m_started = true;
    }
    const float step = m_speed * dt;
    const cl_Shot target = camera->GetShot(m_targetShot);
    const float angle = camera->AngleOnBackdrop(target, m_panShot);
    if (angle <= 0.0f || step >= angle)
    {
        m_panShot = target;
        return;
    }
    const float k = step / angle;
    m_panShot.position += (target.position - m_panShot.position) * k;
    m_panShot.zoom += (target.zoom - m_panShot.zoom) * k;
}

cl_Shot cl_PanShotGenerator::GenerateShot()
{
    if (!m_started)
    {
        cl_Camera* camera = cl_Camera::GetInstance();
        m_panShot = camera ? camera->GetShot(m_targetShot) : cl_Shot();
    }
    return m_panShot;
}
