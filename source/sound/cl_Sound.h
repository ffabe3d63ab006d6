#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/IPreferenceListener.h"
#include "common/cl_ReceiverRegistration.h"

#include <AL/alc.h>

#include <memory>
#include <string>
#include <vector>

class cl_Config;
class cl_GameTime;
class cl_GameTimeRegistration;
class cl_SoundChannel;
class cl_SoundLoader;
class cl_SoundMixer;
class cl_SoundPool;

// The sound system: opens the OpenAL device, shares its sources out among the four channels (0 music,
// 1 speech and video sound, 2 game sounds, 3 interface sounds), owns the loader, the sound definitions and
// the mixer, drives them every frame, answers the command receiver "sound" and follows the volume settings
// "music", "sound" and "speach".
class cl_Sound : public ISingleton<cl_Sound>,
                 public IGameTimeListener,
                 public ICommandReceiver,
                 public IPreferenceListener
{
public:
    static constexpr int CHANNEL_COUNT = 4;

    // Registers as the receiver "sound" with distributor, which must outlive it. The device stays closed
    // and the four channels have no sources until Init.
    explicit cl_Sound(cl_CommandDistributor& distributor);
    // Undoes what Init registered, deletes mixer, definitions and loader, then closes the device.
    ~cl_Sound() override;

    // Opens the device ("sounddevice", else the default one), shares its sources out among the channels,
    // registers with the game time ("sound", and the zero-time list for long loads) and the settings, and
    // applies the three volumes. Without a device everything goes on with channels that play nothing.
    // Called once.
    void Init();

    // Channels first, then the music's fades, ducking and restart.
    void Update(float dt) override;

    // The receiver "sound" (COMMANDS in cl_Sound.cpp, read by CommandArguments):
    //   PlaySound id                  plays the definition on channel 2 at volume 1.0
    //   PlaySound id volume           the same at that volume
    //   PlaySound id x y z [...]      on channel 2 at volume 1.0 from the world position (x, y, z)
    //   PlayMusic name fadeOut duck fade  the mixer's music switch (cl_SoundMixer::PlayMusic)
    // PlaySound appends the playback id (0: nothing plays) and answers true, also with 3 arguments, which
    // play nothing and append nothing. PlayMusic needs all four and answers false, as do unknown commands.
    bool ExecuteCmd(cl_Command& cmd) override;

    // "music", "sound" and "speach": atoi(value) / 100 becomes that volume. A value that reads as 0 but is
    // not the text "0" changes nothing.
    void OnPreferenceChanged(const std::string& key, const std::string& value, bool live) override;

    // index 0 to 3; any other index is logged as an error and gives channel 0.
    cl_SoundChannel& GetChannel(int index);
    cl_SoundMixer& GetMixer() { return *m_mixer; }
    cl_SoundPool& GetSoundPool() { return *m_pool; }
    cl_SoundLoader& GetLoader() { return *m_loader; }

    // Logs the pending OpenAL error, or else the pending ALUT error, as an error line "<prefix><name>"; an
    // empty prefix is "OpenAL error was raised: ". Returns whether there was one.
    static bool CheckForError(const std::string& prefix = "");
    // "AL_INVALID_NAME" and so on; "" for a code OpenAL does not define.
    static const char* AlErrorName(int error);

    // The number of sources each channel gets when the device gives n; a channel of 0 or less has none.
    static std::vector<int> ChannelSizes(int n);
    // How many sources to probe for at most: the "maxsoundchannels" setting held within 10 to 32 (empty,
    // 0 or a text that is no number give 32).
    static int MaxSources(const std::string& setting);

private:
    void InitAl();
    int ProbeSources(int max);
    void ApplyVolume(const std::string& key, float volume);
    void Shutdown();

    std::unique_ptr<cl_SoundLoader> m_loader;
    std::unique_ptr<cl_SoundMixer> m_mixer;
    std::unique_ptr<cl_SoundPool> m_pool;
    std::vector<std::unique_ptr<cl_SoundChannel>> m_channels;
    ALCdevice* m_device = nullptr; // null without one
    ALCcontext* m_context = nullptr;
    bool m_initialised = false;
    // What Init registered with; it may be gone before this dies.
    cl_GameTime* m_gameTime = nullptr;
    cl_Config* m_config = nullptr;
    std::unique_ptr<cl_GameTimeRegistration> m_frames;
    cl_ReceiverRegistration m_receiver;
};
