#pragma once

#include "platform/TheoraAudioInterface.h"

// Gives every video with sound a SoundPlaybackInterface.
class SoundPlaybackInterfaceFactory : public TheoraAudioInterfaceFactory
{
public:
    std::unique_ptr<TheoraAudioInterface> createInstance(TheoraVideoClip* owner, int nChannels,
                                                         int freq) override;
};
