// The script variables "_globals" as the save game stores them: written by GlobalsToXml, read back by
// GlobalsFromXml.
#include "support/LogLine.h"
#include "support/ScriptSystemFixture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <map>
#include <string>

namespace
{
// same(a, b) compares two Lua values by type and value, tables entry by entry; count(t) counts entries.
const char* const HELPERS = R"(
function same(a, b)
    if type(a) ~= type(b) then return false end
    if type(a) ~= 'table' then return a == b end
    for k, v in pairs(a) do if not same(v, rawget(b, k)) then return false end end
    for k in pairs(b) do if rawget(a, k) == nil then return false end end
    return true
end
function count(t)
    local n = 0
    for _ in pairs(t) do n = n + 1 end
    return n
end)";

std::string Compact(const TiXmlNode& node)
{
    std::string text;
    text << node;
    return text;
}

class GlobalsXml : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run(HELPERS);
    }

    // The children of the written `_globals` element by name, printed compactly.
    std::map<std::string, std::string> WrittenEntries(const TiXmlElement& globals) const
    {
        std::map<std::string, std::string> entries;
        for (const TiXmlElement* child = globals.FirstChildElement(); child;
             child = child->NextSiblingElement())
            entries[child->ValueStr()] += Compact(*child);
        return entries;
    }

    // Writes "_globals" into a data-binding element, prints it as a save file would hold it and reads
    // that text back. Returns the written `_globals` element's children as compact text.
    std::string SaveAndLoad()
    {
        TiXmlElement binding("databinding");
        m_system.GlobalsToXml(binding);
        ExpectBalanced();
        TiXmlPrinter printer;
        binding.Accept(&printer);
        TiXmlDocument document;
        document.Parse(printer.CStr());
        EXPECT_FALSE(document.Error()) << document.ErrorDesc() << "\n" << printer.CStr();
        if (document.Error())
            return std::string();
        m_system.GlobalsFromXml(*document.RootElement());
        ExpectBalanced();
        const TiXmlElement* globals = binding.FirstChildElement("_globals");
        std::string entries;
        for (const TiXmlNode* child = globals ? globals->FirstChild() : nullptr; child;
             child = child->NextSibling())
            entries += Compact(*child);
        return entries;
    }
};

