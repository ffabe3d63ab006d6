#include "sound/OggFile.h"

#include "common/LogCall.h"

namespace
{
// Decoding errors in a row after which a damaged file counts as ended, so a read always ends.
const int MAX_ERRORS_IN_A_ROW = 64;

Ogre::DataStreamPtr StreamOf(void* source)
{
    // A counted copy, so the stream lives while the call runs.
    return *static_cast<Ogre::DataStreamPtr*>(source);
}

size_t ReadStream(void* target, size_t size, size_t count, void* source)
{
    return StreamOf(source)->read(target, size * count);
}

int SeekStream(void* source, ogg_int64_t offset, int whence)
{
    const Ogre::DataStreamPtr stream = StreamOf(source);
    switch (whence)
    {
    case SEEK_SET:
        stream->seek(static_cast<size_t>(offset));
        break;
    case SEEK_CUR:
        stream->skip(static_cast<long>(offset));
        break;
    case SEEK_END:
        stream->seek(stream->size());
        stream->skip(static_cast<long>(offset));
        break;
    default:
        break;
    }
    return 0;
}

// The stream belongs to the OggFile, which closes it.
int CloseStream(void*)
{
    return 0;
}

long TellStream(void* source)
{
    return static_cast<long>(StreamOf(source)->tell());
}

const ov_callbacks STREAM_CALLBACKS = {ReadStream, SeekStream, CloseStream, TellStream};
} // namespace

OggFile::~OggFile()
{
    Close();
}

bool OggFile::Open(const Ogre::DataStreamPtr& stream, std::string& error)
{
    Close();
    m_stream = stream;
    const int result = ov_open_callbacks(&m_stream, &m_file, nullptr, 0, STREAM_CALLBACKS);
    if (result < 0)
    {
        // A failed open leaves nothing for ov_clear to free.
        m_stream.reset();
        error = "Could not open Ogg stream. " + ErrorText(result);
        return false;
    }
    m_open = true;
    return true;
}

void OggFile::Close()
{
    if (m_open)
        ov_clear(&m_file);
    m_open = false;
    m_stream.reset();
}

int OggFile::GetChannels()
{
    const vorbis_info* info = m_open ? ov_info(&m_file, -1) : nullptr;
    return info ? info->channels : 0;
}

long OggFile::GetRate()
{
    const vorbis_info* info = m_open ? ov_info(&m_file, -1) : nullptr;
    return info ? info->rate : 0;
}

int OggFile::Read(char* target, int size, bool loop)
{
    if (!m_open)
        return 0;
    int written = 0;
    int errorsInARow = 0;
    // A file that gives no sound at all would otherwise be looped for ever.
    bool decodedSinceStart = true;
    while (written < size)
    {
        int section = 0;
        const long result = ov_read(&m_file, target + written, size - written, 0, 2, 1, &section);
        if (result > 0)
        {
            written += static_cast<int>(result);
            errorsInARow = 0;
            decodedSinceStart = true;
        }
        else if (result < 0)
        {
            LOG_ERROR("Error while decoding '%s': %s", m_stream ? m_stream->getName().c_str() : "",
                      ErrorText(static_cast<int>(result)).c_str());
            if (++errorsInARow >= MAX_ERRORS_IN_A_ROW)
                break;
        }
        else
        {
            if (!loop || !decodedSinceStart || ov_raw_seek(&m_file, 0) != 0)
                break;
            decodedSinceStart = false;
        }
    }
    return written;
}

std::string OggFile::ErrorText(int code)
{
    switch (code)
    {
    case OV_EREAD:
        return "Read from media.";
    case OV_EFAULT:
        return "Internal logic fault (bug or heap/stack corruption.";
    case OV_ENOTVORBIS:
        return "Not Vorbis data.";
    case OV_EBADHEADER:
        return "Invalid Vorbis header.";
    case OV_EVERSION:
        return "Vorbis version mismatch.";
    default:
        return "Unknown Ogg error.";
    }
}
