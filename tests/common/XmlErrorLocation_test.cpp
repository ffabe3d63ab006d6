#include "common/XmlErrorLocation.h"

#include "common/XmlParse.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace
{
TEST(XmlErrorLocation, NamesTheRowAndColumnOfEveryParseError)
{
    const struct
    {
        const char* name;
        std::string text;
        int row;
        int column;
    } cases[] = {
        {"an end tag that does not match", "<config>\n  <a>1</a>\n  <b>2</c>\n</config>\n", 3, 7},
        {"the root left open", "<config>\n<a>1</a>\n", 3, 1},
        // TinyXML loses the place of these two and gives row 0.
        {"the text ends inside a tag", "<config><gamedata>data/</gamedata", 1, 33},
        {"the text ends inside a tag on its third row", "<config>\n  <a>1</a>\n</config", 3, 8},
        {"no element at all", "\n\n  not xml", 3, 3},
        {"an empty text", "", 1, 1},
        {"characters, not bytes, are columns", "<c>\xC3\xA4\xC3\xB6</c", 1, 8},
        {"the parser stops at a zero byte", std::string("<config><a>1</a>\0<b/></config>", 30), 1, 16},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        ParseXml(document, c.text, c.name);
        ASSERT_TRUE(document.Error());
        const XmlErrorLocation location = LocateXmlError(document, c.text);
        EXPECT_EQ(location.row, c.row);
        EXPECT_EQ(location.column, c.column);
    }
}
} // namespace
