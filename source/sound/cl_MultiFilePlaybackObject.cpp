#include "sound/cl_MultiFilePlaybackObject.h"

#include "sound/cl_Sound.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundLoader.h"

#include <AL/al.h>
#include <OgreMath.h>

#include <algorithm>

namespace
{
bool ParamIs(const cl_SoundDefinition& definition, const char* name, const char* value)
{
    const auto found = definition.m_params.find(name);
    return found != definition.m_params.end() && found->second == value;
}
} // namespace

cl_MultiFilePlaybackObject::cl_MultiFilePlaybackObject(cl_SoundLoader& loader,
                                                       const cl_SoundDefinition& definition)
    : m_loader(loader), m_random(ParamIs(definition, "choose", "random")), m_definition(definition),
      m_startFile(ParamIs(definition, "start", "true")), m_endFile(ParamIs(definition, "end", "true"))
{
}

cl_MultiFilePlaybackObject::~cl_MultiFilePlaybackObject()
{
    EndOnDestruction();
}

int cl_MultiFilePlaybackObject::NextFileIndex() const
{
    const int count = static_cast<int>(m_definition.m_files.size());
    if (count == 0)
        return -1;
    if (m_startFile && m_currentIndex < 0)
        return 0;
    if (m_remaining == 1 && m_endFile)
        return count - 1;
    // Without files between the opening and the closing one, the middle picks fall on the last file.
    const int middle = std::max(1, count - (m_startFile ? 1 : 0) - (m_endFile ? 1 : 0));
    int index = 0;
    if (m_random)
    {
        // UnitRandom may give 1.0 itself.
        index = std::min(static_cast<int>(Ogre::Math::UnitRandom() * static_cast<float>(middle)), middle - 1);
    }
    else
    {
        index = m_currentIndex + 1 - (m_startFile ? 1 : 0);
        if (index >= middle)
            index %= middle;
    }
    return std::min(m_startFile ? index + 1 : index, count - 1);
}

void cl_MultiFilePlaybackObject::QueueFile(int index)
{
    if (index < 0)
        return;
    const std::string& file = m_definition.m_files[static_cast<size_t>(index)];
    const int buffer = m_loader.GetBuffer(file, false);
    SetDuration(GetDuration() + m_loader.GetLength(file));
    // A file that cannot be loaded still counts as played, so that the sequence comes to its end.
    if (m_remaining > 0)
        --m_remaining;
    if (buffer == cl_SoundLoader::NO_BUFFER)
        return;
    const ALuint name = static_cast<ALuint>(buffer);
    alSourceQueueBuffers(GetSource(), 1, &name);
    if (!cl_Sound::CheckForError())
        SetStarted();
}

void cl_MultiFilePlaybackObject::QueueNext()
{
    m_currentIndex = NextFileIndex();
    QueueFile(m_currentIndex);
}

void cl_MultiFilePlaybackObject::Play(uint32_t source, cl_SoundChannel* channel,
                                      ISoundPlaybackCallback* callback)
{
    StartPlayback(source, channel, callback);
    m_remaining = m_definition.m_loopCount;
    if (m_remaining > 0)
        m_remaining += (m_startFile ? 1 : 0) + (m_endFile ? 1 : 0);
    m_fadeTime = 0.0f;
    QueueNext();
    if (m_remaining != 0)
        QueueNext();
    alSourcei(source, AL_LOOPING, AL_FALSE);
    alSourcePlay(source);
    MarkVolumeDirty();
}

void cl_MultiFilePlaybackObject::RefillQueue()
{
    const uint32_t source = GetSource();
    for (ALint processed = SourceValue(source, AL_BUFFERS_PROCESSED); processed > 0; --processed)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (m_remaining != 0)
            QueueNext();
    }
    // Each file once at most per refill: files that cannot be loaded must not hold the frame.
    const size_t attempts = m_definition.m_files.size();
    for (size_t attempt = 0;
         attempt < attempts && m_remaining != 0 && SourceValue(source, AL_BUFFERS_QUEUED) < 2; ++attempt)
        QueueNext();
}

void cl_MultiFilePlaybackObject::RestartTowardsEnd()
{
    m_remaining = m_endFile ? 1 : 0;
    RefillQueue();
    if (SourceValue(GetSource(), AL_SOURCE_STATE) == AL_STOPPED)
        alSourcePlay(GetSource());
}

