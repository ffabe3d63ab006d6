#include "common/FileHelpers.h"

#include "common/LogCall.h"
#include "common/XmlParse.h"

#include <OgreException.h>
#include <OgreResourceGroupManager.h>
#include <boost/filesystem.hpp>
#include <tinyxml.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace fs = boost::filesystem;

namespace
{
const char* const GAMEDATA_GROUP = "GAMEDATA";

void CollectFiles(std::vector<std::string>& list, const fs::path& folder, const std::string& extension)
{
    boost::system::error_code error;
    for (fs::directory_iterator entry(folder, error); !error && entry != fs::directory_iterator();
         entry.increment(error))
    {
        const fs::path& path = entry->path();
        boost::system::error_code statusError;
        // Not following links keeps a link to a parent folder from listing the same files forever.
        if (fs::is_directory(entry->symlink_status(statusError)))
            CollectFiles(list, path, extension);
        if (path.extension().string() == extension)
            list.push_back(path.string());
    }
    if (error)
        LOG_ERROR("Couldn't list the folder %s: %s", folder.string().c_str(), error.message().c_str());
}
} // namespace

std::string ForwardSlashes(const std::string& path)
{
    std::string result = path;
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

bool CreateDirectories(const std::string& path)
{
    const fs::path folder(ForwardSlashes(path));
    boost::system::error_code error;
    fs::create_directories(folder, error);
    if (!error && !fs::is_directory(folder, error))
        error = boost::system::errc::make_error_code(boost::system::errc::not_a_directory);
    if (error)
    {
        LOG_ERROR("Couldn't create the folder %s: %s", folder.string().c_str(), error.message().c_str());
        return false;
    }
    return true;
}

void ListFilesRecursive(std::vector<std::string>& list, const std::string& folder,
                        const std::string& extension)
{
    const fs::path root(ForwardSlashes(folder));
    boost::system::error_code error;
    if (!fs::exists(root, error))
    {
        LOG_WARNING("The folder %s doesn't exist", root.string().c_str());
        return;
    }
    const size_t first = list.size();
    CollectFiles(list, root, extension);
    std::sort(list.begin() + static_cast<std::ptrdiff_t>(first), list.end());
}

Ogre::DataStreamPtr OpenResource(const std::string& name, const std::string& group)
{
    const std::string resource = ForwardSlashes(name);
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups)
    {
        LOG_ERROR("Couldn't open the resource %s: OGRE's resource system doesn't exist", resource.c_str());
        return Ogre::DataStreamPtr();
    }
    try
    {
        std::string found = group;
        if (!groups->resourceGroupExists(found) || !groups->resourceExists(found, resource))
        {
            if (!groups->resourceExistsInAnyGroup(resource))
            {
                LOG_ERROR("Couldn't find the resource %s", resource.c_str());
                return Ogre::DataStreamPtr();
            }
            found = groups->findGroupContainingResource(resource);
        }
        return groups->openResource(resource, found);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't open the resource %s: %s", resource.c_str(), exception.getDescription().c_str());
        return Ogre::DataStreamPtr();
    }
}

bool ReadFileText(const std::string& path, std::string& text)
{
    boost::system::error_code error;
    if (!fs::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    std::ostringstream contents;
    contents << file.rdbuf();
    if (file.bad())
        return false;
    text = contents.str();
    return true;
}

bool OpenGameDataResource(const std::string& name, TiXmlDocument& document)
{
    const Ogre::DataStreamPtr stream = OpenResource(name, GAMEDATA_GROUP);
    if (!stream)
        return false;
    try
    {
        ParseXml(document, stream->getAsString(), stream->getName());
        return true;
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Couldn't read the resource %s: %s", stream->getName().c_str(),
                  exception.getDescription().c_str());
        return false;
    }
}
