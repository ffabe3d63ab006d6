#include "assets/cl_EmotionSeqAction.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_FaceControl.h"

#include <tinyxml.h>

cl_EmotionSeqAction::cl_EmotionSeqAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_charRef = AttributeOrEmpty(*element, "charref");
    m_emotion = AttributeOrEmpty(*element, "emotion");
    m_temporary = IsTrueAttribute(*element, "temp");
    m_fadeIn = NumberAttribute(*element, "fadein", m_fadeIn);
    m_fadeOut = NumberAttribute(*element, "fadeout", m_fadeOut);
    m_duration = NumberAttribute(*element, "duration", m_duration);
    m_strength = NumberAttribute(*element, "strength", m_strength);
}

void cl_EmotionSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    element.SetAttribute("emotion", m_emotion);
    element.SetAttribute("temp", m_temporary ? "true" : "false");
    element.SetAttribute("fadein", Format("%f", m_fadeIn));
    element.SetAttribute("fadeout", Format("%f", m_fadeOut));
    element.SetAttribute("duration", Format("%f", m_duration));
    element.SetAttribute("strength", Format("%f", m_strength));
}

void cl_EmotionSeqAction::Start()
{
    NotifyStarted();
    const cl_Character* character = FindCharacter(m_charRef);
    cl_FaceControl* face = character ? character->GetFaceControl() : nullptr;
    if (!face)
    {
        const std::string id = GetId();
        LOG_ERROR("EmotionAction '%s' failed to make '%s' seem '%s'!", id.c_str(), m_charRef.c_str(),
                  m_emotion.c_str());
    }
    else if (m_temporary)
        face->ActivateEmotionTemporary(m_emotion, m_duration, m_strength, m_fadeIn, m_fadeOut);
    else
        face->ActivateEmotionTemporary(m_emotion, -1.0f, m_strength, m_fadeIn, 0.0f);
    Finish(true);
}
