#include "sound/cl_Sound.h"

#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"
#include "support/ArgumentText.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <string>
#include <vector>

namespace
{
// The sound system without a device: its channels have no sources, so nothing plays, but settings,
// commands and the music's bookkeeping work.
class SoundSystem : public testing::Test
{
protected:
    // "0.5 0.5 1 1": the volumes of channels 0 to 3.
    std::string Volumes()
    {
        std::string volumes;
        for (int channel = 0; channel < cl_Sound::CHANNEL_COUNT; ++channel)
        {
            char text[16];
            std::snprintf(text, sizeof(text), "%g", m_sound.GetChannel(channel).GetVolume());
            volumes += (channel ? " " : "") + std::string(text);
        }
        return volumes;
    }

    LogCapture m_log;
    cl_CommandDistributor m_distributor;
    cl_Sound m_sound{m_distributor};
};

TEST(SoundChannels, TheSourcesFoundAreSharedOutAmongTheFourChannels)
{
    const struct
    {
        int found;
        std::vector<int> sizes;
    } cases[] = {
        {32, {1, 5, 21, 4}}, {16, {1, 5, 5, 4}}, {15, {1, 5, 7, 1}}, {10, {1, 5, 2, 1}},
        {9, {1, 5, 1, 1}},   {8, {1, 5, 0, 1}},  {0, {1, 5, -8, 1}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_Sound::ChannelSizes(c.found), c.sizes) << c.found;
}

TEST(SoundChannels, TheSettingHoldsTheProbeWithinTenToThirtyTwoSources)
{
    const struct
    {
        const char* setting;
        int max;
    } cases[] = {
        {"", 32},   {"0", 32},  {"abc", 32}, {"40", 32}, {"32", 32}, {"31", 31},
        {"20", 20}, {"11", 11}, {"10", 10},  {"5", 10},  {"-3", 10},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cl_Sound::MaxSources(c.setting), c.max) << "'" << c.setting << "'";
}

TEST_F(SoundSystem, VolumeSettingsReachTheirChannelsUnlessTheyAreNoNumber)
{
    const struct
    {
        const char* key;
        const char* value;
        const char* volumes;
        bool speechMuted;
    } cases[] = {
        {"music", "50", "0.5 1 1 1", false}, {"music", "abc", "1 1 1 1", false},
        {"music", "0", "0 1 1 1", false},    {"sound", "25", "1 1 0.25 0.25", false},
        {"sound", "", "1 1 1 1", false},     {"speach", "80", "1 0.8 1 1", false},
        {"speach", "0", "1 0 1 1", true},    {"speach", "00", "1 1 1 1", false},
        {"fpscap", "50", "1 1 1 1", false},
    };
    for (const auto& c : cases)
    {
        m_sound.OnPreferenceChanged(c.key, c.value, true);
        EXPECT_EQ(Volumes(), c.volumes) << c.key << " " << c.value;
        EXPECT_EQ(m_sound.GetMixer().IsSpeechMuted(), c.speechMuted) << c.key << " " << c.value;
        for (const char* key : {"music", "sound", "speach"})
            m_sound.OnPreferenceChanged(key, "100", true);
    }
}

// One argument of a command as the test writes it: a string, a number or a bool.
struct Value
{
    Value(const char* text) : kind('s'), text(text) {}
    Value(double number) : kind('d'), number(number) {}
    Value(bool flag) : kind('b'), flag(flag) {}
    char kind;
    std::string text;
    double number = 0.0;
    bool flag = false;
};

TEST_F(SoundSystem, WithoutSourcesNothingPlaysAndNothingWaits)
{
    TiXmlDocument document;
    document.Parse("<sounds><sound id='click' src='click.wav'/></sounds>");
    m_sound.GetSoundPool().Load(*document.RootElement());
    EXPECT_EQ(m_sound.GetMixer().PlaySound("click", nullptr, 2, 1.0f), 0);
    EXPECT_EQ(m_sound.GetMixer().StartAudioStream(2, 44100, 1.0f), 0);
    EXPECT_EQ(m_sound.GetMixer().GetPlaybackObject(1), nullptr);
    EXPECT_EQ(m_log.Count(cl_Logger::LEVEL_ERROR), 1u) << "only the question for playback 1";
}

TEST_F(SoundSystem, SoundCommandsReadTheirArgumentsByCount)
{
    const struct
    {
        const char* name;
        const char* command;
        std::vector<Value> arguments;
        bool answer;
        const char* results;
        std::vector<const char*> logged; // a part of each line logged, in order
        const char* music;               // the music asked for afterwards
    } cases[] = {
        {"an id", "PlaySound", {"nosuch"}, true, "int 0", {"Sound Definition 'nosuch' not found."}, ""},
        {"an id and a volume", "PlaySound", {"nosuch", 0.5}, true, "int 0", {"'nosuch' not found"}, ""},
        {"an id and a position",
         "PlaySound",
         {"nosuch", 1.0, 2.0, 3.0},
         true,
         "int 0",
         {"'nosuch' not found"},
         ""},
        {"a fifth argument is not read",
         "PlaySound",
         {"nosuch", 1.0, 2.0, 3.0, true},
         true,
         "int 0",
         {"'nosuch' not found"},
         ""},
        {"three arguments play nothing",
         "PlaySound",
         {"nosuch", 1.0, 2.0},
         true,
         "",
         {"not 3 arguments"},
         ""},
        {"no id plays nothing", "PlaySound", {}, true, "", {"the argument 'string id' is missing"}, ""},
        {"an id that is no text",
         "PlaySound",
         {1.0},
         true,
         "int 0",
         {"is not a 'string'", "Sound Definition '' not found."},
         ""},
        {"a volume that is no number",
         "PlaySound",
         {"nosuch", "loud"},
         true,
         "int 0",
         {"is not a 'double'", "'nosuch' not found"},
         ""},
        {"music with its four arguments", "PlayMusic", {"theme", 2.0, true, false}, false, "", {}, "theme"},
        {"music with more arguments",
         "PlayMusic",
         {"theme", 0.0, true, false, "x"},
         false,
         "",
         {"Sound Definition 'theme' not found."},
         "theme"},
        {"music without its fade flag",
         "PlayMusic",
         {"theme", 2.0, true},
         false,
         "",
         {"the argument 'bool fade in and repeat' is missing"},
         ""},
        {"music with a flag that is no bool",
         "PlayMusic",
         {"theme", 2.0, "yes", true},
         false,
         "",
         {"is not a 'bool'"},
         "theme"},
        {"an unknown command", "StopSound", {"x"}, false, "", {"has no command 'StopSound'"}, ""},
    };
    for (const auto& c : cases)
    {
        m_sound.GetMixer().PlayMusic("", 0.0f, true, false);
        m_log.Clear();
        cl_Command cmd(c.command);
        for (const Value& value : c.arguments)
        {
            cl_Argument* argument = cmd.m_arguments.GetArg(-1);
            if (value.kind == 's')
                argument->SetString(value.text);
            else if (value.kind == 'd')
                argument->SetDouble(value.number);
            else
                argument->SetBool(value.flag);
        }
        EXPECT_EQ(m_distributor.SendCmd("sound", cmd), c.answer) << c.name;
        std::string results;
        for (int index = 0; index < cmd.m_results.GetSize(); ++index)
            results += (index ? ", " : "") + ArgumentText(*cmd.m_results.GetArg(index));
        EXPECT_EQ(results, c.results) << c.name;
        ASSERT_EQ(m_log.Lines().size(), c.logged.size()) << c.name;
        for (size_t index = 0; index < c.logged.size(); ++index)
            EXPECT_NE(m_log.Lines()[index].text.find(c.logged[index]), std::string::npos) << c.name;
        EXPECT_EQ(m_sound.GetMixer().GetCurrentMusicName(), c.music) << c.name;
    }
}
} // namespace
