#include "support/TemporaryFolder.h"

#include <boost/filesystem/operations.hpp>

#include <fstream>
#include <sstream>

namespace fs = boost::filesystem;

TemporaryFolder::TemporaryFolder()
    : m_path(fs::temp_directory_path() / fs::unique_path("quillmere-test-%%%%-%%%%-%%%%"))
{
    fs::create_directories(m_path);
}

TemporaryFolder::~TemporaryFolder()
{
    boost::system::error_code ignored;
    fs::remove_all(m_path, ignored);
}

std::string TemporaryFolder::PathOf(const std::string& relative) const
{
    return m_path.string() + "/" + relative;
}

void TemporaryFolder::WriteFile(const std::string& relative, const std::string& text) const
{
    WriteTextFile(PathOf(relative), text);
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
