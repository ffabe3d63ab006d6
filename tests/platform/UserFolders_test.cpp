#include "platform/UserFolders.h"

#include "support/TemporaryFolder.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

#include <cstdlib>

namespace
{
namespace fs = boost::filesystem;

// Points HOME and XDG_CONFIG_HOME at a fresh temporary folder for one test.
class TemporaryHome : public testing::Test
{
protected:
    void SetUp() override
    {
        m_oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("HOME", m_home.c_str(), 1);
        unsetenv("XDG_CONFIG_HOME");
    }
    void TearDown() override
    {
        setenv("HOME", m_oldHome.c_str(), 1);
    }
    void WriteUserDirs(const std::string& line)
    {
        m_folder.WriteFile(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + line + "\n");
    }

    TemporaryFolder m_folder;
    const fs::path& m_home = m_folder.Path();
    std::string m_oldHome;
};

TEST_F(TemporaryHome, DocumentsFolderFollowsXdgOrFallsBackAndIsCreated)
{
    struct Case
    {
        const char* userDirsLine; // nullptr: no user-dirs.dirs
        const char* expectedBelowHome;
    } cases[] = {
        {nullptr, "/Documents"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/Dokumente\"", "/Dokumente"},
        {"XDG_DOCUMENTS_DIR=\"$HOME/\"", "/Documents"},
        {"XDG_DESKTOP_DIR=\"$HOME/Desktop\"", "/Documents"},
    };
    for (const Case& c : cases)
    {
        fs::remove_all(m_home / ".config");
        if (c.userDirsLine)
            WriteUserDirs(c.userDirsLine);
        const std::string folder = platform::DocumentsFolder();
        EXPECT_EQ(folder, m_home.string() + c.expectedBelowHome) << (c.userDirsLine ? c.userDirsLine : "none");
        EXPECT_TRUE(fs::is_directory(folder));
    }
}

TEST(CurrentDirectory, IsTheWorkingFolder)
{
    EXPECT_EQ(fs::path(platform::CurrentDirectory()), fs::current_path());
}
} // namespace
