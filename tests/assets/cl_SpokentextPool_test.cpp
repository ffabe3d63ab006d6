#include "assets/cl_SpokentextPool.h"

#include "assets/cl_CharacterPool.h"
#include "assets/cl_PoolManager.h"
#include "assets/cl_SpokentextAsset.h"
#include "common/cl_Logger.h"
#include "support/AssetWorld.h"
#include "support/TemporaryFolder.h"

#include <OgreDataStream.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
const char* const NOT_FOUND = "Spokentext's leafid could not be set: Spokenttext '%s' not found.";

class SpokentextPoolTest : public testing::Test
{
protected:
    SpokentextPoolTest()
    {
        for (const char* id : {"spokentexts_a", "spokentexts_b"})
            Pool().AddNewAsset(id);
    }
    cl_SpokentextPool& Pool() { return *m_world.poolManager.GetSpokentextPool(); }
    std::string LeafId(const std::string& id)
    {
        const auto* spokentext = dynamic_cast<const cl_SpokentextAsset*>(Pool().FindAsset(id));
        return spokentext ? spokentext->GetLeafId() : "(missing)";
    }
    void LoadLeafIds(std::string text)
    {
        Ogre::MemoryDataStream stream("chapter1_leafids.txt", text.data(), text.size());
        Pool().LoadLeafIds(stream);
    }
    bool LoggedNotFound(const std::string& id)
    {
        std::string message = NOT_FOUND;
        message.replace(message.find("%s"), 2, id);
        return m_world.log.Contains(message, cl_Logger::LEVEL_ERROR);
    }

    AssetWorld m_world;
};

TEST_F(SpokentextPoolTest, LeafIdFilesSplitEachLineAtTheFirstSemicolon)
{
    LoadLeafIds("spokentexts_a;leaf_a\r\n\nspokentexts_b;leaf;b\nspokentexts_gone;leaf_gone\nno semicolon\n");
    EXPECT_EQ(LeafId("spokentexts_a"), "leaf_a");
    EXPECT_EQ(LeafId("spokentexts_b"), "leaf;b");
    EXPECT_TRUE(LoggedNotFound("spokentexts_gone"));
    EXPECT_TRUE(m_world.log.Contains("'chapter1_leafids.txt' has a line without ';': 'no semicolon'",
                                     cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_world.log.Count(cl_Logger::LEVEL_ERROR), 2u);
}

TEST_F(SpokentextPoolTest, ALeafIdForAnUnknownIdChangesNothing)
{
    Pool().SetLeafId("spokentexts_a", "leaf_a");
    Pool().SetLeafId("spokentexts_missing", "leaf_x");
    EXPECT_TRUE(LoggedNotFound("spokentexts_missing"));
    EXPECT_EQ(LeafId("spokentexts_a"), "leaf_a");
    EXPECT_EQ(LeafId("spokentexts_b"), "");
}

TEST_F(SpokentextPoolTest, ReadsSpeakerAndContent)
{
    TiXmlDocument document;
    document.Parse("<asset id='s' speakerref='characters_keeper'><content>Willkommen</content></asset>");
    const std::unique_ptr<cl_Asset> asset = Pool().CreateAsset(document.RootElement());
    const auto* spokentext = dynamic_cast<const cl_SpokentextAsset*>(asset.get());
    ASSERT_NE(spokentext, nullptr);
    EXPECT_EQ(spokentext->GetSpeakerRef(), "characters_keeper");
    EXPECT_EQ(spokentext->GetContent(), "Willkommen");
    EXPECT_EQ(spokentext->GetType(), "spokentext");
    EXPECT_EQ(spokentext->GetThingType(), "spokentext");
}

TEST_F(SpokentextPoolTest, ThingTextsNameTheSpeaker)
{
    cl_CharacterPool& characters = *m_world.poolManager.GetCharacterPool();
    characters.AddNewAsset("characters_keeper")->SetName("Keeper");
    characters.AddNewAsset("characters_nameless");
    const std::string greeting = "Willkommen im Turm, Fremder. Der Schlüssel liegt hier.";
    const struct
    {
        const char* speaker;
        std::string content;
        std::string thingText;
    } cases[] = {
        {"characters_keeper", "Hallo", "Keeper: Hallo"},
        {"characters_nameless", "Hallo", "characters_nameless: Hallo"},
        {"characters_unknown", "Hallo", "characters_unknown: Hallo"},
        // The speaker counts toward the 50 characters; "ü" is one of them.
        {"characters_keeper", greeting, "Keeper: Willkommen im Turm, Fremder. Der Schlüssel..."},
    };
    for (const auto& c : cases)
    {
        cl_SpokentextAsset spokentext;
        spokentext.SetSpeakerRef(c.speaker);
        spokentext.SetContent(c.content);
        EXPECT_EQ(spokentext.GetThingText(), c.thingText) << c.speaker;
    }
}

TEST(SpokentextDemo, TheChapterLeafIdFileNamesTheKeepersGreeting)
{
    AssetWorld world;
    world.LoadChapter(DemoChapterFolder());
    std::string text = ReadTextFile(QUILLMERE_DEMO_DIR "data/lang/de/chapter1_leafids.txt");
    Ogre::MemoryDataStream stream("chapter1_leafids.txt", text.data(), text.size());
    world.poolManager.GetSpokentextPool()->LoadLeafIds(stream);

    const auto& greeting = dynamic_cast<const cl_SpokentextAsset&>(world.Asset("spokentexts_keeper_hello"));
    EXPECT_EQ(greeting.GetLeafId(), "keeper_hello");
    EXPECT_EQ(greeting.GetThingText(), "Keeper: Willkommen im Turm, Fremder. Der Schlüssel...");
    EXPECT_EQ(world.log.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
