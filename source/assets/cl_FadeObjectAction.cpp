#include "assets/cl_FadeObjectAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "common/XmlNumbers.h"
#include "graphics/cl_SceneObject.h"

#include <tinyxml.h>

cl_FadeObjectAction::cl_FadeObjectAction(const TiXmlElement* element) : cl_AlphaFadeAction(element)
{
    if (!element)
        return;
    m_object = AttributeOrEmpty(*element, "object");
    m_subMesh = AttributeOrEmpty(*element, "submesh");
    m_subEntity = IntegerAttribute(*element, "subEntity", 0);
    m_pass = IntegerAttribute(*element, "pass", 0);
    m_textureUnit = IntegerAttribute(*element, "textureUnit", 0);
}

bool cl_FadeObjectAction::FindTarget()
{
    if (cl_SceneObject::ResolveByName(m_object))
        return true;
    LOG_ERROR("unable to fade object with name %s. Object was not found!", m_object.c_str());
    return false;
}

void cl_FadeObjectAction::ApplyAlpha(float alpha)
{
    // Found anew each step: the object may leave the scene while it fades.
    if (cl_SceneObject* object = cl_SceneObject::ResolveByName(m_object))
        object->SetTransparency(m_subMesh, static_cast<unsigned int>(m_subEntity),
                                static_cast<unsigned int>(m_pass), static_cast<unsigned int>(m_textureUnit),
                                alpha);
}

void cl_FadeObjectAction::WriteTarget(TiXmlElement& element) const
{
    element.SetAttribute("object", m_object);
    element.SetAttribute("submesh", m_subMesh);
    element.SetAttribute("subEntity", m_subEntity);
    element.SetAttribute("pass", m_pass);
    element.SetAttribute("textureUnit", m_textureUnit);
}
