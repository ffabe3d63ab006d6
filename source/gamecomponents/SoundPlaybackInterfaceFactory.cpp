#include "gamecomponents/SoundPlaybackInterfaceFactory.h"

#include "gamecomponents/SoundPlaybackInterface.h"

std::unique_ptr<TheoraAudioInterface> SoundPlaybackInterfaceFactory::createInstance(TheoraVideoClip*,
                                                                                    int nChannels, int freq)
{
    return std::make_unique<SoundPlaybackInterface>(nChannels, freq);
}
