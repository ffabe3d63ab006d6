#include "assets/cl_Asset.h"
#include "assets/cl_AssetLogic.h"
#include "assets/cl_AssetPool.h"
#include "assets/cl_GameState.h"
#include "assets/cl_SequenceAsset.h"
#include "assets/cl_SequencePool.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_Logger.h"
#include "support/LogCapture.h"
#include "support/ManualGameTime.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
const char* const CHART = R"(<scxml initialstate="a"><state id="a"/></scxml>)";

std::string AssetXml(const std::string& id, const std::string& content = std::string())
{
    return "<asset id=\"" + id + "\">" + content + "</asset>\n";
}

std::string IndexXml(const std::string& assets)
{
    return "<assetpool>\n" + assets + "</assetpool>\n";
}

// Counts the zero steps that loading asks of the game time.
class CountingGameTime : public ManualGameTime
{
public:
    using ManualGameTime::ManualGameTime;
    void UpdateWhileLoading() override { ++zeroSteps; }
    int zeroSteps = 0;
};

class NoReload : public IPoolReloader
{
public:
    void ReloadPools(const std::string&, const std::string&, ILoadingProgress*) override {}
};

// A pool in a temporary chapter folder; state-chart paths are relative to that folder.
class AssetPoolTest : public testing::Test
{
protected:
    AssetPoolTest()
    {
        m_gameState.SetPoolReloader(&m_noReload);
        m_gameState.SwitchChapter(Folder(), std::string(), nullptr);
    }
    ~AssetPoolTest() override { m_gameState.SetPoolReloader(nullptr); }

    std::string Folder() const { return m_folder.Path().string() + "/"; }
    void Write(const std::string& relative, const std::string& text) const
    {
        m_folder.WriteFile(relative, text);
    }
    std::string SourceOf(const std::string& id) const
    {
        const cl_Asset* asset = m_pool.FindAsset(id);
        return asset ? asset->GetSourceFile() : "(missing)";
    }

    LogCapture m_log;
    TemporaryFolder m_folder;
    cl_GameState m_gameState;
    NoReload m_noReload;
    cl_AssetPool m_pool{"items"};
};

TEST_F(AssetPoolTest, AssetFilesThroughSubFoldersAndTheIndexFileLoad)
{
    Write("items/key.xml", AssetXml("items_key") + AssetXml("items_coin"));
    Write("items/cellar/lamp.xml", AssetXml("items_lamp"));
    Write("items/notes.txt", AssetXml("items_note"));
    Write("items.xml", IndexXml(AssetXml("items_rope")));
    m_pool.LoadAssets(Folder());

    std::vector<cl_Asset*> assets;
    m_pool.GetAllAssets(assets);
    std::vector<std::string> ids;
    for (const cl_Asset* asset : assets)
    {
        ids.push_back(asset->GetId());
        EXPECT_EQ(asset->GetPool(), &m_pool);
        EXPECT_FALSE(asset->IsCreatedAtRunTime());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"items_coin", "items_key", "items_lamp", "items_rope"}));
    EXPECT_EQ(SourceOf("items_lamp"), Folder() + "items/cellar/lamp.xml");
    EXPECT_EQ(SourceOf("items_rope"), "") << "index-file assets have no source file";
    EXPECT_TRUE(m_log.Contains("4 items loaded in ", cl_Logger::LEVEL_INFO));
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
}

TEST_F(AssetPoolTest, AnAssetFileBeatsTheIndexFileAndTheSkippedOneIsLogged)
{
    Write("items/key.xml", "<asset id=\"items_key\" name=\"from file\"/>");
    Write("items.xml", IndexXml("<asset id=\"items_key\" name=\"from index\"/>"));
    m_pool.LoadAssets(Folder());

    ASSERT_NE(m_pool.FindAsset("items_key"), nullptr);
    EXPECT_EQ(m_pool.FindAsset("items_key")->GetName(), "from file");
    EXPECT_EQ(SourceOf("items_key"), Folder() + "items/key.xml");
    EXPECT_TRUE(m_log.Contains("Duplicate asset id 'items_key' in " + Folder() + "items.xml skipped",
                               cl_Logger::LEVEL_WARNING));
}

