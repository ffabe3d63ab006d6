#include "common/LogCall.h"
#include "common/cl_Localizer.h"
#include "common/cl_TarqLog.h"
#include "support/LogCapture.h"

#include <OgreLogManager.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>

namespace
{
// Catches what reaches OGRE's log without writing a file.
class OgreLogFixture : public testing::Test, public Ogre::LogListener
{
protected:
    void SetUp() override
    {
        m_logManager = std::make_unique<Ogre::LogManager>();
        Ogre::Log* log = m_logManager->createLog("test.log", true, false, true);
        log->addListener(this);
        m_log.SetMask(0xFFFFFFFFu & ~0x10u); // as the application sets it at start
    }
    void TearDown() override { m_logManager.reset(); }

    void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel level, bool, const Ogre::String&,
                       bool&) override
    {
        m_ogreLines.push_back(message);
        m_ogreLevels.push_back(level);
    }

    std::unique_ptr<Ogre::LogManager> m_logManager;
    cl_TarqLog m_log;
    std::vector<std::string> m_ogreLines;
    std::vector<Ogre::LogMessageLevel> m_ogreLevels;
};

TEST_F(OgreLogFixture, LevelMaskAndPrefixes)
{
    struct Case
    {
        int level;
        bool written;
        const char* ogreLine;
        Ogre::LogMessageLevel ogreLevel;
    } cases[] = {
        {0x11, false, nullptr, Ogre::LML_NORMAL},        {0x44, true, ">>> text", Ogre::LML_NORMAL},
        {4, true, ">>> text", Ogre::LML_NORMAL},         {3, true, ">>> WARNING:text", Ogre::LML_NORMAL},
        {2, true, ">>> WARNING:text", Ogre::LML_NORMAL}, {1, true, ">>> ERROR:text", Ogre::LML_CRITICAL},
        {8, true, ">>> text", Ogre::LML_NORMAL},         {0, true, ">>> text", Ogre::LML_NORMAL},
    };
    for (const Case& c : cases)
    {
        m_ogreLines.clear();
        m_ogreLevels.clear();
        EXPECT_EQ(m_log.Log("text", c.level), c.written) << c.level;
        if (!c.written)
        {
            EXPECT_TRUE(m_ogreLines.empty()) << c.level;
            continue;
        }
        ASSERT_EQ(m_ogreLines.size(), 1u) << c.level;
        EXPECT_EQ(m_ogreLines[0], c.ogreLine) << c.level;
        EXPECT_EQ(m_ogreLevels[0], c.ogreLevel) << c.level;
    }
}

TEST_F(OgreLogFixture, OgreOutputOffReachesOnlyListenersAndRecords)
{
    LogCapture capture;
    m_log.SetOgreOutput(false);
    m_log.SetRecording(true);
    EXPECT_TRUE(m_log.Log("quiet", 4));
    EXPECT_TRUE(m_ogreLines.empty());
    EXPECT_TRUE(capture.Contains("quiet", 4));
    EXPECT_EQ(m_log.GetRecords().size(), 1u);
}

// The records of a mask as (time, text) pairs.
std::vector<std::pair<std::string, std::string>> Exported(const cl_TarqLog& log, int mask)
{
    TiXmlElement element("log");
    log.ExportXml(element, mask);
    std::vector<std::pair<std::string, std::string>> entries;
    for (TiXmlElement* entry = element.FirstChildElement("entry"); entry;
         entry = entry->NextSiblingElement("entry"))
        entries.emplace_back(*entry->Attribute(std::string("time")), entry->GetText());
    return entries;
}

TEST(TarqLog, RecordsCarryClockAndExportByMaskWithTheirTimeAsADuration)
{
    cl_TarqLog log;
    uint32_t now = 0;
    log.SetClock([&now] { return now; });
    EXPECT_TRUE(Exported(log, 0xFF).empty());

    log.SetRecording(true);
    now = 2500;
    log.Log("an error", 1);
    now = 61999;
    log.Log("a warning", 2);
    log.Log("plain", 0);
    now = 3723000;
    log.Log("late", 1);

    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(Exported(log, 1), (Entries{{"2", "an error"}, {"61", "plain"}, {"3723", "late"}}))
        << "without a localizer: whole seconds";
    {
        cl_Localizer localizer;
        TiXmlDocument language;
        language.Parse("<language><tokens>_minute|minute\n_minutes|minutes\n_hour|hour\n_hours|hours</tokens>"
                       "</language>");
        localizer.ParseElement(language.RootElement(), "GAMEDATA", false);
        EXPECT_EQ(Exported(log, 1),
                  (Entries{{"", "an error"}, {"1 minute", "plain"}, {"1 hour, 2 minutes", "late"}}));
    }

    log.ClearRecord();
    EXPECT_TRUE(log.GetRecords().empty());
}

