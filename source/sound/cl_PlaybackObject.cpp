#include "sound/cl_PlaybackObject.h"

#include "sound/ISoundPlaybackCallback.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"

#include <AL/al.h>

#include <algorithm>

cl_PlaybackObject::~cl_PlaybackObject()
{
    EndOnDestruction();
}

void cl_PlaybackObject::EndOnDestruction()
{
    if (!m_source)
        return;
    Release();
    ReportEnd(1);
}

void cl_PlaybackObject::Play(uint32_t source, cl_SoundChannel* channel, ISoundPlaybackCallback* callback)
{
    StartPlayback(source, channel, callback);
}

void cl_PlaybackObject::StartPlayback(uint32_t source, cl_SoundChannel* channel,
                                      ISoundPlaybackCallback* callback)
{
    Stop();
    Release();
    m_source = source;
    m_channel = channel;
    m_callback = callback;
    if (m_channel)
        m_channel->SetOwner(source, this);
    m_elapsed = 0.0f;
    m_duration = 0.0f;
    m_started = false;
    RefreshVolume();
    ResetPosition();
}

void cl_PlaybackObject::RefreshVolume()
{
    cl_Sound::CheckForError();
    m_volumeDirty = false;
    const float channelVolume = m_channel ? m_channel->GetVolume() : 1.0f;
    if (m_source)
        alSourcef(m_source, AL_GAIN, std::max(0.0f, channelVolume * m_gainFactor * m_volume));
    cl_Sound::CheckForError();
}

void cl_PlaybackObject::ResetPosition()
{
    if (!m_source)
        return;
    m_positioned = false;
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_source, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(m_source, AL_REFERENCE_DISTANCE, 10.0f);
    alSourcef(m_source, AL_ROLLOFF_FACTOR, 1.0f);
}

void cl_PlaybackObject::Stop()
{
    if (!m_source)
        return;
    Release();
    ReportEnd(1);
}

void cl_PlaybackObject::ReportEnd(int stopped)
{
    ISoundPlaybackCallback* callback = m_callback;
    m_callback = nullptr;
    if (callback)
        callback->PlaybackFinished(this, stopped);
}

void cl_PlaybackObject::StopFaded(float, int, bool)
{
    Stop();
}

void cl_PlaybackObject::SetLooping(bool looping)
{
    m_looping = looping;
}

void cl_PlaybackObject::Update(float dt)
{
    if (!m_source)
        return;
    if (m_volumeDirty)
        RefreshVolume();
    if (m_duration > 0.0f)
        m_elapsed += dt;
}

void cl_PlaybackObject::SetPosition(float x, float y, float z)
{
    if (!m_source)
        return;
    if (!m_positioned)
    {
        m_positioned = true;
        alSourcei(m_source, AL_SOURCE_RELATIVE, AL_FALSE);
    }
    alSource3f(m_source, AL_POSITION, x, y, z);
}

void cl_PlaybackObject::Release()
{
    if (!m_source)
        return;
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    if (m_channel)
        m_channel->SetOwner(m_source, nullptr);
    m_channel = nullptr;
    m_source = 0;
}

void cl_PlaybackObject::SetVolume(float volume)
{
    m_volume = volume;
    m_volumeDirty = true;
}

void cl_PlaybackObject::SetGainFactor(float factor)
{
    m_gainFactor = factor;
    m_volumeDirty = true;
}

int cl_PlaybackObject::SourceValue(uint32_t source, int what)
{
    ALint value = 0;
    alGetSourcei(source, what, &value);
    return value;
}

bool cl_PlaybackObject::IsIdle(uint32_t source)
{
    const int state = SourceValue(source, AL_SOURCE_STATE);
    return state == AL_STOPPED || state == AL_INITIAL;
}
