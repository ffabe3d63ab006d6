#include "common/FileHelpers.h"

#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <boost/filesystem.hpp>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace
{
namespace fs = boost::filesystem;

// Each test works in a fresh temporary folder and watches the log.
class FolderFixture : public testing::Test
{
protected:
    std::string PathOf(const std::string& relative) const { return m_folder.PathOf(relative); }
    void WriteFile(const std::string& relative, const std::string& text = "") const
    {
        m_folder.WriteFile(relative, text);
    }

    TemporaryFolder m_folder;
    LogCapture m_log;
};

using CreateDirectoriesTest = FolderFixture;

TEST_F(CreateDirectoriesTest, CreatesMissingFoldersAndRefusesFilesInTheWay)
{
    WriteFile("file.txt");
    struct Case
    {
        const char* name;
        const char* path; // below the temporary folder
        bool created;
        const char* folder; // the folder that exists afterwards (created) or is named in the log (refused)
    } cases[] = {
        {"nested", "a/b/c", true, "a/b/c"},
        {"existing", "a/b", true, "a/b"},
        {"backslashes from data", "a\\x\\y", true, "a/x/y"},
        {"trailing slash", "t/u/", true, "t/u"},
        {"file as the folder", "file.txt", false, "file.txt"},
        {"file as a parent", "file.txt/sub", false, "file.txt/sub"},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        EXPECT_EQ(CreateDirectories(PathOf(c.path)), c.created) << c.name;
        if (c.created)
        {
            EXPECT_TRUE(fs::is_directory(PathOf(c.folder))) << c.name;
            EXPECT_TRUE(m_log.Lines().empty()) << c.name;
        }
        else
        {
            EXPECT_TRUE(m_log.Contains(PathOf(c.folder), cl_Logger::LEVEL_ERROR)) << c.name;
        }
    }
    EXPECT_TRUE(fs::is_regular_file(PathOf("file.txt")));
}

using ListFilesRecursiveTest = FolderFixture;

TEST_F(ListFilesRecursiveTest, ListsMatchingFilesAndFoldersSortedByPath)
{
    WriteFile("b.tsg");
    WriteFile("a.txt");
    WriteFile("upper.TSG");
    WriteFile("tsg");
    WriteFile("sub/deeper/d.tsg");
    WriteFile("sub/c.tsg");
    WriteFile("z.tsg/inner.tsg");
    fs::create_directory_symlink(m_folder.Path(), PathOf("sub/loop"));

    const std::string root = m_folder.Path().string();
    std::vector<std::string> list = {"kept"};
    ListFilesRecursive(list, root, ".tsg");
    const std::vector<std::string> expected = {
        "kept",          root + "/b.tsg",           root + "/sub/c.tsg", root + "/sub/deeper/d.tsg",
        root + "/z.tsg", root + "/z.tsg/inner.tsg",
    };
    EXPECT_EQ(list, expected);
    EXPECT_TRUE(m_log.Lines().empty());

    list.clear();
    ListFilesRecursive(list, root + "\\sub\\deeper", ".tsg");
    EXPECT_EQ(list, std::vector<std::string>{root + "/sub/deeper/d.tsg"});
}

TEST_F(ListFilesRecursiveTest, MissingFolderIsLoggedAndListsNothing)
{
    std::vector<std::string> list = {"kept"};
    ListFilesRecursive(list, PathOf("missing"), ".tsg");
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    EXPECT_TRUE(m_log.Contains(PathOf("missing")));
}

TEST(OpenGameDataResource, WithoutOgreIsRefused)
{
    LogCapture log;
    TiXmlDocument document;
    EXPECT_FALSE(OpenGameDataResource("scene.xml", document));
    EXPECT_TRUE(log.Contains("scene.xml", cl_Logger::LEVEL_ERROR));
}

// OGRE's resource system without a render system: a Root is enough.
class GameDataResources : public FolderFixture
{
protected:
    void SetUp() override
    {
        m_logManager = std::make_unique<Ogre::LogManager>();
        m_logManager->createLog("test.log", true, false, true);
        m_ogreRoot = std::make_unique<Ogre::Root>("", "", "");
        WriteFile("gamedata/scene.xml", "<scene name=\"hall\"/>");
        WriteFile("gamedata/broken.xml", "<scene><unclosed></scene>");
        WriteFile("gamedata/characters/hero.xml", "<character/>");
        WriteFile("other/elsewhere.xml", "<elsewhere/>");
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(PathOf("gamedata"), "FileSystem", "GAMEDATA", true);
        groups.addResourceLocation(PathOf("other"), "FileSystem", "Other");
    }
    void TearDown() override
    {
        m_ogreRoot.reset();
        m_logManager.reset();
    }

    std::unique_ptr<Ogre::LogManager> m_logManager;
    std::unique_ptr<Ogre::Root> m_ogreRoot;
};

TEST_F(GameDataResources, OpensParsesAndReportsMissingResources)
{
    struct Case
    {
        const char* name;
        bool opened;
        const char* rootElement; // nullptr: a parse error stays in the document
    } cases[] = {
        {"scene.xml", true, "scene"},         {"characters\\hero.xml", true, "character"},
        {"elsewhere.xml", true, "elsewhere"}, {"broken.xml", true, nullptr},
        {"missing.xml", false, nullptr},
    };
    for (const Case& c : cases)
    {
        m_log.Clear();
        TiXmlDocument document;
        EXPECT_EQ(OpenGameDataResource(c.name, document), c.opened) << c.name;
        if (!c.opened)
        {
            EXPECT_TRUE(m_log.Contains(c.name, cl_Logger::LEVEL_ERROR)) << c.name;
            continue;
        }
        EXPECT_TRUE(m_log.Lines().empty()) << c.name;
        if (c.rootElement)
        {
            ASSERT_NE(document.RootElement(), nullptr) << c.name;
            EXPECT_EQ(document.RootElement()->ValueStr(), c.rootElement) << c.name;
        }
        else
        {
            EXPECT_TRUE(document.Error()) << c.name;
        }
    }
}
} // namespace
