#include "assets/cl_PlaceAtAnimoAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_SceneObject.h"

#include <tinyxml.h>

cl_PlaceAtAnimoAction::cl_PlaceAtAnimoAction(const TiXmlElement* element) : cl_SeqAction(element)
{
    if (!element)
        return;
    m_charRef = AttributeOrEmpty(*element, "charref");
    m_animation = AttributeOrEmpty(*element, "animationname");
}

void cl_PlaceAtAnimoAction::WriteXml(TiXmlElement& element) const
{
    cl_SeqAction::WriteXml(element);
    element.SetAttribute("charref", m_charRef);
    if (!m_animation.empty())
        element.SetAttribute("animationname", m_animation);
}

void cl_PlaceAtAnimoAction::Start()
{
    NotifyStarted();
    cl_SceneObject* object = cl_SceneObject::ResolveByName(m_charRef);
    Ogre::SceneNode* origin = object ? object->GetOriginNode() : nullptr;
    if (origin && object->GetPuppet())
    {
        object->GetPuppet()->ApplyAnimOriginToSceneNode(origin, m_animation);
        object->SetLocation(origin);
        object->SetActive(true);
    }
    else
    {
        const std::string id = GetId();
        LOG_ERROR("PlaceAtAnimoAction '%s' failed to place '%s' at '%s'!", id.c_str(), m_charRef.c_str(),
                  m_animation.c_str());
    }
    Finish(true);
}
