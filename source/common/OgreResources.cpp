#include "common/OgreResources.h"

#include <OgreLogManager.h>
#include <OgreMaterialManager.h>
#include <OgreResourceGroupManager.h>

bool MaterialExists(const std::string& name)
{
    // OGRE's own look-up "in any group" misses the groups of its global pool, so each group is asked.
    Ogre::MaterialManager& materials = Ogre::MaterialManager::getSingleton();
    if (materials.resourceExists(name))
        return true;
    for (const std::string& group : Ogre::ResourceGroupManager::getSingleton().getResourceGroups())
    {
        if (materials.resourceExists(name, group))
            return true;
    }
    return false;
}

bool ResourceFileExists(const std::string& file)
{
    const Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    return groups && groups->resourceExistsInAnyGroup(file);
}

void WriteToOgreLog(const std::string& line)
{
    if (Ogre::LogManager* log = Ogre::LogManager::getSingletonPtr())
        log->logMessage(line);
}
