#pragma once

#include "graphics/cl_Puppet.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class cl_PuppetControl;

// The puppet of a character or scene item: a puppet that owns named controls (walking, turning, idle and
// special animations...).
class cl_ControlledPuppet : public cl_Puppet
{
public:
    explicit cl_ControlledPuppet(Ogre::SceneManager& sceneManager);
    ~cl_ControlledPuppet() override;

    // Takes control over under name. A name already taken is logged and false returned; control then
    // stays with the caller.
    bool AddControl(const std::string& name, std::unique_ptr<cl_PuppetControl>&& control);
    // The control of that name, or null.
    cl_PuppetControl* GetControl(const std::string& name) const;
    // Ascending byte order.
    std::vector<std::string> GetControlNames() const;

private:
    std::map<std::string, std::unique_ptr<cl_PuppetControl>> m_controls;
};
