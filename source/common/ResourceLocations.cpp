#include "common/ResourceLocations.h"

#include "common/LogCall.h"

#include <OgreConfigFile.h>
#include <OgreException.h>
#include <OgreResourceGroupManager.h>

namespace ResourceLocations
{
bool Add(const std::string& name, const std::string& type, const std::string& group,
         const std::string& source)
{
    try
    {
        Ogre::ResourceGroupManager::getSingleton().addResourceLocation(name, type, group);
        return true;
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("%s: the resource location %s=%s of the group '%s' is skipped: %s", source.c_str(),
                  type.c_str(), name.c_str(), group.c_str(), exception.getDescription().c_str());
        return false;
    }
}

void AddFromFile(const std::string& path)
{
    Ogre::ConfigFile config;
    try
    {
        config.load(path, "\t:=", true);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't read %s: %s", path.c_str(), exception.getDescription().c_str());
        return;
    }
    for (const auto& section : config.getSettingsBySection())
    {
        for (const auto& setting : section.second)
        {
            // Only folders and zip files can stand in a file; OGRE's other kinds (an embedded zip names
            // memory that only code can register) crash on a name they do not know.
            if (setting.first == "FileSystem" || setting.first == "Zip")
                Add(setting.second, setting.first, section.first, path);
            else
                LOG_ERROR("%s: the resource location %s=%s of the group '%s' is skipped: only FileSystem and "
                          "Zip locations can be read from a file",
                          path.c_str(), setting.first.c_str(), setting.second.c_str(), section.first.c_str());
        }
    }
}
} // namespace ResourceLocations
