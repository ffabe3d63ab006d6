#include "common/cl_Config.h"
#include "platform/UserFolders.h"
#include "support/LogCapture.h"
#include "support/TemporaryHome.h"

#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <boost/filesystem/operations.hpp>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace
{
namespace fs = boost::filesystem;

struct Call
{
    std::string listener;
    std::string key;
    std::string value;
    bool live;

    bool operator==(const Call& other) const
    {
        return listener == other.listener && key == other.key && value == other.value && live == other.live;
    }
};

void PrintTo(const Call& call, std::ostream* out)
{
    *out << "{" << call.listener << ", " << call.key << "=" << call.value << ", "
         << (call.live ? "live" : "announced") << "}";
}

class RecordingListener : public IPreferenceListener
{
public:
    RecordingListener(std::string name, std::vector<Call>& calls) : m_name(std::move(name)), m_calls(calls) {}

    void OnPreferenceChanged(const std::string& key, const std::string& value, bool live) override
    {
        m_calls.push_back(Call{m_name, key, value, live});
        if (m_onCall)
            m_onCall();
    }

    std::function<void()> m_onCall;

private:
    std::string m_name;
    std::vector<Call>& m_calls;
};

// The settings as the application creates them: the user folder in the documents folder of a temporary
// HOME, a working folder beside it.
class ConfigTest : public testing::Test
{
protected:
    ConfigTest()
        : m_userFolder(platform::DocumentsFolder() + "/Quillmere/"), m_workingFolder(m_home.PathOf("work/")),
          m_config(std::make_unique<cl_Config>(m_userFolder, m_workingFolder, ""))
    {
        fs::create_directories(m_userFolder);
        fs::create_directories(m_workingFolder);
    }

    std::string UserFile() const { return m_userFolder + "config.xml"; }
    std::string WorkingFile() const { return m_workingFolder + "config.xml"; }
    // The plain (unflavoured) value of key as the file on disk holds it.
    static std::string StoredPlainValue(const std::string& path, const std::string& key)
    {
        TiXmlDocument document;
        const TiXmlElement* root = document.LoadFile(path) ? document.FirstChildElement("config") : nullptr;
        if (!root)
            return "<unreadable>";
        const TiXmlElement* element = root->FirstChildElement(key);
        return element && element->GetText() ? element->GetText() : "";
    }

    TemporaryHome m_home;
    LogCapture m_log;
    std::string m_userFolder;
    std::string m_workingFolder;
    std::unique_ptr<cl_Config> m_config;
    std::vector<Call> m_calls;
};

TEST(ConfigValueRaw, FlavouredKeyWinsOverThePlainKey)
{
    struct Case
    {
        const char* name;
        const char* children;
        const char* expected;
    } cases[] = {
        {"flavoured after plain", "<fpscap>60</fpscap><fpscapmorvel>30</fpscapmorvel>", "30"},
        {"flavoured before plain", "<fpscapmorvel>30</fpscapmorvel><fpscap>60</fpscap>", "30"},
        {"plain only", "<fpscap>60</fpscap>", "60"},
        {"flavoured only", "<fpscapmorvel>30</fpscapmorvel>", "30"},
        {"empty flavoured element still wins", "<fpscap>60</fpscap><fpscapmorvel/>", ""},
        {"absent key", "<language>en</language>", ""},
        {"a longer name is another key", "<fpscapx>1</fpscapx>", ""},
        {"first of two plain elements", "<fpscap>60</fpscap><fpscap>70</fpscap>", "60"},
        {"text after a comment", "<fpscap><!-- frames -->60</fpscap>", "60"},
        {"CDATA text", "<fpscap><![CDATA[6<0]]></fpscap>", "6<0"},
        {"spaces kept", "<fpscap> 60 </fpscap>", " 60 "},
    };
    for (const Case& c : cases)
    {
        TiXmlDocument document;
        document.Parse((std::string("<config>") + c.children + "</config>").c_str());
        ASSERT_FALSE(document.Error()) << c.name;
        EXPECT_EQ(cl_Config::GetValueRaw(document.RootElement(), "fpscap"), c.expected) << c.name;
    }
    EXPECT_EQ(cl_Config::GetValueRaw(nullptr, "fpscap"), "");
}

TEST_F(ConfigTest, FlavouredKeyKeepsDecidingAfterSetValueOfThePlainKey)
{
    WriteTextFile(UserFile(), "<config><fpscap>60</fpscap><fpscapmorvel>30</fpscapmorvel></config>");
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("fpscap"), "30");

    m_config->SetValue("fpscap", "45");
    EXPECT_EQ(m_config->GetValue("fpscap"), "30");
    ASSERT_TRUE(m_config->Save());
    EXPECT_EQ(StoredPlainValue(UserFile(), "fpscap"), "45");
    EXPECT_EQ(StoredPlainValue(UserFile(), "fpscapmorvel"), "30");
    ASSERT_TRUE(m_config->Load(""));
    EXPECT_EQ(m_config->GetValue("fpscap"), "30");
}

