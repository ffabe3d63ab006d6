#include "assets/cl_GoToSeqAction.h"

#include "assets/cl_SequenceAsset.h"
#include "common/XmlHelpers.h"

#include <tinyxml.h>

cl_GoToSeqAction::cl_GoToSeqAction(const TiXmlElement* element)
    : cl_SeqAction(element),
      m_targetMarker(element ? AttributeOrEmpty(*element, "targetmarker") : std::string())
{
}

std::string cl_GoToSeqAction::GetTypeName() const
{
    return "GoToAction";
}

void cl_GoToSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("targetmarker", m_targetMarker);
}

void cl_GoToSeqAction::Start()
{
    NotifyStarted();
    if (cl_SequenceAsset* sequence = GetSequence())
        sequence->GoToMarker(m_targetMarker);
    Finish(true);
}
