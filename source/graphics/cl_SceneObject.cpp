#include "graphics/cl_SceneObject.h"

#include "gamecomponents/cl_GameComponents.h"
#include "graphics/cl_Character.h"
#include "graphics/cl_Puppet.h"

#include <map>

namespace
{
std::map<std::string, cl_SceneObject*>& Registry()
{
    static std::map<std::string, cl_SceneObject*> objects;
    return objects;
}
} // namespace

cl_SceneObject::cl_SceneObject(const std::string& name, cl_Puppet* puppet) : m_name(name), m_puppet(puppet)
{
    Registry().emplace(m_name, this);
}

cl_SceneObject::~cl_SceneObject()
{
    const auto found = Registry().find(m_name);
    if (found != Registry().end() && found->second == this)
        Registry().erase(found);
}

cl_SceneObject* cl_SceneObject::ResolveByName(const std::string& name)
{
    if (name.empty() || name == "avatar")
    {
        const cl_GameComponents* hub = cl_GameComponents::GetInstance();
        return hub ? hub->GetCurrentCharacter() : nullptr;
    }
    const auto found = Registry().find(name);
    return found == Registry().end() ? nullptr : found->second;
}

void cl_SceneObject::SetQueryFlags(uint32_t flags)
{
    if (m_puppet)
        m_puppet->SetQueryFlags(flags);
}