TEST_F(GlobalsXml, WritesEachEntryWithItsTypes)
{
    Run("_globals = {difficulty = 2, name = 'x', flag = true, t = {5}}");
    TiXmlElement binding("databinding");
    binding.LinkEndChild(new TiXmlElement("earlier"));
    m_system.GlobalsToXml(binding);
    ExpectBalanced();

    const TiXmlElement* globals = binding.LastChild()->ToElement();
    ASSERT_NE(globals, nullptr);
    EXPECT_EQ(globals->ValueStr(), "_globals");
    EXPECT_STREQ(globals->Attribute("I"), "S");
    EXPECT_STREQ(globals->Attribute("V"), "T");
    const std::map<std::string, std::string> expected = {
        {"difficulty", R"(<difficulty I="S" V="N">2</difficulty>)"},
        {"name", R"(<name I="S" V="S">x</name>)"},
        {"flag", R"(<flag I="S" V="B">true</flag>)"},
        {"t", R"(<t I="S" V="T"><n1.000000 I="N" V="N">5</n1.000000></t>)"},
    };
    EXPECT_EQ(WrittenEntries(*globals), expected);

    Run("_globals = nil");
    m_system.GlobalsFromXml(binding);
    ExpectBalanced();
    EXPECT_TRUE(
        IsTrue("type(_globals.difficulty) == 'number' and _globals.difficulty == 2 and "
               "_globals.name == 'x' and _globals.flag == true and #_globals.t == 1 and _globals.t[1] == 5"));
    EXPECT_EQ(m_system.GetDifficulty(), 2);
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(GlobalsXml, EveryValueAndKeySurvivesSaveAndLoad)
{
    const struct
    {
        const char* what;
        const char* globals;
        const char* written; // the entries as written, when the case shows the form
    } cases[] = {
        {"empty string", "{v = ''}", R"(<v I="S" V="S" />)"},
        {"numeric string", "{v = '12'}", R"(<v I="S" V="S">12</v>)"},
        {"blank string", "{v = ' \\t\\f '}", "<v I=\"S\" V=\"S\"><![CDATA[ \t\f ]]></v>"},
        {"markup and line breaks", "{v = '<a & \"b\">\\nc'}", nullptr},
        {"zero byte", "{v = 'a\\0b'}", nullptr},
        {"0.1 + 0.2", "{v = 0.1 + 0.2}", R"(<v I="S" V="N">0.30000000000000004</v>)"},
        {"1e-7", "{v = 1e-7}", R"(<v I="S" V="N">9.9999999999999995e-08</v>)"},
        {"huge and infinite numbers", "{v = 1e300, w = -1/0}", nullptr},
        {"boolean false", "{v = false}", R"(<v I="S" V="B">false</v>)"},
        {"key with a space", "{['my key'] = 1}", R"(<k I="S" V="N" K="my key">1</k>)"},
        {"key with a leading digit", "{['1abc'] = true}", R"(<k I="S" V="B" K="1abc">true</k>)"},
        {"key with a colon", "{['a:b'] = 'c'}", R"(<k I="S" V="S" K="a:b">c</k>)"},
        {"empty key", "{[''] = 1}", R"(<k I="S" V="N" K="">1</k>)"},
        {"key beyond ASCII", "{['caf\\195\\169'] = 1}", nullptr},
        {"string key 12 of a table", "{['12'] = {1}}",
         R"(<k I="S" V="T" K="12"><n1.000000 I="N" V="N">1</n1.000000></k>)"},
        {"string key 12 of a number", "{['12'] = 1}", R"(<k I="S" V="N" K="12">1</k>)"},
        {"number key that %f keeps", "{[0.5] = 'half'}", R"(<n0.500000 I="N" V="S">half</n0.500000>)"},
        {"number key that %f would round", "{[1e-7] = 'tiny'}",
         R"(<k I="N" V="S" K="9.9999999999999995e-08">tiny</k>)"},
        {"negative and large number keys", "{[-3] = 1, [2^53 + 2] = 2}", nullptr},
        {"string key that looks like a number name", "{['n1.000000'] = 1}",
         R"(<n1.000000 I="S" V="N">1</n1.000000>)"},
        {"string key k", "{k = 1}", R"(<k I="S" V="N">1</k>)"},
        {"nested and empty tables", "{a = {b = {c = {}}}, l = {{1, 2}, {'x'}}}", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Run(std::string("_globals = ") + c.globals + "; before = _globals");
        const std::string written = SaveAndLoad();
        if (c.written)
        {
            EXPECT_EQ(written, c.written);
        }
        EXPECT_TRUE(IsTrue("_globals ~= before and same(before, _globals)")) << written;
    }
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(GlobalsXml, TablesThatContainThemselvesOrNestTooDeepAreCut)
{
    Run("_globals = {x = 1, sub = {}}; _globals.me = _globals; _globals.sub.up = _globals.sub");
    TiXmlElement binding("databinding");
    m_system.GlobalsToXml(binding);
    ExpectBalanced();
    const std::map<std::string, std::string> expected = {
        {"x", R"(<x I="S" V="N">1</x>)"},
        {"sub", R"(<sub I="S" V="T" />)"},
    };
    EXPECT_EQ(WrittenEntries(*binding.FirstChildElement("_globals")), expected);
    EXPECT_EQ(m_capture.Count(1), 2u);
    EXPECT_TRUE(m_capture.Contains("A table that contains itself is cut off where it repeats.", 1));

    m_capture.Clear();
    Run("_globals = {}; local level = _globals; for i = 1, 250 do level.n = {}; level = level.n end");
    TiXmlElement deep("databinding");
    m_system.GlobalsToXml(deep);
    ExpectBalanced();
    int depth = 0;
    for (const TiXmlElement* level = deep.FirstChildElement(); level; level = level->FirstChildElement())
        ++depth;
    EXPECT_EQ(depth, 200);
    EXPECT_TRUE(m_capture.Contains("Tables nested deeper than 200 levels are cut off.", 1));

    // Reading is cut at the same depth.
    m_capture.Clear();
    m_system.GlobalsFromXml(deep);
    ExpectBalanced();
    EXPECT_TRUE(m_capture.Lines().empty());
    TiXmlElement* innermost = deep.FirstChildElement();
    while (innermost->FirstChildElement())
        innermost = innermost->FirstChildElement();
    auto* tooDeep = new TiXmlElement("n");
    tooDeep->SetAttribute("I", "S");
    tooDeep->SetAttribute("V", "T");
    innermost->LinkEndChild(tooDeep);
    m_system.GlobalsFromXml(deep);
    ExpectBalanced();
    EXPECT_TRUE(m_capture.Contains("Tables nested deeper than 200 levels are cut off.", 1));
}

TEST_F(GlobalsXml, NothingIsWrittenWithoutATable)
{
    for (const char* globals : {"5", "nil"})
    {
        SCOPED_TRACE(globals);
        Run(std::string("_globals = ") + globals);
        m_capture.Clear();
        TiXmlElement binding("databinding");
        m_system.GlobalsToXml(binding);
        ExpectBalanced();
        EXPECT_EQ(binding.FirstChild(), nullptr);
        ASSERT_EQ(m_capture.Lines().size(), 1u);
        EXPECT_EQ(m_capture.Lines()[0].level, 2);
    }
    EXPECT_EQ(WithoutLineNumber(m_capture.Lines()[0].text),
              "'_globals' is a nil, not a table; no script variables are saved. -> "
              "source\\common\\cl_LuaScriptSystem(#) <cl_LuaScriptSystem::GlobalsToXml>");
}

TEST_F(GlobalsXml, ReadingFollowsTheRulesOfTheForm)
{
    const struct
    {
        const char* what;
        const char* entries;
        const char* check;
        const char* error; // an error line that names the fault, or null for none
    } cases[] = {
        {"no _globals element", "", "next(_globals) == nil", nullptr},
        {"no I attribute", R"(<x V="N">1</x>)", "next(_globals) == nil", nullptr},
        {"unknown I with text", R"(<x I="X" V="N">1</x>)", "next(_globals) == nil", nullptr},
        {"no V with text", R"(<x I="S">1</x>)", "next(_globals) == nil", nullptr},
        {"unknown V", R"(<x I="S" V="Q">1</x>)", "next(_globals) == nil", nullptr},
        {"empty element that is no table or string", R"(<x I="S" V="N" />)", "next(_globals) == nil",
         nullptr},
        {"only the first letter counts", R"(<x I="Sx" V="Number">1.5</x>)", "_globals.x == 1.5", nullptr},
        {"a boolean is true only as 'true'", R"(<x I="S" V="B">TRUE</x>)", "_globals.x == false", nullptr},
        {"a table ignores I and V", R"(<x I="X" V="N"><y I="S" V="N">1</y></x>)", "_globals.x.y == 1",
         nullptr},
        {"later entries replace earlier ones", R"(<x I="S" V="N">1</x><x I="S" V="S">two</x>)",
         "_globals.x == 'two'", nullptr},
        {"K gives the key", R"(<k I="N" V="S" K="2.5">a</k><k I="S" V="S" K="">b</k>)",
         "_globals[2.5] == 'a' and _globals[''] == 'b'", nullptr},
        {"a NaN key is passed over",
         R"(<k I="N" V="N" K="nan">1</k><nnan I="N" V="N">2</nnan><y I="S" V="N">3</y>)",
         "_globals.y == 3 and count(_globals) == 1",
         "The _globals entry 'k' has no number for a key; it is passed over."},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        Run("_globals = {old = 1}");
        m_capture.Clear();
        const std::string xml =
            std::string("<databinding>") +
            (*c.entries ? std::string("<_globals I=\"S\" V=\"T\">") + c.entries + "</_globals>" : "") +
            "</databinding>";
        TiXmlDocument document;
        document.Parse(xml.c_str());
        ASSERT_FALSE(document.Error()) << xml;
        m_system.GlobalsFromXml(*document.RootElement());
        ExpectBalanced();
        EXPECT_TRUE(IsTrue(c.check));
        if (c.error)
        {
            EXPECT_TRUE(m_capture.Contains(c.error, 1));
        }
        else
        {
            EXPECT_TRUE(m_capture.Lines().empty());
        }
    }
}

TEST_F(GlobalsXml, OlderSavesStillLoad)
{
    TiXmlDocument document;
    ASSERT_TRUE(document.LoadFile(QUILLMERE_TEST_DATA "common/LuaGlobalsXml_old.xml"))
        << document.ErrorDesc();
    const TiXmlElement* binding = document.RootElement()->FirstChildElement("databinding");
    ASSERT_NE(binding, nullptr);
    m_system.GlobalsFromXml(*binding);
    ExpectBalanced();
    EXPECT_TRUE(m_capture.Lines().empty());
    const char* checks[] = {
        "_globals.difficulty == 2",
        "_globals.name == 'Brother Ambrose'",
        "_globals.flag == false",
        "#_globals.visited == 2 and _globals.visited[1] == 'library' and _globals.visited[2] == 'cellar'",
        // The old form wrote a table's string key 12 as a number key.
        "_globals[12].count == 3.5 and _globals['12'] == nil",
        "type(_globals.empty) == 'table' and next(_globals.empty) == nil",
        "_globals.nothing == ''",
        "_globals.noindex == nil and _globals.oddvalue == nil",
        "count(_globals) == 7",
    };
    for (const char* check : checks)
        EXPECT_TRUE(IsTrue(check)) << check;
    EXPECT_EQ(m_system.GetDifficulty(), 2);
}
} // namespace
