#include "platform/UserFolders.h"

#include <cstdlib>
#include <fstream>
#include <unistd.h>

#include <boost/filesystem.hpp>

namespace platform
{
namespace
{
std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string XdgDocumentsFolder(const std::string& home)
{
    std::string configHome = Environment("XDG_CONFIG_HOME");
    if (configHome.empty())
        configHome = home + "/.config";
    std::ifstream file(configHome + "/user-dirs.dirs");
    return DocumentsFolderIn(file, home);
}
} // namespace

std::string DocumentsFolderIn(std::istream& userDirs, const std::string& home)
{
    std::string line;
    const std::string key = "XDG_DOCUMENTS_DIR=";
    while (std::getline(userDirs, line))
    {
        if (line.compare(0, key.size(), key) != 0)
            continue;
        std::string value = line.substr(key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.compare(0, 5, "$HOME") == 0)
            value = home + value.substr(5);
        // A documents folder equal to the home folder means "not set" in the XDG convention.
        if (value.empty() || value[0] != '/' || value == home || value == home + "/")
            return "";
        return value;
    }
    return "";
}

std::string DocumentsFolder()
{
    const std::string home = Environment("HOME");
    if (home.empty())
        return "";
    std::string folder = XdgDocumentsFolder(home);
    if (folder.empty())
        folder = home + "/Documents";
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    boost::system::error_code error;
    boost::filesystem::create_directories(folder, error);
    return folder;
}

std::string CurrentDirectory()
{
    char buffer[4096];
    if (!getcwd(buffer, sizeof(buffer)))
        return "";
    return buffer;
}
} // namespace platform
