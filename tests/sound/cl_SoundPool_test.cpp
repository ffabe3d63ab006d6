#include "sound/cl_SoundPool.h"

#include "common/XmlParse.h"
#include "sound/cl_ManualPlaybackObject.h"
#include "sound/cl_MultiFilePlaybackObject.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SpokentextPlaybackObject.h"
#include "sound/cl_StreamedPlaybackObject.h"
#include "support/HeadlessOgre.h"
#include "support/LogCapture.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"

#include <OgreMath.h>
#include <gtest/gtest.h>
#include <tinyxml.h>

#include <fstream>
#include <string>
#include <vector>

namespace
{
std::string Joined(const std::vector<std::string>& parts)
{
    std::string text;
    for (const std::string& part : parts)
        text += (text.empty() ? "" : " ") + part;
    return text;
}

class SoundDefinitions : public testing::Test
{
protected:
    SoundDefinitions()
    {
        TiXmlDocument document;
        LoadXmlFile(document, QUILLMERE_TEST_DATA "sound/sounds.xml");
        m_loaded = m_pool.Load(*document.RootElement());
    }

    // The files of the definition ('\' between folders), "-" when there is none.
    std::string Files(const std::string& id)
    {
        cl_SoundDefinition definition;
        return m_pool.GetSoundDefinition(id, definition) ? Joined(definition.m_files) : "-";
    }

    LogCapture m_log;
    cl_SoundLoader m_loader;
    cl_SoundPool m_pool{m_loader};
    bool m_loaded = false;
};

TEST_F(SoundDefinitions, IdsArePathsThroughTheNodes)
{
    ASSERT_TRUE(m_loaded);
    const struct
    {
        const char* name;
        const char* id;
        const char* files;
    } cases[] = {
        {"a later sound replaces an earlier", "root_click", "replaced.wav"},
        {"an id with a folder", "x\\y", "in_folder_x.wav"},
        {"a sound in a node", "common\\menue_klick_ok", "ok.wav"},
        {"a folder in an id inside a node", "common\\a\\b", "nested.wav"},
        {"a node id ending in a backslash", "common\\blaettern\\01", "page.wav"},
        {"a node without id hides its sounds", "hidden", "-"},
        {"a node with an empty id adds no folder", "flat", "flat.wav"},
        {"a folder that does not exist ends the walk", "q\\root_click", "replaced.wav"},
        {"the walk ends at the deepest folder found", "common\\nosuch\\menue_klick_ok", "ok.wav"},
        {"a sound of a node is not in the root", "menue_klick_ok", "-"},
        {"folder names are case-sensitive", "Common\\menue_klick_ok", "-"},
        {"the src attribute comes first, '/' becomes '\\'", "three", "first.wav second.wav sub\\third.wav"},
        {"an empty src is no file", "params", "a.wav"},
        {"a sound without id is not stored", "", "-"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(Files(c.id), c.files) << c.name;
        EXPECT_EQ(m_pool.HasSoundDefinition(c.id), std::string(c.files) != "-") << c.name;
    }
    EXPECT_TRUE(m_log.Contains("Sound Definition 'hidden' not found.", cl_Logger::LEVEL_ERROR));
}

TEST_F(SoundDefinitions, AttributesAndParametersAreReadWholeWord)
{
    const struct
    {
        const char* id;
        int loopCount;
        bool streamed;
        const char* params;
    } cases[] = {
        {"root_click", 0, false, ""}, {"endless", -1, false, ""},  {"zero", 1, true, ""},
        {"no_number", 1, false, ""},  {"negative", -3, false, ""}, {"params", 0, false, "choose=in order"},
    };
    for (const auto& c : cases)
    {
        cl_SoundDefinition definition;
        ASSERT_TRUE(m_pool.GetSoundDefinition(c.id, definition)) << c.id;
        EXPECT_EQ(definition.m_id, std::string(c.id)) << c.id;
        EXPECT_EQ(definition.m_loopCount, c.loopCount) << c.id;
        EXPECT_EQ(definition.m_streamed, c.streamed) << c.id;
        std::vector<std::string> params;
        for (const auto& param : definition.m_params)
            params.push_back(param.first + "=" + param.second);
        EXPECT_EQ(Joined(params), c.params) << c.id;
    }
    cl_SoundDefinition nested;
    ASSERT_TRUE(m_pool.GetSoundDefinition("common\\a\\b", nested));
    EXPECT_EQ(nested.m_id, "b");
}

TEST_F(SoundDefinitions, WhatTheReaderPassesOverIsLoggedOnce)
{
    for (const char* text : {"A sound without an id in row 5", "A sound without an id in row 6",
                             "A node without an id in row 31", "A node with an empty id in row 34",
                             "The sound 'params' has a src without a file name",
                             "The sound 'params' has a param without a name or a value"})
        EXPECT_TRUE(m_log.Contains(text)) << text;
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_WARNING), 7u);
}

