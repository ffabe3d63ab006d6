#include "common/cl_TarqdataLoader.h"

#include "assets/cl_GameState.h"
#include "common/cl_Config.h"
#include "common/cl_Localizer.h"
#include "common/cl_LuaScriptSystem.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"
#include "support/RecordingParser.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <OgreLogManager.h>
#include <OgreResourceGroupManager.h>
#include <OgreRoot.h>
#include <tinyxml.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
using Names = std::vector<std::string>;

class TarqdataLoaderTest : public testing::Test
{
protected:
    TarqdataLoaderTest()
    {
        m_loader.RegisterParser("alpha", &m_alpha);
        m_loader.RegisterParser("beta", &m_beta);
    }

    LogCapture m_log;
    cl_TarqdataLoader m_loader;
    RecordingParser m_alpha;
    RecordingParser m_beta;
};

TEST_F(TarqdataLoaderTest, RoutesTheChildrenOfTheFirstTarqdataElement)
{
    struct Case
    {
        const char* name;
        const char* text;
        Names alpha;
        Names beta;
    } cases[] = {
        {"children in document order",
         "<tarqdata><alpha name='1'/><beta name='2'/><alpha name='3'/></tarqdata>",
         {"1", "3"},
         {"2"}},
        {"only the first tarqdata",
         "<tarqdata><alpha name='first'/></tarqdata><tarqdata><alpha name='second'/></tarqdata>",
         {"first"},
         {}},
        {"text and comments between the children",
         "<tarqdata>text<!--alpha--><alpha name='a'/> more </tarqdata>",
         {"a"},
         {}},
        {"names without parser",
         "<tarqdata><gamma name='g'/><beta name='b'/><Alpha name='A'/></tarqdata>",
         {},
         {"b"}},
        {"a comment named tarqdata is no element",
         "<!--tarqdata--><tarqdata><alpha name='a'/></tarqdata>",
         {"a"},
         {}},
        {"nested elements are not routed",
         "<tarqdata><beta name='b'><alpha name='inner'/></beta></tarqdata>",
         {},
         {"b"}},
        {"no tarqdata", "<other><alpha name='a'/></other>", {}, {}},
        {"empty file", "", {}, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_alpha.m_parsed.clear();
        m_beta.m_parsed.clear();
        EXPECT_TRUE(m_loader.ParseTdf("GROUP", c.text, "test.tdf", false));
        EXPECT_EQ(m_alpha.Names(), c.alpha);
        EXPECT_EQ(m_beta.Names(), c.beta);
    }
}

TEST_F(TarqdataLoaderTest, PassesGroupAndSkipOn)
{
    m_loader.ParseTdf("CHAPTERDATA", "<tarqdata><alpha/></tarqdata>", "a.tdf", true);
    ASSERT_EQ(m_alpha.m_parsed.size(), 1u);
    EXPECT_EQ(m_alpha.m_parsed[0].element, "alpha");
    EXPECT_EQ(m_alpha.m_parsed[0].group, "CHAPTERDATA");
    EXPECT_TRUE(m_alpha.m_parsed[0].skip);
}

TEST_F(TarqdataLoaderTest, MalformedFileIsLoggedWithRowAndColumnAndWhatWasReadIsStillRouted)
{
    // Row and column count from 1: the stray '<' is the 23rd character of the third line.
    const std::string text = "<tarqdata>\n"
                             "  <alpha name='before'/>\n"
                             "  <beta name='broken' <\n"
                             "</tarqdata>\n";
    TiXmlDocument expected;
    expected.Parse(text.c_str());
    ASSERT_TRUE(expected.Error());

    m_loader.ParseTdf("GROUP", text, "broken.tdf", false);
    EXPECT_EQ(m_alpha.Names(), Names{"before"});
    ASSERT_EQ(m_log.Lines().size(), 1u);
    EXPECT_EQ(m_log.Lines()[0].level, cl_Logger::LEVEL_ERROR);
    EXPECT_EQ(WithoutLineNumber(m_log.Lines()[0].text),
              "A parse error occured in 'broken.tdf' in row 3 col 23: " + std::string(expected.ErrorDesc()) +
                  " -> source\\common\\cl_TarqdataLoader(#) <cl_TarqdataLoader::ParseTdf>");
}

TEST_F(TarqdataLoaderTest, RegistryReplacesAndUnregistersOnlyTheRegisteredParser)
{
    RecordingParser other;
    m_loader.RegisterParser("alpha", &other);
    m_loader.ParseTdf("GROUP", "<tarqdata><alpha name='1'/></tarqdata>", "a.tdf", false);
    EXPECT_EQ(m_alpha.Names(), Names{});
    EXPECT_EQ(other.Names(), Names{"1"});

    // The replaced parser going away must not take its successor's entry with it.
    m_loader.UnregisterParser("alpha", &m_alpha);
    m_loader.ParseTdf("GROUP", "<tarqdata><alpha name='2'/></tarqdata>", "a.tdf", false);
    EXPECT_EQ(other.Names(), (Names{"1", "2"}));

    m_loader.UnregisterParser("alpha", &other);
    m_loader.UnregisterParser("missing", &other);
    m_loader.ParseTdf("GROUP", "<tarqdata><alpha name='3'/></tarqdata>", "a.tdf", false);
    EXPECT_EQ(other.Names(), (Names{"1", "2"}));
}

TEST_F(TarqdataLoaderTest, LocalizerTakesLanguageElementsWhileItLives)
{
    const char* const text = "<tarqdata><language><tokens>greeting|Hello</tokens></language></tarqdata>";
    {
        cl_Localizer localizer;
        m_loader.ParseTdf("GROUP", text, "language.tdf", false);
        EXPECT_EQ(localizer.FindToken("greeting"), "Hello");
    }
    // Gone from the registry: the element is passed over and nothing reaches the destroyed localizer.
    m_loader.ParseTdf("GROUP", text, "language.tdf", false);
    cl_Localizer later;
    EXPECT_EQ(later.FindToken("greeting"), "greeting");
}

// The loader as OGRE drives it: a resource group whose initialisation hands every ".tdf" file over.
TEST(TarqdataLoaderScripts, InitialisedResourceGroupParsesItsTdfFiles)
{
    Ogre::LogManager logManager;
    logManager.createLog("test.log", true, false, true);
    Ogre::Root root("", "", "");
    TemporaryFolder folder;
    folder.WriteFile("data/one.tdf", "<tarqdata><alpha name='one'/></tarqdata>");
    folder.WriteFile("data/sub/two.tdf", "<tarqdata><alpha name='two'/></tarqdata>");
    folder.WriteFile("data/three.xml", "<tarqdata><alpha name='three'/></tarqdata>");

    LogCapture log;
    cl_TarqdataLoader loader;
    RecordingParser alpha;
    loader.RegisterParser("alpha", &alpha);
    Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
    groups._registerScriptLoader(&loader);
    groups.addResourceLocation(folder.PathOf("data"), "FileSystem", "TESTDATA", true);
    groups.initialiseResourceGroup("TESTDATA");

    Names names = alpha.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Names{"one", "two"}));
    for (const RecordingParser::Parsed& parsed : alpha.m_parsed)
    {
        EXPECT_EQ(parsed.group, "TESTDATA");
        EXPECT_FALSE(parsed.skip);
    }
    EXPECT_TRUE(log.Lines().empty());
}

