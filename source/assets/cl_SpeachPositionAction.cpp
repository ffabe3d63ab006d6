#include "assets/cl_SpeachPositionAction.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"

#include <tinyxml.h>

cl_SpeachPositionAction::cl_SpeachPositionAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_charRef = TextAttribute(*element, "charref", m_charRef);
    m_offsetType = AttributeOrEmpty(*element, "offsettype");
    m_offsetX = NumberAttribute(*element, "offsetX", m_offsetX);
    m_offsetY = NumberAttribute(*element, "offsetY", m_offsetY);
}

void cl_SpeachPositionAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    element.SetAttribute("offsettype", m_offsetType);
    element.SetAttribute("offsetX", Format("%f", m_offsetX));
    element.SetAttribute("offsetY", Format("%f", m_offsetY));
}

void cl_SpeachPositionAction::Start()
{
    NotifyStarted();
    if (cl_Character* character = FindCharacter(m_charRef))
    {
        int mode = character->GetSpeechPositionMode();
        if (m_offsetType == "relative")
            mode = 1;
        else if (m_offsetType == "absolute")
            mode = 2;
        else
        {
            const std::string id = GetId();
            LOG_WARNING(
                "SpeachPositionAction '%s' keeps the speech position mode of '%s': unknown offsettype "
                "'%s'.",
                id.c_str(), m_charRef.c_str(), m_offsetType.c_str());
        }
        character->SetSpeechPosition(mode, m_offsetX, m_offsetY);
    }
    Finish(true);
}