TEST(TarqLog, ListenerMayRemoveItselfWhileTold)
{
    cl_TarqLog log;
    struct OneShot : ILogListener
    {
        int calls = 0;
        bool OnLog(const std::string&, int) override
        {
            ++calls;
            cl_Logger::GetInstance()->RemoveListener(this);
            return true;
        }
    } listener;
    log.AddListener(&listener);
    log.Log("one", 4);
    log.Log("two", 4);
    EXPECT_EQ(listener.calls, 1);
}

TEST(LogCall, LineFormat)
{
    LogCapture capture;
    const int line = __LINE__ + 1;
    LOG_WARNING("value %i of %s", 3, "x");
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].level, 2);
    EXPECT_EQ(capture.Lines()[0].text, "value 3 of x -> tests\\common\\cl_TarqLog_test(" +
                                           std::to_string(line) + ") <LogCall_LineFormat_Test::TestBody>");
}

TEST(LogCall, StringMessagesAreNotFormattedAgain)
{
    LogCapture capture;
    const std::string data = "100% of %s";
    LOG_ERROR(data);
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text.substr(0, data.size()), data);
}

TEST(LogCall, QualifiedNameAndSourcePath)
{
    struct Case
    {
        const char* pretty;
        const char* name;
    } cases[] = {
        {"bool cl_Argument::GetBool() const", "cl_Argument::GetBool"},
        {"void cl_Config::SetValue(const std::string&, const std::string&)", "cl_Config::SetValue"},
        {"virtual bool cl_TarqLog::Log(const string&, int)", "cl_TarqLog::Log"},
        {"int main(int, char**)", "main"},
        {"const cl_ArgList *cl_Argument::GetList() const", "cl_Argument::GetList"},
        {"cl_Argument &cl_Argument::operator=(const cl_Argument &)", "cl_Argument::operator="},
        {"void {anonymous}::Fixture::TestBody()", "Fixture::TestBody"},
        {"virtual void (anonymous namespace)::Fixture::TestBody()", "Fixture::TestBody"},
        {"std::string platform::DocumentsFolder()", "platform::DocumentsFolder"},
        {"TiXmlElement *cl_GameState::GetItemState(const std::string &)", "cl_GameState::GetItemState"},
        {"const std::string &cl_GameState::GetChapterFolder() const", "cl_GameState::GetChapterFolder"},
        {"TiXmlElement* cl_GameState::GetRoot()", "cl_GameState::GetRoot"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LogCall::QualifiedName(c.pretty), c.name);
    for (const char* file : {QUILLMERE_SOURCE_ROOT "source/common/cl_Argument.cpp",
                             "../../source/common/cl_Argument.cpp", "./source/common/cl_Argument.cpp"})
        EXPECT_EQ(LogCall::SourcePath(file), "source\\common\\cl_Argument") << file;
}

TEST(LogCall, LongMessagesAreCutSafely)
{
    LogCapture capture;
    LOG_INFO("%s", std::string(4000, 'z').c_str());
    ASSERT_EQ(capture.Lines().size(), 1u);
    EXPECT_EQ(capture.Lines()[0].text.size(), 1023u);
}
} // namespace

namespace
{
TEST(TarqLog, LinesBeforeOgresLogWaitForIt)
{
    cl_TarqLog log;
    log.Log("config.xml is broken", 1);
    log.Log("no Functions.lua", 2);

    Ogre::LogManager manager;
    struct Collector : Ogre::LogListener
    {
        std::vector<std::string> lines;
        void messageLogged(const Ogre::String& message, Ogre::LogMessageLevel, bool, const Ogre::String&,
                           bool&) override
        {
            lines.push_back(message);
        }
    } collector;
    manager.createLog("pending.log", true, false, true)->addListener(&collector);

    log.WritePendingToOgre();
    log.WritePendingToOgre();
    const std::vector<std::string> expected = {">>> ERROR:config.xml is broken",
                                               ">>> WARNING:no Functions.lua"};
    EXPECT_EQ(collector.lines, expected);
}

TEST_F(OgreLogFixture, OutputMaskKeepsOnlyTheChosenSeverities)
{
    m_log.SetOgreOutputMask(cl_Logger::LEVEL_ERROR | cl_Logger::LEVEL_WARNING);
    m_log.Log("info", 4);
    m_log.Log("topic info", 0x44);
    m_log.Log("warning", 2);
    m_log.Log("character error", 0x41);
    const std::vector<std::string> expected = {">>> WARNING:warning", ">>> ERROR:character error"};
    EXPECT_EQ(m_ogreLines, expected);

    m_log.SetOgreOutput(false);
    m_log.Log("error", 1);
    EXPECT_EQ(m_ogreLines.size(), 2u);
}
} // namespace
