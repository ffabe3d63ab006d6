#include "sound/cl_StreamedPlaybackObject.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "sound/cl_Sound.h"

#include <AL/al.h>
#include <OgreResourceGroupManager.h>

namespace
{
const char* const STREAM_GROUP = "GAMEDATA";
} // namespace

cl_StreamedPlaybackObject::cl_StreamedPlaybackObject(cl_SoundLoader& loader, const cl_SoundPool& pool,
                                                     const std::string& file)
    : cl_SingleFilePlaybackObject(loader, pool)
{
    SetFile(file);
}

cl_StreamedPlaybackObject::~cl_StreamedPlaybackObject()
{
    EndOnDestruction();
}

bool cl_StreamedPlaybackObject::FileExists(const std::string& file)
{
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    return groups && groups->resourceGroupExists(STREAM_GROUP) &&
           groups->resourceExists(STREAM_GROUP, ForwardSlashes(file));
}

void cl_StreamedPlaybackObject::Play(uint32_t source, cl_SoundChannel* channel,
                                     ISoundPlaybackCallback* callback)
{
    StartPlayback(source, channel, callback);
    if (!OpenFile())
        return; // the next update ends the playback
    m_format = m_ogg.GetChannels() == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
    m_piece.resize(BUFFER_BYTES);
    alGetError();
    alGenBuffers(BUFFER_COUNT, m_buffers);
    m_buffersMade = !cl_Sound::CheckForError();
    if (m_buffersMade && InitStream())
        LOG_INFO("Playing ogg stream %s", GetFile().c_str());
    else
        LOG_ERROR("Couldn't Init stream %s", GetFile().c_str());
}

bool cl_StreamedPlaybackObject::OpenFile()
{
    if (!FileExists(GetFile()))
    {
        LOG_ERROR("Unable to open file '%s'. File not found.", GetFile().c_str());
        return false;
    }
    Ogre::DataStreamPtr stream;
    try
    {
        stream =
            Ogre::ResourceGroupManager::getSingleton().openResource(ForwardSlashes(GetFile()), STREAM_GROUP);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Unable to open file '%s'. %s", GetFile().c_str(), exception.getDescription().c_str());
        return false;
    }
    std::string error;
    if (!m_ogg.Open(stream, error))
    {
        LOG_ERROR("Unable to open file '%s'. %s", GetFile().c_str(), error.c_str());
        return false;
    }
    return true;
}

bool cl_StreamedPlaybackObject::InitStream()
{
    if (m_initialised)
    {
        LOG_WARNING("Tried to init a stream that already is playing.");
        return false;
    }
    m_initialised = true;
    int filled = 0;
    while (filled < BUFFER_COUNT && FillBuffer(m_buffers[filled]))
        ++filled;
    if (filled > 0)
    {
        alSourceQueueBuffers(GetSource(), filled, m_buffers);
        SetStarted();
    }
    alSourcei(GetSource(), AL_LOOPING, AL_FALSE);
    alSourcePlay(GetSource());
    cl_Sound::CheckForError();
    return true;
}

bool cl_StreamedPlaybackObject::FillBuffer(uint32_t buffer)
{
    const int bytes = m_ogg.Read(m_piece.data(), BUFFER_BYTES, IsLooping());
    if (bytes <= 0)
        return false;
    alBufferData(buffer, m_format, m_piece.data(), bytes, static_cast<ALsizei>(m_ogg.GetRate()));
    cl_Sound::CheckForError();
    return true;
}

bool cl_StreamedPlaybackObject::Refill()
{
    const ALint processed = SourceValue(GetSource(), AL_BUFFERS_PROCESSED);
    if (processed > BUFFER_COUNT)
        return false;
    bool more = true;
    for (ALint index = 0; index < processed; ++index)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(GetSource(), 1, &buffer);
        more = FillBuffer(buffer);
        if (more)
            alSourceQueueBuffers(GetSource(), 1, &buffer);
    }
    return more;
}

void cl_StreamedPlaybackObject::Update(float dt)
{
    if (!HasSource())
        return;
    MarkVolumeDirty();
    cl_PlaybackObject::Update(dt);
    if (!m_initialised)
    {
        // The file could not be opened: the source goes back and the owner hears of the end.
        Release();
        ReportEnd(0);
        return;
    }
    const bool more = Refill();
    const ALint state = SourceValue(GetSource(), AL_SOURCE_STATE);
    const ALint queued = SourceValue(GetSource(), AL_BUFFERS_QUEUED);
    // Nothing queued means nothing will come: playing again would only stop again.
    if (more && queued > 0)
    {
        if (state == AL_STOPPED)
            alSourcePlay(GetSource());
        return;
    }
    if (state != AL_STOPPED && queued > 0)
        return;
    if (queued == 0)
        alSourceStop(GetSource());
    Release();
    LOG_INFO("Plaback of stream '%s' finished", GetFile().c_str());
    ReportEnd(0);
}

void cl_StreamedPlaybackObject::SetLooping(bool looping)
{
    cl_PlaybackObject::SetLooping(looping);
    if (HasSource())
        alSourcei(GetSource(), AL_LOOPING, AL_FALSE);
}

void cl_StreamedPlaybackObject::EmptyQueue()
{
    alGetError();
    for (ALint queued = SourceValue(GetSource(), AL_BUFFERS_QUEUED); queued > 0; --queued)
    {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(GetSource(), 1, &buffer);
        if (alGetError() != AL_NO_ERROR)
            break;
    }
}

void cl_StreamedPlaybackObject::Release()
{
    if (!HasSource())
        return;
    alSourceStop(GetSource());
    cl_Sound::CheckForError();
    EmptyQueue();
    if (m_buffersMade)
        alDeleteBuffers(BUFFER_COUNT, m_buffers);
    m_buffersMade = false;
    cl_Sound::CheckForError();
    m_initialised = false;
    m_ogg.Close();
    cl_PlaybackObject::Release();
}
