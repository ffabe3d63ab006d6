#include "common/cl_LightController.h"

#include "common/cl_FloatSource.h"
#include "common/cl_ValueSourceManager.h"

#include <OgreLight.h>

cl_LightController::cl_LightController(Ogre::Light* light) : m_light(light)
{
    if (m_light)
    {
        m_diffuse = m_light->getDiffuseColour();
        m_specular = m_light->getSpecularColour();
    }
}

cl_LightController::~cl_LightController()
{
    if (m_source)
        m_source->RemoveListener(this);
}

void cl_LightController::SetFloatSource(const std::string& name)
{
    if (m_source)
        m_source->RemoveListener(this);
    const cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    m_source = sources ? sources->GetFloatSource(name) : nullptr;
    if (m_source)
    {
        m_intensity = m_source->GetValue();
        m_source->AddListener(this);
    }
}

void cl_LightController::OnValueChanged(cl_FloatSource* source, float, float newValue)
{
    if (source == m_source)
        m_intensity = newValue;
    if (m_light)
    {
        m_light->setDiffuseColour(m_diffuse * m_intensity);
        m_light->setSpecularColour(m_specular * m_intensity);
    }
}

void cl_LightController::OnSourceDestroyed(cl_FloatSource* source)
{
    if (source == m_source)
        m_source = nullptr;
}