TEST_F(ConfigTest, ListenersAreToldLiveOnSetValueAndAnnouncedOnLoadAndSave)
{
    WriteTextFile(UserFile(), "<config><resolution>800 x 600</resolution><subtitle>on</subtitle>"
                              "<music>5</music></config>");
    RecordingListener first("first", m_calls);
    RecordingListener second("second", m_calls);
    m_config->AddListener("resolution", &first);
    m_config->AddListener("resolution", &second);
    m_config->AddListener("quality", &first);
    m_config->AddListener("subtitle", &second);

    // Load announces every listened key that has a value, in key order; "quality" is absent.
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_calls, (std::vector<Call>{{"first", "resolution", "800 x 600", false},
                                          {"second", "resolution", "800 x 600", false},
                                          {"second", "subtitle", "on", false}}));
    EXPECT_FALSE(m_config->IsModified());

    m_calls.clear();
    m_config->SetValue("resolution", "1024 x 768");
    m_config->SetValue("quality", "low");
    m_config->SetValue("music", "7");
    EXPECT_EQ(m_calls, (std::vector<Call>{{"first", "resolution", "1024 x 768", true},
                                          {"second", "resolution", "1024 x 768", true},
                                          {"first", "quality", "low", true}}));
    EXPECT_TRUE(m_config->IsModified());

    // Save announces only what differs from the stored file; "subtitle" did not change.
    m_calls.clear();
    ASSERT_TRUE(m_config->Save());
    EXPECT_EQ(m_calls, (std::vector<Call>{{"first", "quality", "low", false},
                                          {"first", "resolution", "1024 x 768", false},
                                          {"second", "resolution", "1024 x 768", false}}));
    EXPECT_FALSE(m_config->IsModified());

    m_calls.clear();
    ASSERT_TRUE(m_config->Save());
    EXPECT_TRUE(m_calls.empty());

    m_config->RemoveListener("resolution", &first);
    m_config->SetValue("resolution", "640 x 480");
    EXPECT_EQ(m_calls, (std::vector<Call>{{"second", "resolution", "640 x 480", true}}));
}

TEST_F(ConfigTest, ListenerRemovedWhileTheKeyIsAnnouncedIsNotToldAnyMore)
{
    RecordingListener first("first", m_calls);
    auto second = std::make_unique<RecordingListener>("second", m_calls);
    m_config->AddListener("sound", &first);
    m_config->AddListener("sound", second.get());
    first.m_onCall = [&]
    {
        m_config->RemoveListener("sound", second.get());
        second.reset();
    };
    m_config->SetValue("sound", "3");
    EXPECT_EQ(m_calls, (std::vector<Call>{{"first", "sound", "3", true}}));
}

TEST_F(ConfigTest, SaveWritesToTheUserFolderEvenWhenLoadedFromTheWorkingFolder)
{
    const std::string shipped = "<config><gamedata>data/</gamedata><fpscap>60</fpscap></config>";
    WriteTextFile(WorkingFile(), shipped);
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("gamedata"), "data/");

    m_config->SetValue("fpscap", "30");
    ASSERT_TRUE(m_config->Save());
    EXPECT_EQ(ReadTextFile(WorkingFile()), shipped);
    EXPECT_EQ(StoredPlainValue(UserFile(), "gamedata"), "data/");
    EXPECT_EQ(StoredPlainValue(UserFile(), "fpscap"), "30");

    // The user's file now wins over the shipped one.
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("fpscap"), "30");
}

TEST_F(ConfigTest, LoadWithAnEmptyNameReusesTheLastName)
{
    WriteTextFile(m_userFolder + "custom.xml", "<config><language>en</language></config>");
    ASSERT_TRUE(m_config->Load("custom.xml"));
    WriteTextFile(m_userFolder + "custom.xml", "<config><language>fr</language></config>");
    ASSERT_TRUE(m_config->Load(""));
    EXPECT_EQ(m_config->GetValue("language"), "fr");
}

TEST_F(ConfigTest, WithoutSettingsFileChangesAreStillSaved)
{
    RecordingListener listener("listener", m_calls);
    m_config->AddListener("fpscap", &listener);
    EXPECT_FALSE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("fpscap"), "");
    EXPECT_TRUE(m_calls.empty());

    m_config->SetValue("fpscap", "60");
    EXPECT_EQ(m_config->GetValue("fpscap"), "60");
    ASSERT_TRUE(m_config->Save());
    EXPECT_EQ(StoredPlainValue(UserFile(), "fpscap"), "60");

    m_config.reset(); // a fresh start: only one settings object may live
    m_config = std::make_unique<cl_Config>(m_userFolder, m_workingFolder, "");
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("fpscap"), "60");
}

