#include "graphics/cl_MeshStateActivator.h"

#include "common/LogCall.h"
#include "graphics/cl_ControlledPuppet.h"

#include <OgreSceneNode.h>

bool cl_MeshStateActivator::Apply(cl_VisualStateHolder& owner, const st_ElementSwitch& entry)
{
    const cl_ControlledPuppet* puppet = PuppetOf(owner);
    Ogre::SceneNode* node = puppet ? puppet->GetSubMesh(entry.name).node : nullptr;
    if (!node)
    {
        LOG_ERROR("The SubMesh with the id '%s' could not be found!", entry.name.c_str());
        return false;
    }
    node->setVisible(entry.flag, true);
    return true;
}