TEST_F(SoundDefinitions, OnlyASoundsElementIsRead)
{
    TiXmlElement other("sound");
    EXPECT_FALSE(m_pool.Load(other));
}

// Gives every random draw the same value, as OGRE's UnitRandom may give 0 and 1 itself.
class FixedRandom : public Ogre::Math::RandomValueProvider
{
public:
    explicit FixedRandom(float value) : m_value(value) { Ogre::Math::SetRandomValueProvider(this); }
    ~FixedRandom() override { Ogre::Math::SetRandomValueProvider(nullptr); }
    Ogre::Real getRandomUnit() override { return m_value; }

private:
    float m_value;
};

TEST_F(SoundDefinitions, ARandomFileStaysAmongTheFiles)
{
    const struct
    {
        float random;
        const char* file;
    } cases[] = {
        {0.0f, "first.wav"}, {0.5f, "second.wav"}, {0.99f, "sub\\third.wav"}, {1.0f, "sub\\third.wav"}};
    for (const auto& c : cases)
    {
        FixedRandom random(c.random);
        EXPECT_EQ(m_pool.GetRandomFile("three"), c.file) << c.random;
    }
    EXPECT_EQ(m_pool.GetRandomFile("nosuch"), "");
}

TEST(DemoSounds, EachLocationsMusicIsAStreamedSoundWhoseFileTheBuildMakes)
{
    cl_SoundLoader loader;
    cl_SoundPool pool(loader);
    TiXmlDocument sounds;
    ASSERT_TRUE(LoadXmlFile(sounds, QUILLMERE_DEMO_DIR "data/sound/sounds.xml"));
    ASSERT_TRUE(pool.Load(*sounds.RootElement()));
    TiXmlDocument scenes;
    ASSERT_TRUE(LoadXmlFile(scenes, QUILLMERE_DEMO_DIR "data/chapter1/scenes.tdf"));
    int locations = 0;
    for (const TiXmlElement* scene = scenes.RootElement()->FirstChildElement("scene"); scene;
         scene = scene->NextSiblingElement("scene"), ++locations)
    {
        const TiXmlElement* sound = scene->FirstChildElement("sound");
        const TiXmlElement* music = sound ? sound->FirstChildElement("music") : nullptr;
        ASSERT_NE(music, nullptr) << scene->Attribute("assetref");
        cl_SoundDefinition definition;
        ASSERT_TRUE(pool.GetSoundDefinition(music->Attribute("name"), definition))
            << music->Attribute("name");
        EXPECT_TRUE(definition.m_streamed) << definition.m_id;
        ASSERT_EQ(definition.m_files.size(), 1u) << definition.m_id;
        EXPECT_TRUE(std::ifstream(QUILLMERE_BUILT_DEMO_DIR "data/sound/" + definition.m_files[0]).good())
            << definition.m_files[0];
    }
    EXPECT_EQ(locations, 2);
}

// The kind of playback a definition gets, with the sound groups of OGRE in place for streamed files.
class PlaybackKinds : public testing::Test
{
protected:
    enum Kind
    {
        NONE,
        SINGLE,
        MULTI,
        STREAMED,
    };

    static Kind KindOf(const cl_PlaybackObject* playback)
    {
        if (!playback)
            return NONE;
        if (dynamic_cast<const cl_StreamedPlaybackObject*>(playback))
            return STREAMED;
        if (dynamic_cast<const cl_MultiFilePlaybackObject*>(playback))
            return MULTI;
        return dynamic_cast<const cl_SingleFilePlaybackObject*>(playback) ? SINGLE : NONE;
    }

