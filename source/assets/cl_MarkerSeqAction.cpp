#include "assets/cl_MarkerSeqAction.h"

#include "common/XmlHelpers.h"

#include <tinyxml.h>

cl_MarkerSeqAction::cl_MarkerSeqAction(const TiXmlElement* element)
    : cl_SeqAction(element), m_marker(element ? AttributeOrEmpty(*element, "marker") : std::string())
{
}

std::string cl_MarkerSeqAction::GetTypeName() const
{
    return "MarkerAction";
}

void cl_MarkerSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("marker", m_marker);
}

void cl_MarkerSeqAction::Start()
{
    NotifyStarted();
    Finish(true);
}
