#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

// A fresh folder below the system's temporary folder, removed with everything in it when this dies.
class TemporaryFolder
{
public:
    TemporaryFolder();
    virtual ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const boost::filesystem::path& Path() const { return m_path; }
    // "<folder>/<relative>", as a string.
    std::string PathOf(const std::string& relative) const;
    // Writes text to the file at relative, creating its folders.
    void WriteFile(const std::string& relative, const std::string& text = "") const;

private:
    boost::filesystem::path m_path;
};

// Whole-file helpers for tests: Write creates missing parent folders; Read gives "" for a missing file.
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