    HeadlessOgre m_ogre;
    SoundFolder m_files;
    LogCapture m_log;
    cl_SoundLoader m_loader;
    cl_SoundPool m_pool{m_loader};
};

TEST_F(PlaybackKinds, FilesLoopCountAndStreamingChooseTheKind)
{
    m_files.AddGameFile("music/theme.ogg", ToneOgg(ToneSpec()));
    const struct
    {
        const char* name;
        const char* sound; // the attributes and children of one `sound` element with id "s"
        Kind kind;
        const char* logged;
    } cases[] = {
        {"one file", "src='a.wav'", SINGLE, ""},
        {"one file once", "src='a.wav' loopcount='1'", SINGLE, ""},
        {"one file, loop count 0 read as 1", "src='a.wav' loopcount='0'", SINGLE, ""},
        {"one file twice", "src='a.wav' loopcount='2'", MULTI, ""},
        {"one file for ever", "src='a.wav' loopcount='true'", MULTI, ""},
        {"a negative loop count", "src='a.wav' loopcount='-3'", MULTI, ""},
        {"two files", "src='a.wav'><src>b.wav</src", MULTI, ""},
        {"a streamed file", "src='music\\theme.ogg' streamed='true'", STREAMED, ""},
        {"a streamed file that is missing", "src='gone.ogg' streamed='true'", NONE,
         "Unable to open file 'gone.ogg'. File not found."},
        {"no file", "loopcount='2'", NONE, "The sound 's' names no file"},
    };
    for (const auto& c : cases)
    {
        cl_SoundLoader loader;
        cl_SoundPool pool(loader);
        TiXmlDocument document;
        document.Parse(("<sounds><sound id='s' " + std::string(c.sound) + "></sound></sounds>").c_str());
        ASSERT_TRUE(pool.Load(*document.RootElement())) << c.name;
        m_log.Clear();
        cl_PlaybackObject* playback = pool.CreatePlaybackObject("s");
        EXPECT_EQ(KindOf(playback), c.kind) << c.name;
        EXPECT_TRUE(!*c.logged || m_log.Contains(c.logged)) << c.name;
        EXPECT_EQ(m_log.Lines().size(), *c.logged ? 1u : 0u) << c.name;
        EXPECT_EQ(pool.DestroyPlaybackObject(playback), playback != nullptr) << c.name;
    }
    EXPECT_EQ(m_pool.CreatePlaybackObject("nosuch"), nullptr);
    EXPECT_TRUE(m_log.Contains("Sound Definition 'nosuch' not found."));
}

TEST_F(PlaybackKinds, ThePoolDestroysWhatItMadeAndDeletesWhatItDidNot)
{
    auto* stranger = new cl_ManualPlaybackObject(1, 22050);
    EXPECT_FALSE(m_pool.DestroyPlaybackObject(stranger)); // deleted all the same: the leak check sees it
    EXPECT_FALSE(m_pool.DestroyPlaybackObject(nullptr));
    EXPECT_TRUE(m_pool.DestroyPlaybackObject(m_pool.CreateManualPlaybackObject(2, 44100)));
    cl_SpokentextPlaybackObject* line = m_pool.CreateSpokentextPlaybackObject("keeper");
    EXPECT_EQ(line->GetSpeaker(), "keeper");
    // Left to the pool, which deletes it with itself.
}

TEST_F(PlaybackKinds, SpokenLinesFindTheirFileByDefinitionOrAsWav)
{
    m_files.AddSpeechFile("line7.wav", ToneWav(ToneSpec()));
    TiXmlDocument document;
    document.Parse("<sounds><sound id='line8' src='voice8.ogg'/></sounds>");
    m_pool.Load(*document.RootElement());
    cl_SpokentextPlaybackObject* line = m_pool.CreateSpokentextPlaybackObject("keeper");
    const struct
    {
        const char* name;
        bool exists;
        const char* file;
    } cases[] = {{"line8", true, "voice8.ogg"}, {"line7", true, "line7.wav"}, {"line6", false, "line6.wav"}};
    for (const auto& c : cases)
    {
        EXPECT_EQ(m_pool.SoundExists(c.name), c.exists) << c.name;
        line->SetSpokenFile(c.name);
        EXPECT_EQ(line->GetFile(), c.file) << c.name;
    }
}
} // namespace
