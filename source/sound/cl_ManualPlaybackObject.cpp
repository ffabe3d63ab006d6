#include "sound/cl_ManualPlaybackObject.h"

#include "sound/cl_Sound.h"

#include <AL/al.h>

#include <algorithm>
#include <cmath>

namespace
{
int16_t ToSample(float value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<int16_t>(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
}
} // namespace

cl_ManualPlaybackObject::cl_ManualPlaybackObject(int channels, int rate)
    : m_channels(channels == 1 ? 1 : 2), m_rate(rate)
{
}

cl_ManualPlaybackObject::~cl_ManualPlaybackObject()
{
    EndOnDestruction();
}

void cl_ManualPlaybackObject::Play(uint32_t source, cl_SoundChannel* channel,
                                   ISoundPlaybackCallback* callback)
{
    StartPlayback(source, channel, callback);
    alSourcei(source, AL_LOOPING, IsLooping() ? AL_TRUE : AL_FALSE);
    m_staged = 0;
}

void cl_ManualPlaybackObject::QueueData(const float* const* samples, int count)
{
    if (!HasSource())
        return;
    // Every played block is taken back, so the buffers stay as few as the queue needs.
    ALint processed = 0;
    alGetSourcei(GetSource(), AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(GetSource(), 1, &buffer);
        m_freeBuffers.push_back(buffer);
    }
    for (int index = 0; index < count; ++index)
    {
        for (int channel = 0; channel < m_channels; ++channel)
        {
            m_staging[m_staged++] = ToSample(samples[channel][index]);
            if (m_staged == STAGING_VALUES)
                QueueStaged();
        }
    }
}

void cl_ManualPlaybackObject::QueueStaged()
{
    ALuint buffer = 0;
    if (m_freeBuffers.empty())
    {
        alGenBuffers(1, &buffer);
        if (cl_Sound::CheckForError())
        {
            m_staged = 0;
            return;
        }
        m_buffers.push_back(buffer);
    }
    else
    {
        buffer = m_freeBuffers.front();
        m_freeBuffers.pop_front();
    }
    alBufferData(buffer, m_channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, m_staging,
                 sizeof(m_staging), m_rate);
    alSourceQueueBuffers(GetSource(), 1, &buffer);
    cl_Sound::CheckForError();
    m_staged = 0;

    ALint state = AL_STOPPED;
    ALint queued = 0;
    alGetSourcei(GetSource(), AL_SOURCE_STATE, &state);
    alGetSourcei(GetSource(), AL_BUFFERS_QUEUED, &queued);
    if (state != AL_PLAYING && queued > 0)
    {
        alSourcei(GetSource(), AL_LOOPING, AL_FALSE);
        alSourcePlay(GetSource());
        SetStarted();
    }
}

void cl_ManualPlaybackObject::Release()
{
    if (HasSource())
    {
        alSourceStop(GetSource());
        alSourcei(GetSource(), AL_BUFFER, 0); // takes every queued buffer off the source
    }
    if (!m_buffers.empty())
        alDeleteBuffers(static_cast<ALsizei>(m_buffers.size()), m_buffers.data());
    m_buffers.clear();
    m_freeBuffers.clear();
    cl_PlaybackObject::Release();
}