TEST_F(ConfigTest, SaveWithoutAnySettingCreatesAnEmptySettingsFile)
{
    EXPECT_FALSE(m_config->Load("config.xml"));
    ASSERT_TRUE(m_config->Save());
    EXPECT_TRUE(m_config->Load("config.xml"));
}

TEST_F(ConfigTest, BrokenSettingsFileIsLoggedAndCountsAsMissing)
{
    const char* broken[] = {
        "<config><fpscap>60</config>",
        "",
        "<settings><fpscap>60</fpscap></settings>",
        "\x01\xff<<<",
    };
    for (const char* text : broken)
    {
        SCOPED_TRACE(text);
        m_log.Clear();
        WriteTextFile(UserFile(), text);
        WriteTextFile(WorkingFile(), "<config><fpscap>25</fpscap></config>");
        EXPECT_TRUE(m_config->Load("config.xml"));
        EXPECT_EQ(m_config->GetValue("fpscap"), "25");
        EXPECT_TRUE(m_log.Contains(UserFile(), cl_Logger::LEVEL_ERROR));

        WriteTextFile(WorkingFile(), text);
        EXPECT_FALSE(m_config->Load("config.xml"));
        EXPECT_EQ(m_config->GetValue("fpscap"), "");
        EXPECT_TRUE(m_log.Contains(WorkingFile(), cl_Logger::LEVEL_ERROR));
    }
}

