#include "graphics/cl_ControlledPuppet.h"

#include "common/LogCall.h"
#include "common/MapKeys.h"
#include "graphics/cl_PuppetControl.h"

cl_ControlledPuppet::cl_ControlledPuppet(Ogre::SceneManager& sceneManager) : cl_Puppet(sceneManager) {}

cl_ControlledPuppet::~cl_ControlledPuppet() = default;

bool cl_ControlledPuppet::AddControl(const std::string& name, std::unique_ptr<cl_PuppetControl>&& control)
{
    if (m_controls.count(name))
    {
        LOG_WARNING("A PuppetControl with this name is allready registered!");
        return false;
    }
    m_controls[name] = std::move(control);
    return true;
}

cl_PuppetControl* cl_ControlledPuppet::GetControl(const std::string& name) const
{
    const auto found = m_controls.find(name);
    return found == m_controls.end() ? nullptr : found->second.get();
}

std::vector<std::string> cl_ControlledPuppet::GetControlNames() const
{
    return KeysOf(m_controls);
}
