#include "common/cl_Localizer.h"
#include "support/LogCapture.h"

#include <OgreDataStream.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
void LoadTokenFile(cl_Localizer& localizer, const std::string& content,
                   const std::string& name = "chapter1_tokens.csv")
{
    std::string bytes = content;
    Ogre::MemoryDataStream stream(name, bytes.data(), bytes.size());
    localizer.LoadTokens(stream);
}

class LocalizerTest : public testing::Test
{
protected:
    void LoadTokenFile(const std::string& content, const std::string& name = "chapter1_tokens.csv")
    {
        ::LoadTokenFile(m_localizer, content, name);
    }

    // Hands the localizer the first element of the XML text, as the data-file loader would.
    void ParseLanguage(const char* xml, bool skip = false)
    {
        TiXmlDocument document;
        document.Parse(xml);
        ASSERT_FALSE(document.Error()) << document.ErrorDesc();
        m_localizer.ParseElement(document.RootElement(), "GAMEDATA", skip);
    }

    static platform::LocalTime Date(int year, int month, int day, int hour = 0, int minute = 0)
    {
        platform::LocalTime date;
        date.year = year;
        date.month = month;
        date.day = day;
        date.hour = hour;
        date.minute = minute;
        return date;
    }

    cl_Localizer m_localizer;
};

TEST(LocalizerTokenFile, LineFields)
{
    struct Case
    {
        const char* what;
        const char* line;
        const char* name;
        const char* text; // null: the line gives no token of that name
    } cases[] = {
        {"plain fields", "name;text", "name", "text"},
        {"fields after the second are ignored", "name;text;comment;more", "name", "text"},
        {"empty text field", "name;", "name", ""},
        {"quoted text", "name;\"quoted text\"", "name", "quoted text"},
        {"';' inside quotes is dropped", "name;\"one; two\";x", "name", "one two"},
        {"quoted name", "\"na;me\";text", "name", "text"},
        {"';' after a closing quote leaves the quotes", "\"name\";text;comment", "name", "text"},
        {"doubled quote inside quotes gives one", "name;\"say \"\"hi\"\"\"", "name", "say \"hi\""},
        {"quoted field of quotes only", "name;\"\"\"q\"\"\"", "name", "\"q\""},
        // An empty quoted field reads as one quote that stays open, so the rest of the line joins it.
        {"empty quoted field", "name;\"\";more", "name", "\"more"},
        // A text after a closing quote is still quoted: its ';' is dropped and the fields run together.
        {"text after a closing quote", "name;\"ab\"cd;x", "name", "abcdx"},
        {"quote inside an unquoted field opens quotes", "name;it\"s;x", "name", "itsx"},
        {"CR of a CRLF line", "name;text\r", "name", "text"},
        {"UTF-8 passes", "name;Grüße", "name", "Grüße"},
        {"non-UTF-8 bytes pass", "name;\xE4\xFF\x80", "name", "\xE4\xFF\x80"},
        {"missing text field", "name", "name", nullptr},
        {"whole line quoted", "\"name;text\"", "name", nullptr},
    };
    for (const Case& c : cases)
    {
        cl_Localizer localizer;
        LoadTokenFile(localizer, c.line);
        EXPECT_EQ(localizer.FindToken(c.name), c.text ? c.text : c.name) << c.what;
    }
}

TEST_F(LocalizerTest, TokenFileLines)
{
    LogCapture log;
    LoadTokenFile("\xEF\xBB\xBF"
                  "first;1\r\n"
                  "\r\n"
                  "\n"
                  "second;2\n"
                  "lonely\n"
                  "first;replaced\n"
                  "last;3",
                  "lang/chapter1.csv");

    EXPECT_EQ(m_localizer.FindToken("first"), "replaced");
    EXPECT_EQ(m_localizer.FindToken("second"), "2");
    EXPECT_EQ(m_localizer.FindToken("last"), "3");
    EXPECT_EQ(m_localizer.FindToken("lonely"), "lonely");
    EXPECT_EQ(m_localizer.FindToken(""), "");
    // Only the line with a name but no text is worth a word; empty lines pass quietly.
    ASSERT_EQ(log.Count(cl_Logger::LEVEL_WARNING), 1u);
    EXPECT_TRUE(log.Contains("'lang/chapter1.csv' line 5", cl_Logger::LEVEL_WARNING));
}

TEST_F(LocalizerTest, TokensAccumulateAcrossFilesAndGroups)
{
    ParseLanguage("<language><tokens>menu_play|Play</tokens></language>");
    LoadTokenFile("chapter_title;The Mill");
    m_localizer.UnloadGroup("CHAPTERDATA");
    m_localizer.UnloadGroup("SPEACHDATA");
    EXPECT_EQ(m_localizer.FindToken("menu_play"), "Play");
    EXPECT_EQ(m_localizer.FindToken("chapter_title"), "The Mill");
}

