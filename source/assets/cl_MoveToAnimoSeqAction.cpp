#include "assets/cl_MoveToAnimoSeqAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Character.h"

#include <tinyxml.h>

cl_MoveToAnimoSeqAction::cl_MoveToAnimoSeqAction(const TiXmlElement* element)
    : cl_NonInstantSeqAction(element)
{
    SetKeepsInterruptible(true);
    if (!element)
        return;
    m_movingChar = AttributeOrEmpty(*element, "movingchar");
    m_animation = AttributeOrEmpty(*element, "animationname");
    m_exactMatch = AttributeOrEmpty(*element, "exactMatch") != "false";
}

void cl_MoveToAnimoSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_NonInstantSeqAction::WriteXml(element);
    if (!m_movingChar.empty() && m_movingChar != "avatar")
        element.SetAttribute("movingchar", m_movingChar);
    if (!m_animation.empty())
        element.SetAttribute("animationname", m_animation);
    element.SetAttribute("exactMatch", m_exactMatch ? "true" : "false");
}

void cl_MoveToAnimoSeqAction::Start()
{
    if (cl_Character* character = FindCharacter(m_movingChar))
    {
        character->TurnToAnimOrigin(m_animation, m_exactMatch, this);
        return;
    }
    LogFailure();
    Finish(true);
}

void cl_MoveToAnimoSeqAction::OnDone(int result)
{
    if (IsDone())
        return;
    if (result == RESULT_FAILED)
        LogFailure();
    Finish(true);
}

void cl_MoveToAnimoSeqAction::Stop(bool)
{
    StopCharacterAction(m_movingChar);
}

void cl_MoveToAnimoSeqAction::LogFailure() const
{
    const std::string id = GetId();
    LOG_ERROR("MoveToAnimo '%s' failed to move to origin of '%s'!", id.c_str(), m_animation.c_str());
}
