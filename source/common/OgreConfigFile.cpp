#include "common/OgreConfigFile.h"

#include "common/LogCall.h"
#include "common/SafeFileWrite.h"

#include <OgreException.h>
#include <OgreRenderSystem.h>
#include <OgreRoot.h>
#include <boost/filesystem/operations.hpp>

namespace OgreConfigFile
{
std::string Text(Ogre::Root& root)
{
    const Ogre::RenderSystem* active = root.getRenderSystem();
    std::string text = "Render System=" + (active ? active->getName() : std::string()) + "\n";
    for (Ogre::RenderSystem* renderSystem : root.getAvailableRenderers())
    {
        text += "\n[" + renderSystem->getName() + "]\n";
        for (const auto& option : renderSystem->getConfigOptions())
            text += option.first + "=" + option.second.currentValue + "\n";
    }
    return text;
}

bool Save(Ogre::Root& root, const std::string& path)
{
    return WriteFileSafely(path, Text(root));
}

bool Restore(Ogre::Root& root, const std::string& path)
{
    std::string problem = "it is empty, damaged or names no render system of this program";
    bool restored = false;
    try
    {
        restored = root.restoreConfig();
    }
    catch (const Ogre::Exception& exception)
    {
        problem = exception.getDescription();
    }
    boost::system::error_code error;
    if (!restored && boost::filesystem::exists(path, error))
        LOG_ERROR("The render settings in %s cannot be used (%s); the defaults are taken and saved.",
                  path.c_str(), problem.c_str());
    return restored;
}
} // namespace OgreConfigFile
