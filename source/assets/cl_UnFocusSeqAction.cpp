#include "assets/cl_UnFocusSeqAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Character.h"

#include <tinyxml.h>

cl_UnFocusSeqAction::cl_UnFocusSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (element)
        m_charRef = AttributeOrEmpty(*element, "charref");
}

void cl_UnFocusSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
}

void cl_UnFocusSeqAction::Start()
{
    NotifyStarted();
    if (cl_Character* character = FindCharacter(m_charRef))
        character->StopFocus();
    else
    {
        const std::string id = GetId();
        LOG_ERROR("UnFocusAction '%s' failed to unfocus '%s'!", id.c_str(), m_charRef.c_str());
    }
    Finish(true);
}
