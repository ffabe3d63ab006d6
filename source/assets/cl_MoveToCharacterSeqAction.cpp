#include "assets/cl_MoveToCharacterSeqAction.h"

#include "assets/cl_SceneAsset.h"
#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Scene.h"

#include <tinyxml.h>

namespace
{
const float DEFAULT_EXAMINE_DISTANCE = 280.0f;
} // namespace

cl_MoveToCharacterSeqAction::cl_MoveToCharacterSeqAction(const TiXmlElement* element)
    : cl_BaseMoveToSeqAction(element)
{
    if (element)
        m_characterRef = AttributeOrEmpty(*element, "characterref");
}

void cl_MoveToCharacterSeqAction::WriteXml(TiXmlElement& element) const
{
    cl_BaseMoveToSeqAction::WriteXml(element);
    element.SetAttribute("characterref", m_characterRef);
}

void cl_MoveToCharacterSeqAction::Start()
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    const cl_SceneAsset* asset = scene ? scene->GetAsset() : nullptr;
    const cl_Character* target = asset ? FindCharacter(m_characterRef) : nullptr;
    if (!target)
    {
        LogFailure();
        Finish(true);
        return;
    }
    const float distance =
        target->GetExamineDistance() > 0.0f ? target->GetExamineDistance() : DEFAULT_EXAMINE_DISTANCE;
    Examine(asset->FindObjectLocation(m_characterRef), m_characterRef, distance);
}

void cl_MoveToCharacterSeqAction::LogFailure() const
{
    const std::string id = GetId();
    LOG_ERROR("MoveToCharacterAction '%s' failed to make the avatar go to '%s'!", id.c_str(),
              m_characterRef.c_str());
}
