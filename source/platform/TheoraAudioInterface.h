#pragma once

#include <memory>

class TheoraVideoClip;

// Receives a clip's decoded sound; the program implements it. The video manager calls it only from the
// thread that calls TheoraVideoManager::update (and from restart and destroyVideoClip), handing the sound
// over in order and no further ahead of the clip's time position than a fraction of a second, so an
// implementation needs no lock.
class TheoraAudioInterface
{
public:
    virtual ~TheoraAudioInterface() = default;

    // data holds one array per channel, nSamples values each, in -1..1 (decoded values may overshoot a
    // little). The arrays are valid only during the call.
    virtual void insertData(const float* const* data, int nSamples) = 0;
    // The clip restarted or is being destroyed: what was handed over and not yet heard is no longer wanted.
    // insertData may follow again after a restart.
    virtual void stop() = 0;
};

// Makes the sound interface of each clip that has sound, when the clip is created; the video manager
// calls it on the thread that creates the clip. The clip owns what it returns; null plays the clip silent.
class TheoraAudioInterfaceFactory
{
public:
    virtual ~TheoraAudioInterfaceFactory() = default;

    virtual std::unique_ptr<TheoraAudioInterface> createInstance(TheoraVideoClip* owner, int nChannels,
                                                                 int freq) = 0;
};
