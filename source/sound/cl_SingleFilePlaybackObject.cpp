#include "sound/cl_SingleFilePlaybackObject.h"

#include "sound/cl_Sound.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"

#include <AL/al.h>

cl_SingleFilePlaybackObject::cl_SingleFilePlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool)
    : m_loader(loader), m_pool(pool)
{
}

void cl_SingleFilePlaybackObject::Play(uint32_t source, cl_SoundChannel* channel,
                                       ISoundPlaybackCallback* callback)
{
    StartPlayback(source, channel, callback);
    const int buffer = m_loader.GetBuffer(m_file, m_withLevels);
    if (buffer == cl_SoundLoader::NO_BUFFER)
        return; // the source stays idle: the next update ends the playback
    SetDuration(m_loader.GetLength(m_file));
    alSourcei(source, AL_LOOPING, IsLooping() ? AL_TRUE : AL_FALSE);
    cl_Sound::CheckForError();
    alSourcei(source, AL_BUFFER, buffer);
    cl_Sound::CheckForError();
    alSourcePlay(source);
    cl_Sound::CheckForError();
    SetStarted();
    MarkVolumeDirty();
}

void cl_SingleFilePlaybackObject::SetLooping(bool looping)
{
    cl_PlaybackObject::SetLooping(looping);
    if (HasSource())
        alSourcei(GetSource(), AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
}

void cl_SingleFilePlaybackObject::Update(float dt)
{
    cl_PlaybackObject::Update(dt);
    if (!HasSource() || !IsIdle(GetSource()))
        return;
    Release();
    ReportEnd(0);
}

void cl_SingleFilePlaybackObject::SetSound(const std::string& id)
{
    m_file = m_pool.GetRandomFile(id);
}
