#include "support/TemporaryFolder.h"

#include <boost/filesystem/operations.hpp>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = boost::filesystem;

TemporaryFolder::TemporaryFolder()
    : m_path(fs::temp_directory_path() / fs::unique_path("quillmere-%%%%-%%%%-%%%%"))
{
    fs::create_directories(m_path);
}

TemporaryFolder::~TemporaryFolder()
{
    boost::system::error_code ignored;
    fs::remove_all(m_path, ignored);
}

TemporaryHome::TemporaryHome()
{
    const char* home = std::getenv("HOME");
    m_hadHome = home != nullptr;
    m_oldHome = home ? home : "";
    setenv("HOME", Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
}

TemporaryHome::~TemporaryHome()
{
    if (m_hadHome)
        setenv("HOME", m_oldHome.c_str(), 1);
    else
        unsetenv("HOME");
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadTextFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}
