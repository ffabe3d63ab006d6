#include "sound/cl_SoundChannel.h"

#include "common/LogCall.h"
#include "sound/cl_PlaybackObject.h"
#include "sound/cl_Sound.h"

#include <AL/al.h>

cl_SoundChannel::cl_SoundChannel(int count)
{
    for (int index = 0; index < count; ++index)
    {
        ALuint source = 0;
        alGenSources(1, &source);
        if (cl_Sound::CheckForError() || source == 0)
            continue;
        m_sources.push_back(source);
        m_owners[source] = nullptr;
        alSource3f(source, AL_POSITION, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_VELOCITY, 0.0f, 0.0f, 0.0f);
        alSource3f(source, AL_DIRECTION, 0.0f, 0.0f, 0.0f);
        alSourcef(source, AL_ROLLOFF_FACTOR, 1.0f);
        alSourcef(source, AL_REFERENCE_DISTANCE, 10.0f);
        alSourcef(source, AL_MAX_DISTANCE, 10000.0f);
        alSourcei(source, AL_SOURCE_RELATIVE, AL_TRUE);
        alSourcef(source, AL_PITCH, 1.0f);
        alSourcef(source, AL_GAIN, 1.0f);
    }
}

cl_SoundChannel::~cl_SoundChannel() = default;

void cl_SoundChannel::Play(cl_PlaybackObject* playback, bool steal, ISoundPlaybackCallback* callback)
{
    if (!playback)
        return;
    alGetError();
    const uint32_t source = GetFreeSubChannel(steal);
    if (source)
        playback->Play(source, this, callback);
}

uint32_t cl_SoundChannel::GetFreeSubChannel(bool steal)
{
    for (uint32_t source : m_sources)
    {
        if (!GetOwner(source))
            return source;
    }
    if (!steal)
        return 0;
    // The stopped holder's callback may start a sound that takes the freed source: then the next one.
    for (size_t attempt = 0; attempt < m_sources.size(); ++attempt)
    {
        ++m_stealIndex;
        const uint32_t source = m_sources[static_cast<size_t>(m_stealIndex)];
        if (m_stealIndex >= static_cast<int>(m_sources.size()) - 1)
            m_stealIndex = -1;
        if (cl_PlaybackObject* owner = GetOwner(source))
            owner->Stop();
        LOG_WARNING("A sound channel needed to be stopped.");
        if (!GetOwner(source))
            return source;
    }
    return 0;
}

void cl_SoundChannel::Mute()
{
    if (m_muted)
        return;
    m_muted = true;
    for (uint32_t source : m_sources)
        alSourcef(source, AL_GAIN, 0.0f);
    MarkOwnersDirty();
}

void cl_SoundChannel::Unmute()
{
    if (!m_muted)
        return;
    m_muted = false;
    for (uint32_t source : m_sources)
        alSourcef(source, AL_GAIN, m_volume);
    MarkOwnersDirty();
}

void cl_SoundChannel::PauseAll()
{
    for (uint32_t source : m_sources)
        alSourcePause(source);
}

void cl_SoundChannel::ResumeAll()
{
    // Sources that ended meanwhile stay as they are; playing them again would restart their sound.
    for (uint32_t source : m_sources)
    {
        ALint state = AL_STOPPED;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        if (state == AL_PAUSED)
            alSourcePlay(source);
    }
}

// A playback that holds a second source for a cross-fade is its owner twice; it is reached through its
// own source only, so that it runs once a frame.
void cl_SoundChannel::StopAll()
{
    for (auto& entry : m_owners)
    {
        if (entry.second && entry.second->GetSource() == entry.first)
            entry.second->Stop();
    }
}

void cl_SoundChannel::Update(float dt)
{
    for (auto& entry : m_owners)
    {
        if (entry.second && entry.second->GetSource() == entry.first)
            entry.second->Update(dt);
    }
}

void cl_SoundChannel::SetVolume(float volume)
{
    if (volume == m_volume)
        return;
    m_volume = volume;
    MarkOwnersDirty();
}

float cl_SoundChannel::GetVolume() const
{
    return m_muted ? 0.0f : m_volume;
}

void cl_SoundChannel::SetOwner(uint32_t source, cl_PlaybackObject* owner)
{
    m_owners[source] = owner;
}

cl_PlaybackObject* cl_SoundChannel::GetOwner(uint32_t source) const
{
    const auto found = m_owners.find(source);
    return found == m_owners.end() ? nullptr : found->second;
}

void cl_SoundChannel::MarkOwnersDirty()
{
    for (auto& entry : m_owners)
    {
        if (entry.second)
            entry.second->MarkVolumeDirty();
    }
}