// A chapterdata element and the record it gives.
TEST_F(TarqdataLoaderTest, ChapterdataBecomesAChapterRecord)
{
    struct Case
    {
        const char* name;
        const char* element;
        cl_Chapter expected;
    };
    cl_Chapter full;
    full.m_pimbData = "chapter1/data";
    full.m_resourceLocations = {"chapter1/fs", "chapter1/more"};
    full.m_resourceLocationsZip = {"chapter1/a.zip", "chapter1/b.zip"};
    full.m_speechLocations = {"speech1"};
    full.m_speechLocationsZip = {"speech1.zip"};
    full.m_startScene = "hall";
    full.m_title = "Title";
    full.m_subtitle = "Subtitle";
    full.m_illuName = "illu.png";
    full.m_languageFiles = {"tokens/chapter1.csv", "tokens/more.csv"};
    full.m_leafIdFiles = {"leafids/chapter1.txt"};
    cl_Chapter script;
    script.m_startScene = "return 'hall'";
    script.m_startSceneIsScript = true;
    cl_Chapter upperCaseTrue;
    upperCaseTrue.m_startScene = "hall";
    const Case cases[] = {
        {"every part, in document order",
         "<chapterdata id='c' title='Title' subtitle='Subtitle' illuname='illu.png'>"
         "<pimbdata>chapter1\\data</pimbdata>"
         "<resourcelocation type='Zip'>chapter1/a.zip</resourcelocation>"
         "<resourcelocation type='FileSystem'>chapter1\\fs</resourcelocation>"
         "<speachlocation>speech1</speachlocation>"
         "<resourcelocation>chapter1/more</resourcelocation>"
         "<speachlocation type='Zip'>speech1.zip</speachlocation>"
         "<resourcelocation type='Zip'>chapter1/b.zip</resourcelocation>"
         "<startscene>hall</startscene>"
         "<language>tokens/chapter1.csv</language><leafids>leafids\\chapter1.txt</leafids>"
         "<language>tokens/more.csv</language>"
         "</chapterdata>",
         full},
        {"a start-scene script",
         "<chapterdata id='c'><startscene isscript='true'>return 'hall'</startscene></chapterdata>", script},
        {"TRUE is not a script",
         "<chapterdata id='c'><startscene isscript='TRUE'>hall</startscene></chapterdata>", upperCaseTrue},
        {"zip only as a whole word",
         "<chapterdata id='c'><resourcelocation type='zip'>x</resourcelocation></chapterdata>",
         []
         {
             cl_Chapter chapter;
             chapter.m_resourceLocations = {"x"};
             return chapter;
         }()},
        {"missing parts are empty",
         "<chapterdata id='c'><pimbdata/><startscene isscript='true'/></chapterdata>",
         []
         {
             cl_Chapter chapter;
             chapter.m_startSceneIsScript = true;
             return chapter;
         }()},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_loader.ParseTdf("GROUP", std::string("<tarqdata>") + c.element + "</tarqdata>", "chapters.tdf",
                          false);
        const cl_Chapter& chapter = m_loader.GetChapter("c");
        EXPECT_EQ(chapter.m_pimbData, c.expected.m_pimbData);
        EXPECT_EQ(chapter.m_resourceLocations, c.expected.m_resourceLocations);
        EXPECT_EQ(chapter.m_resourceLocationsZip, c.expected.m_resourceLocationsZip);
        EXPECT_EQ(chapter.m_speechLocations, c.expected.m_speechLocations);
        EXPECT_EQ(chapter.m_speechLocationsZip, c.expected.m_speechLocationsZip);
        EXPECT_EQ(chapter.m_startScene, c.expected.m_startScene);
        EXPECT_EQ(chapter.m_title, c.expected.m_title);
        EXPECT_EQ(chapter.m_subtitle, c.expected.m_subtitle);
        EXPECT_EQ(chapter.m_illuName, c.expected.m_illuName);
        EXPECT_EQ(chapter.m_startSceneIsScript, c.expected.m_startSceneIsScript);
        EXPECT_EQ(chapter.m_languageFiles, c.expected.m_languageFiles);
        EXPECT_EQ(chapter.m_leafIdFiles, c.expected.m_leafIdFiles);
    }
    EXPECT_TRUE(m_log.Lines().empty());
}

