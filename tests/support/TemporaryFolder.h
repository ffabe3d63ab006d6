#pragma once

#include <boost/filesystem/path.hpp>

#include <string>

// A fresh folder below the system's temporary folder, removed with everything in it when this dies.
class TemporaryFolder
{
public:
    TemporaryFolder();
    ~TemporaryFolder();
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const boost::filesystem::path& Path() const { return m_path; }
    // Path() + "/" + name.
    std::string operator/(const std::string& name) const { return (m_path / name).string(); }

private:
    boost::filesystem::path m_path;
};

// Points HOME at a fresh temporary folder (and drops XDG_CONFIG_HOME) while it lives, so the documents
// folder of the program lies inside it.
class TemporaryHome : public TemporaryFolder
{
public:
    TemporaryHome();
    ~TemporaryHome();

private:
    std::string m_oldHome;
    bool m_hadHome;
};

// Whole-file helpers for tests: Write creates missing parent folders; Read gives "" for a missing file.
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);
