#include "platform/UserFolders.h"

#include "support/TemporaryHome.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

namespace
{
namespace fs = boost::filesystem;

// Each test runs with HOME in a fresh temporary folder.
class DocumentsFolder : public testing::Test
{
protected:
    void WriteUserDirs(const std::string& line)
    {
        m_home.WriteFile(".config/user-dirs.dirs", "# written by xdg-user-dirs-update\n" + line + "\n");
    }

    TemporaryHome m_home;
};

TEST_F(DocumentsFolder, FollowsXdgOrFallsBackAndIsCreated)
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
        fs::remove_all(m_home.PathOf(".config"));
        if (c.userDirsLine)
            WriteUserDirs(c.userDirsLine);
        const std::string folder = platform::DocumentsFolder();
        EXPECT_EQ(folder, m_home.Path().string() + c.expectedBelowHome)
            << (c.userDirsLine ? c.userDirsLine : "none");
        EXPECT_TRUE(fs::is_directory(folder));
    }
}

TEST(CurrentDirectory, IsTheWorkingFolder)
{
    EXPECT_EQ(fs::path(platform::CurrentDirectory()), fs::current_path());
}
} // namespace
