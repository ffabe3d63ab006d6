#include "gamecomponents/SaveGameFile.h"

#include "common/XmlParse.h"
#include "common/cl_Logger.h"
#include "gamecomponents/SaveEntry.h"
#include "support/LogCapture.h"
#include "support/PrintedXml.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <cstdlib>
#include <string>

namespace
{
const std::string SAVES = QUILLMERE_TEST_DATA "gamecomponents/saves/";

// A fixture file printed as TinyXML prints it, so that layout does not count.
std::string PrintedFile(const std::string& path)
{
    TiXmlDocument document;
    document.Parse(ReadTextFile(path).c_str());
    return PrintedXml(document.RootElement());
}

// Runs the test in the time zone UTC, so that dates do not depend on the machine.
class SaveGameHeaders : public testing::Test
{
protected:
    SaveGameHeaders()
    {
        const char* zone = std::getenv("TZ");
        m_hadZone = zone != nullptr;
        m_zone = zone ? zone : "";
        setenv("TZ", "UTC", 1);
        tzset();
    }
    ~SaveGameHeaders() override
    {
        if (m_hadZone)
            setenv("TZ", m_zone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

private:
    bool m_hadZone;
    std::string m_zone;
};

TEST(SaveGameConversion, MendsTheGamesOfOlderVersions)
{
    const struct
    {
        const char* name;
        const char* file;
        const char* version;  // in place of the file's; nullptr keeps it
        const char* chapter;  // in place of the file's; nullptr keeps it
        const char* expected; // the converted game state; nullptr: unchanged
    } cases[] = {
        {"1.00 fair after the teacher's topic", "fair_done.tsg", nullptr, nullptr, "fair_done.converted.xml"},
        {"1.00 fair before the teacher's topic", "fair_open.tsg", nullptr, nullptr,
         "fair_open.converted.xml"},
        {"an explicit 1.00 is 1.00", "fair_done.tsg", "1.00", nullptr, "fair_done.converted.xml"},
        {"a later version's fair stays", "fair_done.tsg", "1.01", nullptr, nullptr},
        {"another chapter stays", "fair_done.tsg", nullptr, "chapter3", nullptr},
        {"the termite's click mesh is shown", "termite.tsg", nullptr, nullptr, "termite.converted.xml"},
        {"in version 1.00 too", "termite.tsg", "1.00", nullptr, "termite.converted.xml"},
        {"a termite section without characters stays", "fair_done.tsg", nullptr, "chapter4_3", nullptr},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        TiXmlElement* savegame = SaveGameFile::Parse(document, ReadTextFile(SAVES + c.file), c.file);
        ASSERT_NE(savegame, nullptr);
        if (c.version)
            savegame->SetAttribute("version", c.version);
        if (c.chapter)
            savegame->FirstChildElement("chapter")->FirstChild()->SetValue(c.chapter);
        const std::string before = PrintedXml(savegame->FirstChildElement("gamestate"));

        SaveGameFile::Convert(*savegame);
        EXPECT_EQ(PrintedXml(savegame->FirstChildElement("gamestate")),
                  c.expected ? PrintedFile(SAVES + c.expected) : before);
    }
}

TEST(SaveGameConversion, AFileWithoutGameStateOrChapterIsLeftAlone)
{
    for (const char* text : {"<savegame><chapter>chapter2</chapter></savegame>",
                             "<savegame><gamestate><logics/></gamestate></savegame>",
                             "<savegame><chapter/><gamestate/></savegame>"})
    {
        TiXmlDocument document;
        TiXmlElement* savegame = SaveGameFile::Parse(document, text, "x.tsg");
        ASSERT_NE(savegame, nullptr);
        const std::string before = PrintedXml(savegame);
        SaveGameFile::Convert(*savegame);
        EXPECT_EQ(PrintedXml(savegame), before) << text;
    }
}

TEST(SaveGameFiles, OnlyWellFormedSaveGamesOfKnownVersionsWithAGameStateLoad)
{
    const struct
    {
        const char* name;
        std::string text;
        bool parses;
        bool loads;
        const char* logged; // "" for nothing
    } cases[] = {
        {"no version: 1.00", "<savegame><gamestate/></savegame>", true, true, ""},
        {"1.00", "<savegame version='1.00'><gamestate/></savegame>", true, true, ""},
        {"1.01", "<savegame version='1.01'><gamestate/></savegame>", true, true, ""},
        {"1.02", "<savegame version='1.02'><gamestate/></savegame>", true, true, ""},
        {"1.03", "<savegame version='1.03'><gamestate/></savegame>", true, true, ""},
        {"1.04 is newer than this game", "<savegame version='1.04'><gamestate/></savegame>", true, false,
         "version '1.04'"},
        {"an empty version", "<savegame version=''><gamestate/></savegame>", true, false, "version ''"},
        {"no game state", "<savegame version='1.03'><name>x</name></savegame>", true, false, "no game state"},
        {"empty", "", false, false, "no XML"},
        {"cut short", "<savegame version='1.03'><gamestate><logics>", false, false, "no XML"},
        {"not XML", "savegame", false, false, "no XML"},
        {"broken UTF-8 at the end", std::string("<savegame><name>\xE2\x82"), false, false, "no XML"},
        {"another root", "<gamestate/>", false, false, "no element 'savegame'"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        LogCapture log;
        TiXmlDocument document;
        const TiXmlElement* savegame = SaveGameFile::Parse(document, c.text, "slot.tsg");
        EXPECT_EQ(savegame != nullptr, c.parses);
        EXPECT_EQ(savegame && SaveGameFile::CanLoad(*savegame, "slot.tsg"), c.loads);
        if (*c.logged)
        {
            EXPECT_TRUE(log.Contains(c.logged, cl_Logger::LEVEL_ERROR));
            EXPECT_TRUE(log.Contains("slot.tsg", cl_Logger::LEVEL_ERROR));
        }
        else
        {
            EXPECT_TRUE(log.Lines().empty());
        }
    }
}

TEST_F(SaveGameHeaders, TheHeaderReadsBackAsItWasWritten)
{
    const struct
    {
        const char* name;
        std::string playerName;
        int64_t time;
        int year;
        int month;
        int day;
        int hour;
    } cases[] = {
        {"characters XML escapes", "Tom & Jerry <3> \"'", 1262304000, 2010, 1, 1, 0},
        {"text that looks escaped already", "R&amp;D &lt;x&gt;", 1262304000, 2010, 1, 1, 0},
        {"a date past 2038", "later", 4102444800LL + 13 * 3600, 2100, 1, 1, 13},
        {"plain", "Kapitel 1", 1700000000, 2023, 11, 14, 22},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        SaveEntry written;
        written.name = c.playerName;
        written.chapter = "chapter1";
        written.section = "chapter1_2";
        written.date.time = c.time;
        written.played = 3725;
        TiXmlElement gamestate("gamestate");
        TiXmlElement* databinding = new TiXmlElement("databinding");
        gamestate.LinkEndChild(databinding);
        TiXmlDocument globals;
        globals.Parse("<_globals I='S' V='T'><difficulty I='S' V='N'>3</difficulty></_globals>");
        databinding->InsertEndChild(*globals.RootElement());

        TiXmlDocument document;
        const TiXmlElement* savegame =
            SaveGameFile::Parse(document, SaveGameFile::Write(written, gamestate), "slot.tsg");
        ASSERT_NE(savegame, nullptr);
        EXPECT_STREQ(savegame->Attribute("version"), "1.03");
        EXPECT_TRUE(SaveGameFile::CanLoad(*savegame, "slot.tsg"));
        SaveEntry read;
        SaveGameFile::ReadHeader(*savegame, "/saves/slot.tsg", read);
        EXPECT_EQ(read.file, "/saves/slot.tsg");
        EXPECT_EQ(read.name, c.playerName);
        EXPECT_EQ(read.chapter, "chapter1");
        EXPECT_EQ(read.section, "chapter1_2");
        EXPECT_EQ(read.played, 3725);
        EXPECT_EQ(read.difficulty, 3);
        EXPECT_EQ(read.date.time, c.time);
        EXPECT_EQ(read.date.year, c.year);
        EXPECT_EQ(read.date.month, c.month);
        EXPECT_EQ(read.date.day, c.day);
        EXPECT_EQ(read.date.hour, c.hour);
    }
}

TEST(SaveGameWriting, TheGameStateFollowsTheHeaderAsTheLastChildOfSavegame)
{
    SaveEntry written;
    written.name = "A & B";
    written.chapter = "chapter1";
    written.date.time = 1700000000;
    written.played = 12;
    TiXmlDocument document;
    document.Parse("<gamestate><logics><logic idref=\"items_key\"><state stateid=\"lying\"/></logic>"
                   "</logics><currentchapter>chapter1_2</currentchapter></gamestate>");
    EXPECT_EQ(SaveGameFile::Write(written, *document.RootElement()),
              "<savegame version=\"1.03\">\n"
              "    <name escaped=\"once\">A &amp; B</name>\n"
              "    <chapter>chapter1</chapter>\n"
              "    <section />\n"
              "    <datetime>1700000000</datetime>\n"
              "    <played>12</played>\n"
              "    <gamestate>\n"
              "        <logics>\n"
              "            <logic idref=\"items_key\">\n"
              "                <state stateid=\"lying\" />\n"
              "            </logic>\n"
              "        </logics>\n"
              "        <currentchapter>chapter1_2</currentchapter>\n"
              "    </gamestate>\n"
              "</savegame>\n");
}

TEST(SaveGameWriting, ADeepGameStateIsPrintedAsTheWholeDocumentWouldBe)
{
    for (const int levels : {3, 40})
    {
        TiXmlElement gamestate("gamestate");
        TiXmlElement* inner = &gamestate;
        for (int level = 0; level < levels; ++level)
            inner = inner->LinkEndChild(new TiXmlElement("room"))->ToElement();
        SaveEntry written;
        written.chapter = "chapter1";
        TiXmlDocument document;
        document.Parse(SaveGameFile::Write(written, TiXmlElement("gamestate")).c_str());
        document.RootElement()->InsertEndChild(gamestate);
        document.RootElement()->RemoveChild(document.RootElement()->FirstChildElement("gamestate"));
        EXPECT_EQ(SaveGameFile::Write(written, gamestate), PrintXml(document)) << levels << " levels";
    }
}

TEST_F(SaveGameHeaders, OlderHeadersReadAsTheyWereMeant)
{
    const struct
    {
        const char* name;
        const char* file;
        const char* playerName;
        int64_t time;
        int year;
        int played;
        int difficulty;
    } cases[] = {
        // Escaped twice by the old writer; its difficulty printed with "%f".
        {"a 1.00 file", "fair_done.tsg", "Jahrmarkt & Zelt", 1262304000, 2010, 3725, 2},
        {"a 1.03 file of this game, dated 2100", "termite.tsg", "Termitenhügel", 4102444800LL, 2100, 90061,
         0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        TiXmlDocument document;
        const TiXmlElement* savegame = SaveGameFile::Load(document, SAVES + c.file);
        ASSERT_NE(savegame, nullptr);
        SaveEntry entry;
        SaveGameFile::ReadHeader(*savegame, c.file, entry);
        EXPECT_EQ(entry.name, c.playerName);
        EXPECT_EQ(entry.date.time, c.time);
        EXPECT_EQ(entry.date.year, c.year);
        EXPECT_EQ(entry.played, c.played);
        EXPECT_EQ(entry.difficulty, c.difficulty);
    }
}

TEST(SaveGameFiles, AHeaderWithoutFieldsLeavesTheEntryAsItWas)
{
    SaveEntry entry;
    entry.name = "kept";
    entry.chapter = "kept";
    entry.date.time = 77;
    entry.played = 5;
    entry.difficulty = 9;
    TiXmlDocument document;
    const TiXmlElement* savegame =
        SaveGameFile::Parse(document, "<savegame><name/><chapter></chapter></savegame>", "x.tsg");
    ASSERT_NE(savegame, nullptr);
    SaveGameFile::ReadHeader(*savegame, "x.tsg", entry);
    EXPECT_EQ(entry.name, "kept");
    EXPECT_EQ(entry.chapter, "kept");
    EXPECT_EQ(entry.date.time, 77);
    EXPECT_EQ(entry.played, 5);
    // No game state: no difficulty.
    EXPECT_EQ(entry.difficulty, 0);
}
} // namespace
