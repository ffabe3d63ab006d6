#include "gui/OverlayResourceCheck.h"

#include "common/LogCall.h"

#include <OgreMaterialManager.h>
#include <Overlay/OgreFontManager.h>

bool OverlayResourceCheck::HasMaterial(const std::string& name, const char* use)
{
    return Report(Ogre::MaterialManager::getSingleton().resourceExists(name), "material", name, use);
}

bool OverlayResourceCheck::HasFont(const std::string& name, const char* use)
{
    Ogre::FontManager* fonts = Ogre::FontManager::getSingletonPtr();
    return Report(fonts && fonts->resourceExists(name), "font", name, use);
}

bool OverlayResourceCheck::Report(bool exists, const char* kind, const std::string& name, const char* use)
{
    if (!exists && m_reported.insert(std::string(kind) + " " + name).second)
        LOG_ERROR("There is no %s '%s' for %s.", kind, name.c_str(), use);
    return exists;
}
