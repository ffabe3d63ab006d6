#include "assets/cl_AlphaFadeAction.h"

#include "common/XmlNumbers.h"

#include <tinyxml.h>

cl_AlphaFadeAction::cl_AlphaFadeAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_startAlpha = NumberAttribute(*element, "startalpha", m_startAlpha);
    m_endAlpha = NumberAttribute(*element, "endalpha", m_endAlpha);
    m_fadeTime = NumberAttribute(*element, "fadetime", m_fadeTime);
}

void cl_AlphaFadeAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    WriteTarget(element);
    element.SetAttribute("startalpha", static_cast<int>(m_startAlpha));
    element.SetAttribute("endalpha", static_cast<int>(m_endAlpha));
    element.SetAttribute("fadetime", static_cast<int>(m_fadeTime));
}

void cl_AlphaFadeAction::Start()
{
    NotifyStarted();
    m_elapsed = 0.0f;
    m_running = FindTarget();
    if (!m_running)
    {
        Finish(true);
        return;
    }
    ApplyAlpha(m_startAlpha);
}

void cl_AlphaFadeAction::Update(float dt)
{
    if (!m_running)
        return;
    m_elapsed += dt;
    if (m_elapsed < m_fadeTime)
    {
        ApplyAlpha(m_startAlpha + (m_endAlpha - m_startAlpha) * m_elapsed / m_fadeTime);
        return;
    }
    m_running = false;
    ApplyAlpha(m_endAlpha);
    Finish(true);
}
