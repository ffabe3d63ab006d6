#include "assets/cl_SpeachSeqAction.h"

#include "assets/cl_SpokentextPool.h"

#include "common/cl_Config.h"
#include "graphics/cl_Character.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"
#include "support/ActionProbe.h"
#include "support/ActionWorld.h"
#include "support/SoundFolder.h"
#include "support/TemporaryFolder.h"
#include "support/ToneFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace
{
// Runs the sound system and the line in real time while running holds, for at most three seconds.
void RunWhile(cl_Sound& sound, ActionProbe& line, const std::function<bool()>& running)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (running() && std::chrono::steady_clock::now() < end)
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        sound.Update(0.005f);
        line.Frames(1, 0.005f);
    }
}
} // namespace

// The keeper's line has a voice of 1.5 s on a device: the subtitle and the speaking end with the voice,
// the action "delay" seconds later.
TEST(SpokenLines, ALineWithVoiceEndsItsDelayAfterTheVoice)
{
    TemporaryFolder settings;
    cl_Config config(settings.PathOf("user"), settings.PathOf("work"), "");
    config.SetValue("speach", "100");
    ActionWorld actions;
    SoundFolder files;
    ToneSpec voice;
    voice.frequency = 300.0f;
    voice.seconds = 1.5f;
    files.AddSpeechFile("voice.wav", ToneWav(voice));
    cl_Sound& sound = actions.world.sound;
    sound.Init();
    actions.world.assets.poolManager.GetSpokentextPool()->SetLeafId("keeper_line", "voice");

    ActionProbe line("<action type='SpeachAction' textref='keeper_line' delay='0.5'/>");
    line.Start();
    const cl_Character& keeper = actions.Keeper();
    ASSERT_TRUE(keeper.IsSpeaking());
    // Longer than the reading time of its 10 bytes would be, had it no voice.
    RunWhile(sound, line, [&keeper] { return keeper.IsSpeaking(); });
    EXPECT_FALSE(keeper.IsSpeaking()) << "the voice has ended";
    EXPECT_EQ(line.trace, "S") << "the delay runs";
    line.Frames(4, 0.1f);
    EXPECT_EQ(line.trace, "S");
    line.Frames(2, 0.1f);
    EXPECT_EQ(line.trace, "SD");

    // A skipped line stops its voice: the music under it rises again at once.
    ActionProbe skipped("<action type='SpeachAction' textref='keeper_line'/>");
    skipped.Start();
    const auto skipAt = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
    RunWhile(sound, skipped, [&skipAt] { return std::chrono::steady_clock::now() < skipAt; });
    skipped.Action().Skip();
    EXPECT_EQ(skipped.trace, "SA");
    const float ducked = sound.GetMixer().GetDuckLevel();
    const auto later = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    RunWhile(sound, skipped, [&later] { return std::chrono::steady_clock::now() < later; });
    EXPECT_GT(sound.GetMixer().GetDuckLevel(), ducked) << "the voice plays on";
}