TEST_F(LocalizerTest, GetText)
{
    LoadTokenFile("greet;Hello\n"
                  "empty;\n"
                  "self;x $self$ y\n"
                  "percent;100%s\n");
    struct Case
    {
        const char* what;
        const char* text;
        const char* result;
    } cases[] = {
        {"token in a text", "$greet$, player", "Hello, player"},
        {"unknown name stands bare", "say $unknown$!", "say unknown!"},
        {"single '$' stays", "a $ b", "a $ b"},
        {"unpaired '$' after a pair stays", "$greet$ costs $3", "Hello costs $3"},
        {"adjacent references", "$greet$$greet$", "HelloHello"},
        {"any pair counts", "$5 and $10", "5 and 10"},
        {"empty name", "a$$b", "ab"},
        {"empty token text", "[$empty$]", "[]"},
        {"token text is not expanded again", "$self$", "x $self$ y"},
        {"'%' in a token text", "$percent$", "100%s"},
        {"no reference", "plain", "plain"},
        {"empty text", "", ""},
        {"other bytes pass", "\xFF$greet$\xFE", "\xFFHello\xFE"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_localizer.GetText(c.text), c.result) << c.what;
}

TEST_F(LocalizerTest, FormatDate)
{
    struct Case
    {
        platform::LocalTime date;
        const char* format;
        const char* result;
    } cases[] = {
        {Date(2010, 3, 5), "DD.MM.YYYY", "05.03.2010"},
        {Date(2010, 3, 5), "D.M.YY", "5.3.10"},
        {Date(2010, 3, 5), "YYYY-MM-DD", "2010-03-05"},
        {Date(2005, 11, 23), "DD/MM/YY", "23/11/05"},
        {Date(2005, 11, 23), "M/D/YYYY", "11/23/2005"},
        {Date(2010, 3, 5), "no placeholders", "no placeholders"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_localizer.FormatDate(c.date, c.format), c.result) << c.format;
}

TEST_F(LocalizerTest, FormatTime)
{
    struct Case
    {
        int hour;
        int minute;
        const char* format;
        const char* result;
    } cases[] = {
        {0, 5, "h:MM A", "12:05 am"},  {12, 30, "h:MM A", "12:30 pm"}, {11, 59, "h:MM A", "11:59 am"},
        {23, 0, "h:MM A", "11:00 pm"}, {13, 7, "HH:MM", "13:07"},      {7, 3, "HH:MM", "07:03"},
        {7, 3, "H:M", "7:3"},          {21, 5, "hh:MM A", "09:05 pm"}, {0, 0, "hh:MM", "12:00"},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(m_localizer.FormatTime(Date(2010, 3, 5, c.hour, c.minute), c.format), c.result)
            << c.format << " at " << c.hour << ":" << c.minute;
    }
}

TEST_F(LocalizerTest, FormatDateTimeUsesTheLanguageFormats)
{
    const platform::LocalTime date = Date(2010, 3, 5, 13, 7);
    EXPECT_EQ(m_localizer.FormatDateTime(date), "2010-03-05 1:07 pm");

    ParseLanguage("<language><dateformat>DD.MM.YYYY</dateformat><timeformat>HH:MM Uhr</timeformat>"
                  "<datetimeformat>am date um time</datetimeformat></language>");
    // Placeholders reach into plain words of a format too: the "h" of "Uhr" is the hour.
    EXPECT_EQ(m_localizer.FormatDateTime(date), "am 05.03.2010 um 13:07 U1r");
}

TEST_F(LocalizerTest, FormatDuration)
{
    ParseLanguage("<language><tokens>_hour|hour\n_hours|hours\n_minute|minute\n_minutes|minutes</tokens>"
                  "</language>");
    struct Case
    {
        int seconds;
        const char* result;
    } cases[] = {
        {3600, "1 hour"},
        {3720, "1 hour, 2 minutes"},
        {7260, "2 hours, 1 minute"},
        {7200, "2 hours"},
        {60, "1 minute"},
        {3659, "1 hour"},
        {119, "1 minute"},
        {59, ""},
        {0, ""},
        {-120, ""},
        {36000, "10 hours"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(m_localizer.FormatDuration(c.seconds), c.result) << c.seconds;
}

TEST_F(LocalizerTest, FormatDurationWithoutTokensShowsTheirNames)
{
    EXPECT_EQ(m_localizer.FormatDuration(3720), "1 _hour, 2 _minutes");
}

TEST_F(LocalizerTest, ParseLanguageElement)
{
    ParseLanguage("<language>\n"
                  "  <tokens>\n"
                  "    menu_play|Play\n"
                  "\tmenu_quit|Quit | now \r\n"
                  "    pipes|a|b\n"
                  "    no pipe here\n"
                  "    |nameless\n"
                  "    menu_play|Play again\n"
                  "    empty|\n"
                  "  </tokens>\n"
                  "  <dateformat>D.M.YYYY</dateformat>\n"
                  "  <timeformat>HH:MM</timeformat>\n"
                  "</language>");

    EXPECT_EQ(m_localizer.FindToken("menu_play"), "Play again");
    EXPECT_EQ(m_localizer.FindToken("menu_quit"), "Quit | now");
    EXPECT_EQ(m_localizer.FindToken("pipes"), "a|b");
    EXPECT_EQ(m_localizer.FindToken("no pipe here"), "no pipe here");
    EXPECT_EQ(m_localizer.FindToken(""), "");
    EXPECT_EQ(m_localizer.FindToken("empty"), "");
    EXPECT_EQ(m_localizer.FormatDateTime(Date(2010, 3, 5, 9, 4)), "5.3.2010 09:04");
}

TEST_F(LocalizerTest, ParseLanguageKeepsWhatIsMissingOrSkipped)
{
    ParseLanguage("<language><tokens>a|1</tokens><dateformat>DD.MM.YY</dateformat></language>");
    ParseLanguage("<language><dateformat></dateformat><timeformat/><tokens/></language>");
    ParseLanguage("<language><tokens>a|2\nb|2</tokens><dateformat>YYYY</dateformat></language>", true);
    m_localizer.ParseElement(nullptr, "GAMEDATA", false);

    EXPECT_EQ(m_localizer.FindToken("a"), "1");
    EXPECT_EQ(m_localizer.FindToken("b"), "b");
    EXPECT_EQ(m_localizer.FormatDateTime(Date(2010, 3, 5, 0, 5)), "05.03.10 12:05 am");
}
} // namespace
