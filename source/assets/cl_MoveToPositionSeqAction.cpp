#include "assets/cl_MoveToPositionSeqAction.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Scene.h"

#include <tinyxml.h>

cl_MoveToPositionSeqAction::cl_MoveToPositionSeqAction(const TiXmlElement* element)
    : cl_BaseMoveToSeqAction(element)
{
    if (!element)
        return;
    m_locationRef = AttributeOrEmpty(*element, "locationref");
    if (AttributeOrEmpty(*element, "exactrot") == "false")
        m_rotationTolerance = 360.0f;
    m_rotationTolerance = NumberAttribute(*element, "rottol", m_rotationTolerance);
    if (AttributeOrEmpty(*element, "exactpos") == "false")
        m_positionTolerance = 50.0f;
    m_positionTolerance = NumberAttribute(*element, "postol", m_positionTolerance);
}

void cl_MoveToPositionSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_BaseMoveToSeqAction::WriteXml(element);
    element.SetAttribute("locationref", m_locationRef);
    element.SetAttribute("rottol", Format("%f", m_rotationTolerance));
    element.SetAttribute("postol", Format("%f", m_positionTolerance));
}

void cl_MoveToPositionSeqAction::Start()
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    if (!scene || !scene->GetAsset())
    {
        LogFailure();
        Finish(true);
        return;
    }
    MoveTo(m_locationRef, m_positionTolerance, m_rotationTolerance);
}

void cl_MoveToPositionSeqAction::LogFailure() const
{
    const std::string id = GetId();
    LOG_ERROR("MoveToPositionAction '%s' failed to make the avatar go to '%s'!", id.c_str(),
              m_locationRef.c_str());
}