TEST_F(TarqdataLoaderTest, ChapterIdsAndRecordsReplacedWhole)
{
    m_loader.ParseTdf("GROUP",
                      "<tarqdata>"
                      "<chapterdata id='chapter2' title='Two'><pimbdata>c2</pimbdata></chapterdata>"
                      "<chapterdata id='chapter1' title='One'><pimbdata>c1</pimbdata></chapterdata>"
                      "<chapterdata title='No id'/><chapterdata id='' title='Empty id'/>"
                      "</tarqdata>",
                      "chapters.tdf", false);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 2u);
    // A later file with the same id replaces the record whole: no pimbdata now.
    m_loader.ParseTdf("CHAPTERDATA", "<tarqdata><chapterdata id='chapter2' subtitle='Again'/></tarqdata>",
                      "patch.tdf", false);

    Names ids = {"kept"};
    m_loader.GetChapterIds(ids);
    EXPECT_EQ(ids, (Names{"kept", "chapter1", "chapter2"}));
    EXPECT_EQ(m_loader.GetChapter("chapter2").m_title, "");
    EXPECT_EQ(m_loader.GetChapter("chapter2").m_subtitle, "Again");
    EXPECT_EQ(m_loader.GetChapter("chapter2").m_pimbData, "");

    // Unloading a group keeps the chapters.
    m_loader.UnloadGroup("CHAPTERDATA");
    EXPECT_EQ(m_loader.GetChapter("chapter1").m_title, "One");
}

TEST_F(TarqdataLoaderTest, UnknownIdsGiveAnEmptyRecordAndAddNone)
{
    EXPECT_EQ(m_loader.GetChapter("nowhere").m_title, "");
    EXPECT_EQ(m_loader.GetStartScene("nowhere"), "");
    EXPECT_EQ(m_loader.GetChapterDataFile("nowhere"), "");
    Names ids;
    m_loader.GetChapterIds(ids);
    EXPECT_TRUE(ids.empty());
}

