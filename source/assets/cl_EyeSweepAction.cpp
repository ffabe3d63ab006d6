#include "assets/cl_EyeSweepAction.h"

#include "common/StringHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"

#include <tinyxml.h>

cl_EyeSweepAction::cl_EyeSweepAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_charRef = TextAttribute(*element, "charref", m_charRef);
    m_angle = NumberAttribute(*element, "eyesweepangle", m_angle);
}

void cl_EyeSweepAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    element.SetAttribute("eyesweepangle", Format("%f", m_angle));
}

void cl_EyeSweepAction::Start()
{
    NotifyStarted();
    if (cl_Character* character = FindCharacter(m_charRef))
        character->SetEyeSweepAngle(m_angle);
    Finish(true);
}
