#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundMixer.h"
#include "sound/cl_SoundPool.h"

#include <array>

// The sound system: the sound device, the sound pool, the four sound channels and the mixer.
class cl_Sound : public ISingleton<cl_Sound>, public ICommandReceiver
{
public:
    static const int CHANNEL_COUNT = 4;

    // Registers as the receiver "sound" with distributor, which must outlive it.
    explicit cl_Sound(cl_CommandDistributor& distributor);

    // Opens the sound device; called once in the game set-up. No device is opened yet: always true.
    bool Init();

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    cl_SoundPool& GetSoundPool() { return m_pool; }
    // index: 0 to 3. Any other index is logged as an error and gives channel 0.
    cl_SoundChannel& GetChannel(int index);
    cl_SoundMixer& GetMixer() { return m_mixer; }

private:
    cl_SoundPool m_pool;
    std::array<cl_SoundChannel, CHANNEL_COUNT> m_channels;
    cl_SoundMixer m_mixer;
    cl_ReceiverRegistration m_receiver;
};
