#include "common/OgreConfigFile.h"

#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <boost/filesystem/operations.hpp>
#include <gtest/gtest.h>

#include <memory>

namespace
{
// OGRE without a render system, keeping its settings in a temporary folder.
class OgreConfigFileTest : public testing::Test
{
protected:
    OgreConfigFileTest()
    {
        m_logManager.createLog("", true, false, true);
        m_root = std::make_unique<Ogre::Root>("", m_path, "");
    }

    TemporaryFolder m_folder;
    const std::string m_path = m_folder.PathOf("ogre.cfg");
    Ogre::LogManager m_logManager;
    std::unique_ptr<Ogre::Root> m_root;
    LogCapture m_log;
};

TEST_F(OgreConfigFileTest, SettingsThatCannotBeUsedAreLoggedByTheirFileUnlessTheFileIsMissing)
{
    struct Case
    {
        const char* name;
        const char* text; // null: no file
        bool logged;
    } cases[] = {
        {"first start", nullptr, false},
        {"empty after a crash", "", true},
        {"garbage", "\x7f\x45\x4c\x46\x02\x01 binary\n[[[", true},
        {"an unknown render system", "Render System=Direct3D9 Rendering Subsystem\n", true},
    };
    for (const Case& c : cases)
    {
        if (c.text)
            m_folder.WriteFile("ogre.cfg", c.text);
        m_log.Clear();
        EXPECT_FALSE(OgreConfigFile::Restore(*m_root, m_path)) << c.name;
        EXPECT_EQ(
            m_log.Contains("The render settings in " + m_path + " cannot be used", cl_Logger::LEVEL_ERROR),
            c.logged)
            << c.name;
    }
}

TEST_F(OgreConfigFileTest, SavingReplacesTheFileWholeOrLeavesIt)
{
    m_folder.WriteFile("ogre.cfg", "old");
    ASSERT_TRUE(OgreConfigFile::Save(*m_root, m_path));
    EXPECT_EQ(ReadTextFile(m_path), "Render System=\n");
    EXPECT_FALSE(boost::filesystem::exists(m_path + ".tmp"));

    m_folder.WriteFile("blocked/ogre.cfg/file");
    EXPECT_FALSE(OgreConfigFile::Save(*m_root, m_folder.PathOf("blocked/ogre.cfg")));
    EXPECT_TRUE(m_log.Contains(m_folder.PathOf("blocked/ogre.cfg"), cl_Logger::LEVEL_ERROR));
}
} // namespace
