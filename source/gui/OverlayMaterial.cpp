#include "gui/OverlayMaterial.h"

#include "common/LogCall.h"
#include "common/OgreResources.h"

#include <Overlay/OgreOverlayElement.h>

bool SetOverlayMaterial(Ogre::OverlayElement& element, const std::string& material)
{
    if (!MaterialExists(material))
    {
        LOG_ERROR("There is no material '%s' for '%s'", material.c_str(), element.getName().c_str());
        return false;
    }
    element.setMaterialName(material);
    return true;
}