TEST_F(AssetPoolTest, DuplicatesResolveByPathWhateverOrderTheFilesWereMadeIn)
{
    // Sorted by path, "items/a/x.xml" comes before "items/b.xml".
    const std::vector<std::vector<std::string>> orders = {{"items/a/x.xml", "items/b.xml"},
                                                          {"items/b.xml", "items/a/x.xml"}};
    for (const std::vector<std::string>& order : orders)
    {
        TemporaryFolder folder;
        for (const std::string& file : order)
            folder.WriteFile(file, "<asset id=\"items_key\" name=\"" + file + "\"/>");
        cl_AssetPool pool("items");
        pool.LoadAssets(folder.Path().string() + "/");
        ASSERT_NE(pool.FindAsset("items_key"), nullptr);
        EXPECT_EQ(pool.FindAsset("items_key")->GetName(), "items/a/x.xml") << "made first: " << order[0];
    }
}

TEST_F(AssetPoolTest, EveryElementWithoutIdIsSkippedSilently)
{
    Write("items/a.xml", "<asset name=\"nameless\"/>" + AssetXml("items_a") + "<other id=\"items_other\"/>");
    m_pool.LoadAssets(Folder());
    EXPECT_NE(m_pool.FindAsset("items_a"), nullptr);
    EXPECT_EQ(m_pool.FindAsset("items_other"), nullptr);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
}

TEST_F(AssetPoolTest, AMissingFolderAndIndexFileAreNoFault)
{
    m_pool.LoadAssets(Folder() + "nowhere/");
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 0u);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(AssetPoolTest, TagsAreReadFromTheTagsElement)
{
    const struct
    {
        const char* id;
        const char* tags;
        std::vector<std::string> expected;
    } cases[] = {
        {"items_two", "<tags>a b</tags>", {"a", "b"}},
        {"items_empty", "<tags></tags>", {}},
        {"items_repeated", "<tags>a a</tags>", {"a"}},
        {"items_none", "", {}},
    };
    std::string index;
    for (const auto& c : cases)
        index += AssetXml(c.id, c.tags);
    Write("items.xml", IndexXml(index));
    m_pool.LoadAssets(Folder());
    for (const auto& c : cases)
    {
        ASSERT_NE(m_pool.FindAsset(c.id), nullptr) << c.id;
        EXPECT_EQ(m_pool.FindAsset(c.id)->GetTags(), c.expected) << c.id;
    }

    std::vector<std::string> ids;
    m_pool.GetTaggedAssets({"a"}, ids);
    EXPECT_EQ(ids, (std::vector<std::string>{"items_repeated", "items_two"}));
}

TEST_F(AssetPoolTest, ALogicElementGivesALogicWithOrWithoutChart)
{
    Write("charts/a.scxml", CHART);
    Write("items.xml",
          IndexXml(AssetXml("items_charted", "<logic statechart=\"charts/a.scxml\"/>") +
                   AssetXml("items_empty", "<logic/>") + AssetXml("items_blank", "<logic statechart=\"\"/>") +
                   AssetXml("items_plain")));
    m_pool.LoadAssets(Folder());

    const struct
    {
        const char* id;
        bool logic;
        bool chart;
    } cases[] = {
        {"items_charted", true, true},
        {"items_empty", true, false},
        {"items_blank", true, false},
        {"items_plain", false, false},
    };
    for (const auto& c : cases)
    {
        const cl_Asset* asset = m_pool.FindAsset(c.id);
        ASSERT_NE(asset, nullptr) << c.id;
        ASSERT_EQ(asset->GetLogic() != nullptr, c.logic) << c.id;
        if (c.logic)
        {
            EXPECT_EQ(asset->GetLogic()->HasStateChart(), c.chart) << c.id;
        }
    }
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 0u);
}

