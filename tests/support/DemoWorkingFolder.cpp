#include "support/DemoWorkingFolder.h"

#include <filesystem>

DemoWorkingFolder::DemoWorkingFolder(const std::string& demoFolder)
{
    namespace fs = std::filesystem;
    fs::copy(demoFolder, Path().string(), fs::copy_options::recursive);
    m_previousFolder = fs::current_path().string();
    fs::current_path(Path().string());
}

DemoWorkingFolder::~DemoWorkingFolder()
{
    std::error_code ignored;
    std::filesystem::current_path(m_previousFolder, ignored);
}

std::string DemoWorkingFolder::UserFile(const std::string& name) const
{
    return m_home.PathOf("Documents/Quillmere/" + name);
}
