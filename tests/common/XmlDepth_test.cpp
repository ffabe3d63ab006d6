#include "common/XmlDepth.h"

#include "support/RepeatedText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const char* const UTF8 = "<?xml version='1.0' encoding='UTF-8'?>";

TEST(XmlDepth, CountsTheLevelsTinyXmlWouldNest)
{
    struct Case
    {
        const char* name;
        std::string text;
        int depth;
    } cases[] = {
        {"nothing", "", 0},
        {"text at the top ends the document", "text <a><b/></a>", 0},
        {"one empty element", "<a/>", 1},
        {"siblings do not nest", "<a><b/><b></b><b/></a>", 2},
        {"several top-level elements", "<a/><b><c/></b>", 2},
        {"a quoted '/>' does not close", "<a x='/>' y=\"/>\"><b/></a>", 2},
        {"a quoted '>' does not open", "<a x='>'><b/></a>", 2},
        {"comments, CDATA and unknown tags hide tags", "<a><!-- <b> --><![CDATA[<c><d>]]><!DOCTYPE <e></a>",
         1},
        {"end tags at the top are unknown tags", "</a></a><a><b/></a>", 2},
        {"an unreserved declaration attribute ends at '>'", "<?xml x='><a><a>'?>", 2},
        {"a declaration's version may hold '>'", "<?xml version='><a><a>'?><b/>", 1},
        {"bytes read one by one before a declaration", "<a>\xC3<b></b></a>", 2},
        {"after a declaration the byte reading counts too", std::string(UTF8) + "<a>\xC3<b></b></a>", 2},
        {"a swallowed '<' leaves the end tag unread", std::string(UTF8) + "<a>\xC3</a><a>\xC3</a><a>\xC3</a>",
         3},
        {"a byte order mark reads UTF-8 from the start", "\xEF\xBB\xBF<a>\xC3</a><a></a>", 2},
        {"a byte order mark before a name is space", std::string(UTF8) + "<a><\xEF\xBB\xBF b><c/></b></a>",
         3},
        {"deep nesting", Repeat("<a>", 40000), 40000},
        {"deep nesting in a quoted value stays flat", "<a x='" + Repeat("<a>", 1000) + "'/>", 1},
        {"the text ends at its first zero byte", std::string("<a>\0<b><c>", 10), 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(XmlDepth(c.text), c.depth) << c.name;
}
} // namespace
