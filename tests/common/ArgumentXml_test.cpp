#include "common/ArgumentXml.h"
#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Logger.h"
#include "support/ArgumentText.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>

namespace
{
std::string Print(const TiXmlElement& element)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    element.Accept(&printer);
    return printer.Str();
}

cl_Argument ReadBack(const std::string& xml)
{
    TiXmlDocument document;
    document.Parse(xml.c_str());
    cl_Argument value;
    ArgumentXml::Read(*document.RootElement(), "t", "v", value);
    return value;
}

TEST(ArgumentXmlTest, EveryKindOfValueReadsBackAsItWasWritten)
{
    cl_Argument values[7];
    values[1].SetInt(-3);
    values[2].SetDouble(0.1);
    values[3].SetString("a \"quoted\" & <tagged> text");
    values[4].SetBool(true);
    values[5].SetList();
    values[5].GetList()->GetArg(-1)->SetInt(1);
    values[5].GetList()->GetArg(-1)->SetList();
    values[6].SetTable();
    values[6].GetTable()->GetValue("who")->SetString("hero");
    cl_ArgTable::Pair* numbered = values[6].GetTable()->GetPair(-1);
    numbered->key.SetInt(2);
    numbered->value.SetBool(false);
    for (const cl_Argument& value : values)
    {
        TiXmlElement element("e");
        ArgumentXml::Write(element, value, "t", "v");
        EXPECT_EQ(ArgumentText(ReadBack(Print(element))), ArgumentText(value)) << Print(element);
    }
}

TEST(ArgumentXmlTest, TheStoredFormNamesTheType)
{
    cl_Argument list;
    list.SetList();
    list.GetList()->GetArg(-1)->SetDouble(2.5);
    TiXmlElement element("e");
    ArgumentXml::Write(element, list, "t", "v");
    EXPECT_EQ(Print(element), "<e t=\"list\"><item type=\"double\" value=\"2.5\" /></e>");
}

TEST(ArgumentXmlTest, OldAndUnexpectedFormsReadAsWellAsTheyCan)
{
    LogCapture log;
    const struct
    {
        const char* name;
        const char* xml;
        const char* value;
    } cases[] = {
        {"no type: a string, as older saves wrote", "<e v=\"12\"/>", "string 12"},
        {"nothing at all: the empty string", "<e/>", "string "},
        {"an unknown type: a string", "<e t=\"float\" v=\"1.5\"/>", "string 1.5"},
        {"a number that does not scan", "<e t=\"int\" v=\"many\"/>", "int 0"},
        {"an int beyond 32 bits is held at the limit", "<e t=\"int\" v=\"99999999999\"/>", "int 2147483647"},
        {"a pair without key or value", "<e t=\"table\"><pair/></e>", "{empty: empty}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ArgumentText(ReadBack(c.xml)), c.value) << c.name;
    EXPECT_TRUE(log.Contains("Stored data of the unknown type 'float' is read as a string.",
                             cl_Logger::LEVEL_WARNING));
}

TEST(ArgumentXmlTest, NestingBeyondTheScriptLimitIsCutOff)
{
    LogCapture log;
    std::string xml = "<e t=\"list\">";
    for (int level = 0; level < 250; ++level)
        xml += "<item type=\"list\">";
    for (int level = 0; level < 250; ++level)
        xml += "</item>";
    xml += "</e>";
    const cl_Argument value = ReadBack(xml);
    EXPECT_EQ(value.GetType(), cl_Argument::TYPE_LIST);
    EXPECT_TRUE(log.Contains("nests deeper than", cl_Logger::LEVEL_ERROR));
}
} // namespace
