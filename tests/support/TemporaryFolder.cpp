#include "support/TemporaryFolder.h"

#include <boost/filesystem.hpp>

#include <fstream>

namespace fs = boost::filesystem;

TemporaryFolder::TemporaryFolder()
    : m_path(fs::temp_directory_path() / fs::unique_path("quillmere-test-%%%%-%%%%"))
{
    fs::create_directories(m_path);
}

TemporaryFolder::~TemporaryFolder()
{
    boost::system::error_code error;
    fs::remove_all(m_path, error);
}

std::string TemporaryFolder::PathOf(const std::string& relative) const
{
    return m_path.string() + "/" + relative;
}

void TemporaryFolder::WriteFile(const std::string& relative, const std::string& text) const
{
    const fs::path file(PathOf(relative));
    fs::create_directories(file.parent_path());
    std::ofstream(file.string()) << text;
}
