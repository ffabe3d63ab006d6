#include "gui/OverlayResourceCheck.h"

#include "common/LogCall.h"

#include <OgreMaterialManager.h>
#include <Overlay/OgreFontManager.h>
#include <Overlay/OgreOverlayElement.h>

namespace
{
// Where overlay elements look their materials and fonts up: every resource group.
const Ogre::String& ELEMENT_GROUP = Ogre::OverlayElement::DEFAULT_RESOURCE_GROUP;
} // namespace

bool OverlayResourceCheck::HasMaterial(const std::string& name, const char* use)
{
    return Report(Ogre::MaterialManager::getSingleton().resourceExists(name, ELEMENT_GROUP), "material", name,
                  use);
}

bool OverlayResourceCheck::HasFont(const std::string& name, const char* use)
{
    Ogre::FontManager* fonts = Ogre::FontManager::getSingletonPtr();
    return Report(fonts && fonts->resourceExists(name, ELEMENT_GROUP), "font", name, use);
}

bool OverlayResourceCheck::Report(bool exists, const char* kind, const std::string& name, const char* use)
{
    if (!exists && m_reported.insert(std::string(kind) + " " + name).second)
        LOG_ERROR("There is no %s '%s' for %s.", kind, name.c_str(), use);
    return exists;
}
