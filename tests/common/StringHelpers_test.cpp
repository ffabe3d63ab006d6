#include "common/StringHelpers.h"

#include <gtest/gtest.h>

namespace
{
TEST(Format, FormatsLikePrintf)
{
    EXPECT_EQ(Format("%s=%i (%.2f)", "fpscap", 100, 0.5), "fpscap=100 (0.50)");
}

TEST(Format, CutsLongTextsInsideTheBuffer)
{
    const std::string longText(5000, 'x');
    const std::string result = Format("<%s>", longText.c_str());
    EXPECT_EQ(result.size(), 1023u);
    EXPECT_EQ(result.substr(0, 2), "<x");
    EXPECT_EQ(Format("%s", std::string(1023, 'y').c_str()).size(), 1023u);
    EXPECT_EQ(Format("%s", std::string(1022, 'y').c_str()).size(), 1022u);
}

TEST(StartsWith, ComparesTheBeginningByteForByte)
{
    const struct
    {
        const char* text;
        const char* prefix;
        bool starts;
    } cases[] = {
        {"sp_default", "sp_", true},
        {"xsp_default", "sp_", false},
        {"SP_default", "sp_", false},
        {"sp", "sp_", false},
        {"", "", true},
        {"smx_wall", "sm_", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(StartsWith(c.text, c.prefix), c.starts) << c.text << " " << c.prefix;
}

TEST(SplitAtFirst, Cases)
{
    struct Case
    {
        const char* text;
        const char* delimiter;
        const char* head;
        const char* rest;
    } cases[] = {
        {"key=value", "=", "key", "value"},
        {"a=b=c", "=", "a", "b=c"},
        {"no delimiter", "=", "", "no delimiter"},
        {"name|text", "|", "name", "text"},
        {"x::y", "::", "x", "y"},
        {"text", "", "", "text"},
        {"=value", "=", "", "value"},
        {"key=", "=", "key", ""},
    };
    for (const Case& c : cases)
    {
        std::string rest = "stale";
        EXPECT_EQ(SplitAtFirst(c.text, c.delimiter, rest), c.head) << c.text;
        EXPECT_EQ(rest, c.rest) << c.text;
    }
}

TEST(ReplaceAll, Cases)
{
    struct Case
    {
        const char* text;
        const char* search;
        const char* replacement;
        const char* result;
        int count;
    } cases[] = {
        {"dd.mm.yyyy", "dd", "05", "05.mm.yyyy", 1},
        {"a-b-c", "-", "+", "a+b+c", 2},
        // The search starts again at the beginning, so new occurrences are replaced too.
        {"abb", "ab", "a", "a", 2},
        {"nothing", "x", "y", "nothing", 0},
        {"", "x", "y", "", 0},
        {"text", "", "y", "text", 0},
        // A replacement that holds the searched text must still end.
        {"a-b", "-", "--", "a--b", 1},
        {"xx", "x", "xx", "xxxx", 2},
        {"hh:mm", "h", "hh", "hhhh:mm", 2},
    };
    for (const Case& c : cases)
    {
        std::string text = c.text;
        EXPECT_EQ(ReplaceAll(text, c.search, c.replacement), c.count) << c.text;
        EXPECT_EQ(text, c.result) << c.text;
    }
}

TEST(EscapeXml, EachPositionIsEscapedOnce)
{
    struct Case
    {
        const char* text;
        const char* escaped;
    } cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"a<b & \"c\"", "a&lt;b &amp; &quot;c&quot;"},
        {"&amp;", "&amp;amp;"},
        {"&lt;", "&amp;lt;"},
        {"it's", "it&apos;s"},
        {"<>&\"'", "&lt;&gt;&amp;&quot;&apos;"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(EscapeXml(c.text), c.escaped) << c.text;
}
} // namespace