TEST_F(TarqdataLoaderTest, ChapterDataFileLiesInThePimbdataFolder)
{
    TemporaryFolder folder;
    cl_Config config(folder.PathOf("user/"), folder.PathOf("work/"), "");
    config.SetValue("pimbdata", "/data/pimb");
    m_loader.ParseTdf("GROUP",
                      "<tarqdata><chapterdata id='c'><pimbdata>chapter1</pimbdata></chapterdata></tarqdata>",
                      "chapters.tdf", false);
    EXPECT_EQ(m_loader.GetChapterDataFile("c"), "/data/pimb/chapter1");
}

TEST_F(TarqdataLoaderTest, StartSceneIsTheTextOrTheFirstStringTheScriptGivesBack)
{
    struct Case
    {
        const char* name;
        const char* script;
        const char* expected;
    } cases[] = {
        {"a number and then a string", "return 5, 'garden'", "garden"},
        {"two strings: the last returned", "return 'first', 'second'", "second"},
        {"a string and then a number", "return 'garden', 5", "garden"},
        {"reading the game's globals",
         "_globals = {difficulty = 2} if _globals.difficulty == 2 then return 'cellar' end", "cellar"},
        {"nothing returned", "local x = 1", ""},
        {"no string returned", "return 1, true", ""},
        {"a failing script", "error('no scene')", ""},
    };
    cl_LuaScriptSystem scripts;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlElement chapterdata("chapterdata");
        chapterdata.SetAttribute("id", "c");
        TiXmlElement startscene("startscene");
        startscene.SetAttribute("isscript", "true");
        startscene.InsertEndChild(TiXmlText(c.script));
        chapterdata.InsertEndChild(startscene);
        m_loader.ParseElement(&chapterdata, "GROUP", false);
        EXPECT_EQ(m_loader.GetStartScene("c"), c.expected);
    }
    EXPECT_TRUE(m_log.Contains("no scene", cl_Logger::LEVEL_ERROR));

    // Plain text is never run.
    m_loader.ParseTdf(
        "GROUP",
        "<tarqdata><chapterdata id='c'><startscene>error('run')</startscene></chapterdata></tarqdata>",
        "chapters.tdf", false);
    EXPECT_EQ(m_loader.GetStartScene("c"), "error('run')");
    EXPECT_FALSE(m_log.Contains("run'"));
}

TEST_F(TarqdataLoaderTest, StartSceneScriptWithoutScriptSystemIsLogged)
{
    m_loader.ParseTdf("GROUP",
                      "<tarqdata><chapterdata id='c'><startscene isscript='true'>return 'x'</startscene>"
                      "</chapterdata></tarqdata>",
                      "chapters.tdf", false);
    EXPECT_EQ(m_loader.GetStartScene("c"), "");
    EXPECT_TRUE(m_log.Contains("'c'", cl_Logger::LEVEL_ERROR));
}

TEST_F(TarqdataLoaderTest, UnloadChapterOfNoIdDoesNothing)
{
    EXPECT_FALSE(m_loader.UnloadChapter(""));
    EXPECT_TRUE(m_alpha.m_unloaded.empty());
}

TEST_F(TarqdataLoaderTest, CloseChapterUnloadsTheCurrentChapterAndClearsTheGameState)
{
    cl_GameState gameState;
    TiXmlElement tree("gamestate");
    ASSERT_TRUE(gameState.ReplaceTree(tree));

    m_loader.SetCurrentChapterId("chapter1");
    m_loader.CloseChapter();
    EXPECT_EQ(m_alpha.m_unloaded, (Names{"CHAPTERDATA", "SPEACHDATA"}));
    EXPECT_EQ(m_loader.GetCurrentChapterId(), "");
    EXPECT_EQ(gameState.GetRoot(), nullptr);
    EXPECT_TRUE(m_log.Contains("Unloaded chapter.", cl_Logger::LEVEL_INFO));

    // Without a current chapter only the game state is cleared.
    m_log.Clear();
    ASSERT_TRUE(gameState.ReplaceTree(tree));
    m_loader.CloseChapter();
    EXPECT_EQ(m_alpha.m_unloaded.size(), 2u);
    EXPECT_EQ(gameState.GetRoot(), nullptr);
    EXPECT_FALSE(m_log.Contains("Unloaded chapter."));
}
} // namespace
