// Any bytes as resources.cfg: every entry OGRE refuses is logged and skipped, nothing throws out of the
// start. Names of devices are left out, as reading one could block.
#include "common/ResourceLocations.h"

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <boost/filesystem/operations.hpp>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

namespace
{
// OGRE without a render system, kept for the whole run.
void StartOgre()
{
    static const bool started = []
    {
        auto* logs = new Ogre::LogManager();
        logs->createLog("", true, false, true);
        new Ogre::Root("", "", "");
        return true;
    }();
    (void)started;
}

// Back to OGRE's own groups, empty.
void RemoveLocations()
{
    Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
    for (const std::string& group : resources.getResourceGroups())
    {
        if (group == Ogre::RGN_DEFAULT || group == Ogre::RGN_INTERNAL || group == Ogre::RGN_AUTODETECT)
        {
            std::vector<std::string> names;
            for (const auto& location : resources.getResourceLocationList(group))
                names.push_back(location.archive->getName());
            for (const std::string& name : names)
                resources.removeResourceLocation(name, group);
        }
        else
            resources.destroyResourceGroup(group);
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (text.find("/dev") != std::string::npos || text.find("/proc") != std::string::npos)
        return 0;
    StartOgre();
    const boost::filesystem::path file = boost::filesystem::temp_directory_path() /
                                         boost::filesystem::unique_path("resources-fuzz-%%%%-%%%%.cfg");
    std::ofstream(file.string(), std::ios::binary) << text;
    ResourceLocations::AddFromFile(file.string());
    boost::filesystem::remove(file);
    RemoveLocations();
    return 0;
}
