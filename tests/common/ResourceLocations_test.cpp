#include "common/ResourceLocations.h"

#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <OgreResourceGroupManager.h>
#include <gtest/gtest.h>

namespace
{
class ResourceLocationsTest : public testing::Test
{
protected:
    bool HasLocation(const std::string& group, const std::string& name) const
    {
        Ogre::ResourceGroupManager& resources = Ogre::ResourceGroupManager::getSingleton();
        if (!resources.resourceGroupExists(group))
            return false;
        for (const Ogre::ResourceGroupManager::ResourceLocation& location :
             resources.getResourceLocationList(group))
        {
            if (location.archive->getName() == name)
                return true;
        }
        return false;
    }

    HeadlessOgre m_ogre;
    TemporaryFolder m_folder;
    LogCapture m_log;
};

TEST_F(ResourceLocationsTest, BadEntriesAreLoggedWithTheFileAndSkipped)
{
    m_folder.WriteFile("fonts/font.ttf");
    m_folder.WriteFile("broken.zip", "not a zip");
    const std::string file = m_folder.PathOf("resources.cfg");
    m_folder.WriteFile("resources.cfg", "[INTERFACEDATA]\n"
                                        "Bogus=" +
                                            m_folder.PathOf("fonts") +
                                            "\n"
                                            "EmbeddedZip=" +
                                            m_folder.PathOf("fonts") +
                                            "\n"
                                            "Zip=" +
                                            m_folder.PathOf("broken.zip") +
                                            "\n"
                                            "FileSystem=" +
                                            m_folder.PathOf("fonts") + "\n");
    ResourceLocations::AddFromFile(file);
    EXPECT_TRUE(HasLocation("INTERFACEDATA", m_folder.PathOf("fonts")));
    EXPECT_FALSE(HasLocation("INTERFACEDATA", m_folder.PathOf("broken.zip")));
    EXPECT_TRUE(m_log.Contains(file + ": the resource location Bogus=" + m_folder.PathOf("fonts"),
                               cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_log.Contains(file + ": the resource location EmbeddedZip=" + m_folder.PathOf("fonts"),
                               cl_Logger::LEVEL_ERROR))
        << "an embedded zip names memory, which a file cannot give";
    EXPECT_TRUE(m_log.Contains(file + ": the resource location Zip=" + m_folder.PathOf("broken.zip"),
                               cl_Logger::LEVEL_ERROR));
}

TEST_F(ResourceLocationsTest, AMissingFileIsLoggedAndAddsNothing)
{
    ResourceLocations::AddFromFile(m_folder.PathOf("missing.cfg"));
    EXPECT_TRUE(m_log.Contains("Couldn't read " + m_folder.PathOf("missing.cfg"), cl_Logger::LEVEL_ERROR));
}
} // namespace
