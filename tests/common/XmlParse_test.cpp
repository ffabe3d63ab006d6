#include "common/XmlParse.h"

#include "support/LogCapture.h"
#include "support/RepeatedText.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace
{
std::string Nested(int levels)
{
    return Repeat("<a>", levels) + Repeat("</a>", levels);
}

TEST(ParseXml, RefusesDocumentsDeeperThanTheLimitWithALogLineNamingThem)
{
    struct Case
    {
        const char* name;
        int levels;
        bool refused;
    } cases[] = {
        {"at the limit", MAX_XML_DEPTH, false},
        {"one level more", MAX_XML_DEPTH + 1, true},
        {"a save game of 40,000 levels", 40000, true},
    };
    for (const Case& c : cases)
    {
        LogCapture log;
        TiXmlDocument document;
        ParseXml(document, Nested(c.levels), "deep.tsg");
        EXPECT_EQ(document.Error(), c.refused) << c.name;
        EXPECT_EQ(document.RootElement() == nullptr, c.refused) << c.name;
        EXPECT_EQ(log.Contains("deep.tsg nests elements"), c.refused) << c.name;
    }
}

TEST(ParseXml, ARefusedDocumentForgetsWhatItHeld)
{
    LogCapture log;
    TiXmlDocument document;
    ParseXml(document, "<old/>", "old.xml");
    ParseXml(document, Nested(MAX_XML_DEPTH + 1), "deep.xml");
    EXPECT_TRUE(document.Error());
    EXPECT_EQ(document.FirstChild(), nullptr);
}

TEST(LoadXmlFile, RefusesADeepFileByItsPath)
{
    TemporaryFolder folder;
    folder.WriteFile("config.xml", "<config>" + Nested(50000) + "</config>");
    LogCapture log;
    TiXmlDocument document;
    EXPECT_TRUE(LoadXmlFile(document, folder.PathOf("config.xml")));
    EXPECT_TRUE(document.Error());
    EXPECT_TRUE(log.Contains(folder.PathOf("config.xml") + " nests elements 50001 levels deep"));
}

TEST(PrintXml, IndentsAsTinyXmlDoesUpToAFewDozenLevels)
{
    TiXmlDocument document;
    ParseXml(document, "<a x='1'><b>text</b><c/></a>", "small.xml");
    EXPECT_EQ(PrintXml(document), "<a x=\"1\">\n    <b>text</b>\n    <c />\n</a>\n");
}

TEST(PrintXml, GrowsWithTheTreeNotWithItsSizeTimesItsDepth)
{
    // A deep chain repeated, as a hostile save could hold it: indentation would write 4 x 500 x 500 / 2
    // bytes per chain.
    std::string text = "<save>";
    for (int i = 0; i < 20; ++i)
        text += Nested(MAX_XML_DEPTH - 1);
    text += "</save>";
    TiXmlDocument document;
    ParseXml(document, text, "chains.tsg");
    ASSERT_FALSE(document.Error());
    const std::string printed = PrintXml(document);
    EXPECT_LT(printed.size(), 2 * text.size());
    TiXmlDocument reread;
    ParseXml(reread, printed, "printed");
    EXPECT_FALSE(reread.Error());
}
} // namespace
