#include "assets/cl_CurtainFadeAction.h"

#include "common/StringHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_SceneManager.h"

#include <tinyxml.h>

namespace
{
cl_Curtain* Curtain()
{
    cl_SceneManager* scenes = cl_SceneManager::GetInstance();
    return scenes ? scenes->GetCurtain() : nullptr;
}
} // namespace

cl_CurtainFadeAction::cl_CurtainFadeAction(const TiXmlElement* element, bool toBlack)
    : cl_SeqAction(element), m_toBlack(toBlack)
{
    if (element)
        m_duration = NumberAttribute(*element, "duration", m_duration);
}

cl_CurtainFadeAction::~cl_CurtainFadeAction()
{
    cl_Curtain* curtain = Curtain();
    if (curtain && m_listening)
        curtain->RemoveListener(this);
}

void cl_CurtainFadeAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("duration", Format("%f", m_duration));
}

void cl_CurtainFadeAction::Start()
{
    NotifyStarted();
    cl_Curtain* curtain = Curtain();
    if (!curtain)
    {
        Finish(true);
        return;
    }
    curtain->AddListener(this);
    m_listening = true;
    if (m_toBlack)
        curtain->FadeToBlack(m_duration);
    else
        curtain->FadeFromBlack(m_duration);
}

void cl_CurtainFadeAction::NotifyFadedToBlack()
{
    if (m_toBlack)
        Reached();
}

void cl_CurtainFadeAction::NotifyFadedIn()
{
    if (!m_toBlack)
        Reached();
}

void cl_CurtainFadeAction::Reached()
{
    if (cl_Curtain* curtain = Curtain())
        curtain->RemoveListener(this);
    m_listening = false;
    Finish(true);
}

void cl_CurtainFadeAction::Skip()
{
    if (cl_Curtain* curtain = Curtain())
    {
        curtain->RemoveListener(this);
        curtain->EndFade(m_toBlack);
    }
    m_listening = false;
    if (m_toBlack)
        FinishAborted();
    else
        Finish(true);
}
