#include "graphics/cl_SwitchStateActivator.h"

#include "graphics/cl_SceneObject.h"

#include <OgreSceneNode.h>
#include <tinyxml.h>

bool cl_SwitchStateActivator::AddEntry(const TiXmlElement& entry)
{
    const char* name = entry.Attribute("name");
    if (!name || (m_nameMustHaveText && !*name))
        return false;
    const char* flag = entry.Attribute(m_flagAttribute);
    m_entries.push_back({name, flag && std::string(flag) == "true"});
    return true;
}

void cl_SwitchStateActivator::Activate(cl_VisualStateHolder& owner)
{
    for (const st_ElementSwitch& entry : m_entries)
    {
        if (!Apply(owner, entry))
            return;
    }
}

cl_ControlledPuppet* cl_SwitchStateActivator::PuppetOf(cl_VisualStateHolder& owner)
{
    const auto* object = dynamic_cast<const cl_SceneObject*>(&owner);
    return object ? object->GetPuppet() : nullptr;
}

bool cl_SwitchStateActivator::SetNodeVisible(Ogre::SceneNode* node, bool visible)
{
    if (!node)
        return false;
    node->setVisible(visible, true);
    return true;
}
