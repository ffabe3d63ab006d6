#include "assets/cl_FadePatchAction.h"

#include "common/LogCall.h"
#include "common/XmlHelpers.h"
#include "graphics/cl_Camera.h"
#include "graphics/cl_Patch.h"
#include "graphics/cl_Scene.h"

#include <tinyxml.h>

cl_FadePatchAction::cl_FadePatchAction(const TiXmlElement* element) : cl_AlphaFadeAction(element)
{
    if (element)
        m_patchName = AttributeOrEmpty(*element, "patchname");
}

bool cl_FadePatchAction::FindTarget()
{
    const cl_Scene* scene = cl_Camera::CurrentScene();
    m_patch = scene ? scene->GetPatch(m_patchName) : nullptr;
    if (!m_patch)
        LOG_ERROR("unable to fade patch with name %s. Patch was not found!", m_patchName.c_str());
    return m_patch != nullptr;
}

void cl_FadePatchAction::ApplyAlpha(float alpha)
{
    m_patch->SetManualAlpha(true);
    m_patch->SetAlpha(alpha);
    m_patch->UpdateMaterial();
}

void cl_FadePatchAction::WriteTarget(TiXmlElement& element) const
{
    element.SetAttribute("patchname", m_patchName);
}
