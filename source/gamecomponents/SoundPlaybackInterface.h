#pragma once

#include "platform/TheoraAudioInterface.h"

// A video's sound, handed by the video library to the mixer as a stream of samples on the speech channel
// (channel 1), whose volume follows the setting "speach". The library calls it only on the main thread.
class SoundPlaybackInterface : public TheoraAudioInterface
{
public:
    SoundPlaybackInterface(int channels, int sampleRate) : m_channels(channels), m_sampleRate(sampleRate) {}

    // The first samples start the mixer's stream; when none can start (no sound system, no free source)
    // the video stays silent until stop.
    void insertData(const float* const* data, int nSamples) override;
    // Stops the stream; the next samples start a new one.
    void stop() override;

private:
    int m_streamId = -1; // -1 before the first samples, 0 when no stream could start
    int m_channels;
    int m_sampleRate;
};