TEST_F(AssetPoolTest, BadDataIsLoggedWithFileAndIdWhileTheRestLoads)
{
    Write("charts/broken.scxml", "<scxml><state id=\"a\"></scxml>");
    Write("items/a_broken.xml", AssetXml("items_lost") + "<asset id=\"items_unclosed\">");
    Write("items/b_good.xml", AssetXml("items_fine") +
                                  AssetXml("items_nochart", "<logic statechart=\"charts/missing.scxml\"/>") +
                                  AssetXml("items_badchart", "<logic statechart=\"charts/broken.scxml\"/>"));
    Write("items/c_duplicate.xml", AssetXml("items_fine"));
    Write("items.xml", "<assetpool><asset id=\"items_indexed\"/>");
    m_pool.LoadAssets(Folder());

    EXPECT_NE(m_pool.FindAsset("items_fine"), nullptr);
    EXPECT_EQ(m_pool.FindAsset("items_lost"), nullptr) << "a broken file contributes nothing";
    EXPECT_EQ(m_pool.FindAsset("items_indexed"), nullptr);
    for (const char* id : {"items_nochart", "items_badchart"})
    {
        const cl_Asset* asset = m_pool.FindAsset(id);
        ASSERT_NE(asset, nullptr) << id;
        ASSERT_NE(asset->GetLogic(), nullptr) << id;
        EXPECT_FALSE(asset->GetLogic()->HasStateChart()) << id;
    }

    const std::string good = Folder() + "items/b_good.xml";
    const struct
    {
        const char* fault;
        std::string text;
        int level;
    } lines[] = {
        {"broken asset file", "The asset file " + Folder() + "items/a_broken.xml is no well-formed XML",
         cl_Logger::LEVEL_ERROR},
        {"broken index file", "The asset file " + Folder() + "items.xml is no well-formed XML",
         cl_Logger::LEVEL_ERROR},
        {"missing chart", "Asset 'items_nochart' of " + good + " runs without its state chart",
         cl_Logger::LEVEL_ERROR},
        {"broken chart", "Asset 'items_badchart' of " + good + " runs without its state chart",
         cl_Logger::LEVEL_ERROR},
        {"duplicate id",
         "Duplicate asset id 'items_fine' in " + Folder() +
             "items/c_duplicate.xml skipped: pool items keeps the "
             "one from " +
             good,
         cl_Logger::LEVEL_WARNING},
    };
    for (const auto& line : lines)
        EXPECT_TRUE(m_log.Contains(line.text, line.level)) << line.fault;
}

TEST(AssetPoolLoadingTest, TheGameTimeStepsOncePer101Elements)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    CountingGameTime gameTime(distributor);
    TemporaryFolder folder;
    std::string first;
    std::string second;
    std::string index;
    for (int n = 0; n < 150; ++n)
        first += AssetXml("items_a" + std::to_string(n));
    for (int n = 0; n < 100; ++n)
        second += AssetXml("items_b" + std::to_string(n));
    for (int n = 0; n < 100; ++n)
        index += AssetXml("items_c" + std::to_string(n));
    folder.WriteFile("items/a.xml", first);
    folder.WriteFile("items/b.xml", second);
    folder.WriteFile("items.xml", IndexXml(index));

    cl_AssetPool pool("items");
    pool.LoadAssets(folder.Path().string() + "/");
    EXPECT_EQ(gameTime.zeroSteps, 2) << "250 file elements step twice; the 100 of the index file not at all";
    EXPECT_NE(pool.FindAsset("items_c99"), nullptr);
}