TEST_F(ConfigTest, BrokenUserSettingsAreMovedAsideBeforeASaveCouldOverwriteThem)
{
    const struct
    {
        const char* name;
        std::string text;
        const char* logged; // where the error lies
    } cases[] = {
        {"an end tag that does not match", "<config>\n  <fpscap>60</fpscap>\n  <music>5</sound>\n</config>\n",
         "(row 3 col 11)"},
        {"a file cut short", "<config><gamedata>data/</gamedata", "(row 1 col 33)"},
        {"no XML at all", "fpscap=60\n", "(row 1 col 1)"},
        {"another root element", "<settings><fpscap>60</fpscap></settings>", "has no config element"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_log.Clear();
        WriteTextFile(UserFile(), c.text);
        WriteTextFile(UserFile() + ".broken", "an older broken file");
        WriteTextFile(WorkingFile(), "<config><fpscap>25</fpscap></config>");
        testing::internal::CaptureStderr();
        EXPECT_TRUE(m_config->Load("config.xml"));
        const std::string told = testing::internal::GetCapturedStderr();

        EXPECT_EQ(m_config->GetValue("fpscap"), "25");
        EXPECT_TRUE(m_log.Contains(c.logged, cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(ReadTextFile(UserFile() + ".broken"), c.text);
        EXPECT_FALSE(fs::exists(UserFile()));
        EXPECT_NE(told.find("Warning: the settings file " + UserFile() + " can't be read"), std::string::npos)
            << told;
        EXPECT_NE(told.find("it was moved to " + UserFile() + ".broken"), std::string::npos) << told;

        ASSERT_TRUE(m_config->Save());
        EXPECT_EQ(StoredPlainValue(UserFile(), "fpscap"), "25");
        EXPECT_EQ(ReadTextFile(UserFile() + ".broken"), c.text);
    }
}

TEST_F(ConfigTest, ABrokenSettingsFileOfTheWorkingFolderStaysWhereItIs)
{
    const std::string broken = "<config><fpscap>60</config>";
    WriteTextFile(WorkingFile(), broken);
    EXPECT_FALSE(m_config->Load("config.xml"));
    EXPECT_EQ(ReadTextFile(WorkingFile()), broken);
    EXPECT_FALSE(fs::exists(WorkingFile() + ".broken"));
    EXPECT_TRUE(m_log.Contains("(row 1 col 19)", cl_Logger::LEVEL_ERROR));
}

TEST_F(ConfigTest, FailedWriteKeepsTheOldFile)
{
    const std::string old = "<config><fpscap>60</fpscap></config>";
    WriteTextFile(UserFile(), old);
    ASSERT_TRUE(m_config->Load("config.xml"));
    m_config->SetValue("fpscap", "30");
    fs::create_directories(UserFile() + ".tmp"); // the temporary file can't be made

    EXPECT_FALSE(m_config->Save());
    EXPECT_EQ(ReadTextFile(UserFile()), old);
    EXPECT_TRUE(m_config->IsModified());
    EXPECT_TRUE(m_log.Contains(UserFile(), cl_Logger::LEVEL_ERROR));
}

TEST_F(ConfigTest, KeysThatAreNoElementNamesAreRefusedAndTheFileStaysReadable)
{
    RecordingListener listener("listener", m_calls);
    const char* badKeys[] = {"", "two words", "1st", "a<b", "-dash", "x/y"};
    for (const char* key : badKeys)
        m_config->AddListener(key, &listener);
    m_config->Load("config.xml");
    m_config->SetValue("unlocked_chapter1.a-b", "true");
    for (const char* key : badKeys)
    {
        m_log.Clear();
        m_config->SetValue(key, "1");
        EXPECT_EQ(m_config->GetValue(key), "") << key;
        EXPECT_TRUE(m_log.Contains("'" + std::string(key) + "'", cl_Logger::LEVEL_ERROR)) << key;
    }
    EXPECT_TRUE(m_calls.empty());
    ASSERT_TRUE(m_config->Save());
    ASSERT_TRUE(m_config->Load("config.xml"));
    EXPECT_EQ(m_config->GetValue("unlocked_chapter1.a-b"), "true");
}

TEST_F(ConfigTest, GetUserFolderCreatesSubFolders)
{
    struct Case
    {
        const char* subFolder;
        const char* expectedBelowUserFolder;
    } cases[] = {
        {"savegames", "savegames/"},
        {"savegames/", "savegames/"},
        {"shots\\2024", "shots/2024/"},
    };
    for (const Case& c : cases)
    {
        const std::string folder = m_config->GetUserFolder(c.subFolder);
        EXPECT_EQ(folder, m_userFolder + c.expectedBelowUserFolder) << c.subFolder;
        EXPECT_TRUE(fs::is_directory(folder)) << c.subFolder;
    }

    WriteTextFile(m_userFolder + "blocked", "a file, not a folder");
    m_config->GetUserFolder("blocked/savegames");
    EXPECT_TRUE(m_log.Contains(m_userFolder + "blocked/savegames/", cl_Logger::LEVEL_ERROR));
}

TEST_F(ConfigTest, GetUserFolderWithoutSubFolderCreatesNothing)
{
    m_config.reset();
    const std::string missing = m_home.PathOf("nowhere/Quillmere");
    cl_Config config(missing, m_workingFolder, "");
    EXPECT_EQ(config.GetUserFolder(""), missing + "/");
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(ConfigTest, DataPathsAreTheStandardisedSettings)
{
    struct Case
    {
        const char* dataRoot;
        const char* gamedata;
        const char* pimbdata;
        const char* expectedGameData;
        const char* expectedPimbData;
    } cases[] = {
        {"", "data", "pimb/", "data/", "pimb/"},
        {"", "..\\data\\game", "", "../data/game/", ""},
        {"/opt/quillmere/", "data", "pimb", "/opt/quillmere/data/", "/opt/quillmere/pimb/"},
    };
    m_config.reset();
    for (const Case& c : cases)
    {
        cl_Config config(m_userFolder, m_workingFolder, c.dataRoot);
        if (*c.gamedata)
            config.SetValue("gamedata", c.gamedata);
        if (*c.pimbdata)
            config.SetValue("pimbdata", c.pimbdata);
        EXPECT_EQ(config.GetGameDataPath(), c.expectedGameData) << c.dataRoot << c.gamedata;
        EXPECT_EQ(config.GetPimbDataPath(), c.expectedPimbData) << c.dataRoot << c.pimbdata;
    }
}

TEST_F(ConfigTest, SaveAlsoSavesOgresConfigurationWhenOgreRuns)
{
    Ogre::LogManager logManager;
    logManager.createLog("", true, false, true);
    const std::string ogreConfig = m_userFolder + "ogre.cfg";
    struct Case
    {
        const char* name;
        bool blocked; // a folder stands where the file goes
        bool ogreSaves;
    } cases[] = {
        {"beside the settings", false, true},
        {"blocked by a folder of that name", true, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        fs::remove(UserFile());
        fs::remove(ogreConfig);
        if (c.blocked)
            fs::create_directory(ogreConfig);
        m_log.Clear();
        Ogre::Root root("", ogreConfig, "");
        m_config->Load("config.xml");
        m_config->SetValue("fpscap", "60");
        EXPECT_TRUE(m_config->Save());
        EXPECT_EQ(fs::is_regular_file(ogreConfig), c.ogreSaves);
        EXPECT_EQ(m_log.Contains(ogreConfig, cl_Logger::LEVEL_ERROR), !c.ogreSaves);
        EXPECT_TRUE(fs::exists(UserFile()));
    }
}
} // namespace
