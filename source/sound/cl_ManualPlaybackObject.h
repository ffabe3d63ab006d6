#pragma once

#include "sound/cl_PlaybackObject.h"

#include <cstdint>
#include <deque>
#include <vector>

// Sound handed over as PCM while it plays (the video's sound): samples are staged and queued on the source
// in blocks of 4096 values; the source starts with the first block. It never ends by itself, only by Stop.
class cl_ManualPlaybackObject : public cl_PlaybackObject
{
public:
    static constexpr int STAGING_VALUES = 4096;

    // channels: 1 or 2 (anything else is taken as 2); rate in Hz.
    cl_ManualPlaybackObject(int channels, int rate);
    ~cl_ManualPlaybackObject() override;

    // Does not start the source: the first full block does.
    void Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback) override;
    // Deletes every buffer it made, then gives the source back.
    void Release() override;

    // samples: one array of count floats (-1 to 1) per channel. Nothing happens without a source.
    void QueueData(const float* const* samples, int count);
    int GetStagedCount() const { return m_staged; }

private:
    void QueueStaged();

    int m_channels;
    int m_rate;
    std::deque<uint32_t> m_freeBuffers;
    std::vector<uint32_t> m_buffers; // every buffer made, for Release
    int16_t m_staging[STAGING_VALUES] = {};
    int m_staged = 0;
};