TEST_F(AssetPoolTest, AddAssetRefusesADuplicateAndAddNewAssetMarksRunTimeAssets)
{
    auto first = std::make_unique<cl_Asset>();
    first->SetId("items_a");
    ASSERT_TRUE(m_pool.AddAsset(std::move(first)));
    auto second = std::make_unique<cl_Asset>();
    second->SetId("items_a");
    second->SetName("second");
    EXPECT_FALSE(m_pool.AddAsset(std::move(second)));
    EXPECT_TRUE(m_log.Contains("Duplicate id 'items_a' in AssetPool items found.", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_pool.FindAsset("items_a")->GetName(), "");
    EXPECT_FALSE(m_pool.AddAsset(nullptr));

    EXPECT_EQ(m_pool.AddNewAsset("items_a"), nullptr);
    cl_Asset* made = m_pool.AddNewAsset("items_b");
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(m_pool.FindAsset("items_b"), made);
    EXPECT_TRUE(made->IsCreatedAtRunTime());
    EXPECT_EQ(made->GetPool(), &m_pool);
    EXPECT_EQ(made->GetIdArgument().GetString(), "items_b");

    m_pool.DeleteAssets();
    EXPECT_EQ(m_pool.FindAsset("items_a"), nullptr);
}

TEST_F(AssetPoolTest, AssetTextIsTheWholeFileWithTheElementUpdatedAndNoHash)
{
    cl_SequencePool sequences;
    Write("sequences/take.xml",
          "<!-- taking -->\n<asset id=\"sequences_other\" hash=\"7\"/>\n"
          "<asset id=\"sequences_take\" name=\"Take\" hash=\"1234\"><action/></asset>\n");
    Write("sequences.xml", IndexXml(AssetXml("sequences_indexed")));
    sequences.LoadAssets(Folder());

    const auto* take = dynamic_cast<const cl_SequenceAsset*>(sequences.FindAsset("sequences_take"));
    ASSERT_NE(take, nullptr);
    EXPECT_EQ(take->GetHash(), 1234);
    EXPECT_EQ(take->GetType(), "sequence");
    EXPECT_EQ(sequences.GetAssetText(take), "<!-- taking -->\n<asset id=\"sequences_other\" hash=\"7\" />\n"
                                            "<asset id=\"sequences_take\" name=\"Take\">\n    <action />\n"
                                            "    <tarqstructure />\n</asset>\n");

    EXPECT_EQ(sequences.GetAssetText(sequences.FindAsset("sequences_indexed")), "");
    EXPECT_TRUE(m_log.Contains("The element of asset 'sequences_indexed' is not in an asset file",
                               cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(sequences.GetAssetText(nullptr), "");
}

// A pool of things with a text, as characters are.
class ThingAsset : public cl_Asset
{
public:
    std::string GetThingType() const override { return "character"; }
    std::string GetThingText() const override { return GetName(); }
    bool IsThing() const override { return true; }
};

class ThingPool : public cl_AssetPool
{
public:
    ThingPool() : cl_AssetPool("characters") {}
    std::unique_ptr<cl_Asset> CreateAsset(const TiXmlElement* element) override
    {
        if (element && element->Attribute("plain"))
            return std::make_unique<cl_Asset>();
        return std::make_unique<ThingAsset>();
    }
};

TEST_F(AssetPoolTest, ThingsAreWrittenInIdOrderWithTheirTextEscapedOnce)
{
    ThingPool things;
    Write("characters.xml", IndexXml("<asset id=\"characters_b\" name=\"Bo &amp; Co\"/>"
                                     "<asset id=\"characters_a\"/>"
                                     "<asset id=\"characters_c\" plain=\"yes\"/>"));
    things.LoadAssets(Folder());
    TiXmlElement parent("things");
    things.WriteThings(parent);
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    parent.Accept(&printer);
    EXPECT_STREQ(printer.CStr(),
                 "<things><thing name=\"characters_a\" type=\"character\" />"
                 "<thing name=\"characters_b\" type=\"character\">Bo &amp; Co</thing></things>");
}
} // namespace
