#include "graphics/cl_BaseEffect.h"

#include "common/cl_Argument.h"
#include "common/cl_ValueSourceManager.h"

#include <tinyxml.h>

namespace
{
const char* const ACTIVE = "active";
} // namespace

cl_BaseEffect::cl_BaseEffect(const std::string& type, const std::string& id, bool active)
    : m_active(active), m_id(id), m_type(type)
{
}

cl_BaseEffect::~cl_BaseEffect() = default;

void cl_BaseEffect::SetParameter(const std::string& name, float value)
{
    if (name == ACTIVE)
        SetActive(value != 0.0f);
}

void cl_BaseEffect::SetParameter(const std::string& name, const cl_Argument& value)
{
    if (name == ACTIVE)
        SetActive(value.GetBool());
}

void cl_BaseEffect::Update(float) {}

void cl_BaseEffect::OnSceneLeave(float) {}

void cl_BaseEffect::LoadFromXml(const TiXmlElement& element, Ogre::SceneManager*)
{
    for (const TiXmlElement* binding = element.FirstChildElement("floatsource"); binding;
         binding = binding->NextSiblingElement("floatsource"))
    {
        const char* source = binding->GetText();
        const char* target = binding->Attribute("target");
        BindFloatSource(target ? target : "", std::string(source ? source : ""));
    }
}

void cl_BaseEffect::BindFloatSource(const std::string& target, const std::string& sourceName)
{
    const cl_ValueSourceManager* sources = cl_ValueSourceManager::GetInstance();
    BindFloatSource(target, sources ? sources->GetFloatSource(sourceName) : nullptr);
}

void cl_BaseEffect::BindFloatSource(const std::string& target, cl_FloatSource* source)
{
    m_floatSources[target] = source;
}

void cl_BaseEffect::SetActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    SetEnabled(active);
}
