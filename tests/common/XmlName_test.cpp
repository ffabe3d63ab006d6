#include "common/XmlName.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

TEST(XmlName, AcceptsWhatTinyXmlReadsBackAsAnElementName)
{
    const std::string names[] = {"characters_hero", "_x", "a.b-c:d9", "\xC3\xBCr"};
    for (const std::string& name : names)
    {
        EXPECT_TRUE(IsXmlName(name)) << name;
        TiXmlElement element(name);
        element.LinkEndChild(new TiXmlText("t"));
        TiXmlPrinter printer;
        element.Accept(&printer);
        TiXmlDocument document;
        document.Parse(printer.CStr());
        ASSERT_NE(document.RootElement(), nullptr) << name;
        EXPECT_EQ(document.RootElement()->ValueStr(), name);
    }

    const std::string others[] = {
        "",    "9a",  "-a",   ".a",  ":a",  "a b",  "a<b",   "a>",
        "a/b", "a&b", "a\"b", "a'b", "a=b", "a\tb", "a\x7F", std::string("a\0b", 3)};
    for (const std::string& text : others)
        EXPECT_FALSE(IsXmlName(text)) << text;
}