void cl_MultiFilePlaybackObject::ClearQueue()
{
    const uint32_t source = GetSource();
    alSourceStop(source);
    alGetError();
    for (ALint queued = SourceValue(source, AL_BUFFERS_QUEUED); queued > 0; --queued)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(source, 1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            break;
    }
}

void cl_MultiFilePlaybackObject::StopFaded(float fadeTime, int mode, bool immediate)
{
    if (!HasSource())
        return;
    m_fadeTime = 0.0f;
    m_fadeClock = 0.0f;
    // A mode it does not know ends the sequence as mode 0 does.
    m_fadeMode = mode == FADE_OUTIN || mode == FADE_CROSS ? mode : FADE_NONE;
    if (m_fadeMode == FADE_NONE)
    {
        if (!immediate)
            ClearQueue();
        RestartTowardsEnd();
    }
    else if (immediate)
    {
        RestartTowardsEnd();
    }
    else if (fadeTime <= 0.0f)
    {
        ClearQueue();
        RestartTowardsEnd();
    }
    else if (m_fadeMode == FADE_OUTIN)
    {
        m_fadeTime = fadeTime;
        m_remaining = 2;
    }
    else
    {
        m_fadeTime = fadeTime;
        m_remaining = 0;
        StartCrossFade();
    }
}

void cl_MultiFilePlaybackObject::StartCrossFade()
{
    cl_SoundChannel* channel = GetChannel();
    if (!m_endFile || !channel)
        return;
    m_secondSource = channel->GetFreeSubChannel(false);
    if (!m_secondSource)
        return;
    channel->SetOwner(m_secondSource, this);
    const int buffer = m_loader.GetBuffer(m_definition.m_files.back(), false);
    if (buffer == cl_SoundLoader::NO_BUFFER)
        return;
    alSourcei(m_secondSource, AL_LOOPING, AL_FALSE);
    alSourcei(m_secondSource, AL_BUFFER, buffer);
    alSourcePlay(m_secondSource);
    alSourcef(m_secondSource, AL_GAIN, 0.0f);
    cl_Sound::CheckForError();
}

void cl_MultiFilePlaybackObject::FadeStep(float dt)
{
    const float before = m_fadeClock;
    m_fadeClock += dt;
    float factor = 1.0f;
    if (m_fadeMode == FADE_OUTIN)
    {
        if (before * 2.0f < m_fadeTime)
        {
            factor = 1.0f - 2.0f * m_fadeClock / m_fadeTime;
            if (2.0f * m_fadeClock >= m_fadeTime)
            {
                factor = 0.0f;
                ClearQueue();
                RestartTowardsEnd();
            }
        }
        else
        {
            factor = 2.0f * m_fadeClock / m_fadeTime - 1.0f;
            if (m_fadeClock >= m_fadeTime)
                m_fadeTime = 0.0f;
        }
    }
    else
    {
        factor = 1.0f - m_fadeClock / m_fadeTime;
        if (m_fadeClock >= m_fadeTime)
        {
            factor = 0.0f;
            m_fadeTime = 0.0f;
        }
        if (m_secondSource)
        {
            const float channelVolume = GetChannel() ? GetChannel()->GetVolume() : 1.0f;
            alSourcef(m_secondSource, AL_GAIN, std::max(0.0f, GetVolume() - factor) * channelVolume);
        }
    }
    SetGainFactor(std::clamp(factor, 0.0f, 1.0f));
}

void cl_MultiFilePlaybackObject::Update(float dt)
{
    if (!HasSource())
        return;
    cl_PlaybackObject::Update(dt);
    RefillQueue();
    if (m_fadeTime > 0.0f)
        FadeStep(dt);
    if (!IsIdle(GetSource()))
        return;
    if (m_fadeMode == FADE_CROSS && m_secondSource && !IsIdle(m_secondSource))
        return;
    ReleaseSecondSource();
    m_fadeTime = 0.0f;
    m_fadeMode = FADE_NONE;
    Release();
    ReportEnd(0);
}

void cl_MultiFilePlaybackObject::ReleaseSecondSource()
{
    if (!m_secondSource)
        return;
    alSourceStop(m_secondSource);
    alSourcei(m_secondSource, AL_BUFFER, 0);
    // Given back, or the channel would go on naming this object as its holder.
    if (GetChannel())
        GetChannel()->SetOwner(m_secondSource, nullptr);
    m_secondSource = 0;
}

void cl_MultiFilePlaybackObject::Release()
{
    ReleaseSecondSource();
    if (!HasSource())
        return;
    ClearQueue();
    cl_PlaybackObject::Release();
}
