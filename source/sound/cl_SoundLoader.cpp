#include "sound/cl_SoundLoader.h"

#include "common/FileHelpers.h"
#include "common/LogCall.h"
#include "common/cl_GameTime.h"
#include "sound/OggFile.h"
#include "sound/cl_Sound.h"

#include <AL/al.h>
#include <AL/alut.h>
#include <OgreResourceGroupManager.h>
#include <OgreStringConverter.h>

#include <climits>
#include <cstdlib>
#include <cstring>

namespace
{
const char* const SOUND_GROUPS[] = {"GAMEDATA", "SPEACHDATA"};

// The first of the sound groups that holds the file; "" when none does.
std::string GroupOf(const std::string& name)
{
    Ogre::ResourceGroupManager* groups = Ogre::ResourceGroupManager::getSingletonPtr();
    if (!groups)
        return "";
    const std::string resource = ForwardSlashes(name);
    for (const char* group : SOUND_GROUPS)
    {
        if (groups->resourceGroupExists(group) && groups->resourceExists(group, resource))
            return group;
    }
    return "";
}

Ogre::DataStreamPtr OpenSound(const std::string& name)
{
    const std::string group = GroupOf(name);
    if (group.empty())
        return Ogre::DataStreamPtr();
    try
    {
        return Ogre::ResourceGroupManager::getSingleton().openResource(ForwardSlashes(name), group);
    }
    catch (const Ogre::Exception& exception)
    {
        LOG_ERROR("Unable to open sound '%s': %s", name.c_str(), exception.getDescription().c_str());
        return Ogre::DataStreamPtr();
    }
}

uint32_t Milliseconds()
{
    const cl_GameTime* time = cl_GameTime::GetInstance();
    return time ? time->GetMilliseconds() : 0;
}

// Channels and bits per sample of an OpenAL buffer format; 0 channels for any other format.
void DescribeFormat(ALenum format, int& channels, int& bits)
{
    channels = format == AL_FORMAT_MONO8 || format == AL_FORMAT_MONO16       ? 1
               : format == AL_FORMAT_STEREO8 || format == AL_FORMAT_STEREO16 ? 2
                                                                             : 0;
    bits = format == AL_FORMAT_MONO8 || format == AL_FORMAT_STEREO8 ? 8 : 16;
}

const std::vector<float> NO_LEVELS;
} // namespace

cl_SoundLoader::~cl_SoundLoader()
{
    for (const auto& entry : m_cache)
        alDeleteBuffers(1, &entry.second.buffer);
}

void cl_SoundLoader::Touch(const std::string& name)
{
    m_recency.remove(name);
    m_recency.push_back(name);
}

int cl_SoundLoader::GetBuffer(const std::string& name, bool withLevels)
{
    Touch(name);
    const auto cached = m_cache.find(name);
    if (cached != m_cache.end())
        return static_cast<int>(cached->second.buffer);

    // One pass over the older names at most: buffers still attached go back to the end, and when every
    // one is attached the cache grows beyond its size for a while.
    for (size_t older = m_recency.size() - 1; m_recency.size() > CACHE_SIZE && older > 0; --older)
    {
        const std::string oldest = m_recency.front(); // a copy: the list lets go of its own
        UnbufferSound(oldest);
    }

    const int buffer = BufferSound(name, withLevels);
    if (buffer == NO_BUFFER)
        m_recency.remove(name);
    return buffer;
}

int cl_SoundLoader::BufferSound(const std::string& name, bool withLevels)
{
    if (!FileExists(name))
    {
        LOG_ERROR("Unable to buffer sound '%s'. File not found.", name.c_str());
        return NO_BUFFER;
    }
    std::string base;
    std::string extension;
    Ogre::StringUtil::splitBaseFilename(name, base, extension);
    Ogre::StringUtil::toLowerCase(extension);
    if (extension == "wav")
        return BufferWAV(name, withLevels);
    if (extension == "ogg")
        return BufferOgg(name, withLevels);
    LOG_ERROR("Unable to buffer sound '%s'. Unknown file format.", name.c_str());
    return NO_BUFFER;
}

int cl_SoundLoader::BufferWAV(const std::string& name, bool withLevels)
{
    const uint32_t start = Milliseconds();
    const Ogre::DataStreamPtr stream = OpenSound(name);
    if (!stream)
        return NO_BUFFER;
    const std::string file = stream->getAsString();

    ALenum format = 0;
    ALsizei bytes = 0;
    ALfloat rate = 0.0f;
    alGetError(); // ALUT refuses to work over a pending error
    void* pcm =
        alutLoadMemoryFromFileImage(file.data(), static_cast<ALsizei>(file.size()), &format, &bytes, &rate);
    if (!pcm)
    {
        cl_Sound::CheckForError("Unable to decode sound '" + name + "': ");
        return NO_BUFFER;
    }
    int channels = 0;
    int bits = 0;
    DescribeFormat(format, channels, bits);
    Entry entry;
    if (withLevels)
        entry.levels = LoudnessLevels(static_cast<const uint8_t*>(pcm), static_cast<size_t>(bytes), channels,
                                      bits, static_cast<int>(rate));
    const float frameBytes = rate * static_cast<float>(channels * bits / 8);
    entry.length = frameBytes > 0.0f ? static_cast<float>(bytes) / frameBytes : 0.0f;
    const int buffer = StoreBuffer(name, format, pcm, bytes, static_cast<int>(rate), std::move(entry));
    std::free(pcm);
    LOG_INFO("Loading in %i ms sound '%s'", static_cast<int>(Milliseconds() - start), name.c_str());
    return buffer;
}

int cl_SoundLoader::BufferOgg(const std::string& name, bool withLevels)
{
    const Ogre::DataStreamPtr stream = OpenSound(name);
    if (!stream)
        return NO_BUFFER;
    OggFile file;
    std::string error;
    if (!file.Open(stream, error))
    {
        LOG_ERROR("Unable to buffer sound '%s'. %s", name.c_str(), error.c_str());
        return NO_BUFFER;
    }
    const int channels = file.GetChannels();
    const int rate = static_cast<int>(file.GetRate());
    const ogg_int64_t frames = ov_pcm_total(&file.Handle(), -1);
    if (frames <= 0 || rate <= 0 || channels < 1 || frames > INT_MAX / 2 / channels)
    {
        LOG_ERROR("Unable to buffer sound '%s'. Its length is unknown or too great.", name.c_str());
        return NO_BUFFER;
    }
    std::vector<char> pcm(static_cast<size_t>(frames * channels * 2));
    const int bytes = file.Read(pcm.data(), static_cast<int>(pcm.size()), false);

    Entry entry;
    if (withLevels)
        entry.levels = LoudnessLevels(reinterpret_cast<const uint8_t*>(pcm.data()),
                                      static_cast<size_t>(bytes), channels, 16, rate);
    entry.length = static_cast<float>(bytes) / static_cast<float>(rate) / (channels == 1 ? 2.0f : 4.0f);
    return StoreBuffer(name, channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16, pcm.data(), bytes, rate,
                       std::move(entry));
}

int cl_SoundLoader::StoreBuffer(const std::string& name, int format, const void* data, int bytes, int rate,
                                Entry entry)
{
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (cl_Sound::CheckForError())
        return NO_BUFFER;
    alBufferData(buffer, format, data, bytes, rate);
    cl_Sound::CheckForError();
    entry.buffer = buffer;
    m_cache[name] = std::move(entry);
    return static_cast<int>(buffer);
}

void cl_SoundLoader::UnbufferSound(const std::string& name)
{
    m_recency.remove(name);
    const auto found = m_cache.find(name);
    if (found == m_cache.end())
    {
        LOG_ERROR("The sound '%s' couldn't be unbuffered b/c it was not found anomg buffered sounds",
                  name.c_str());
        return;
    }
    alGetError();
    alDeleteBuffers(1, &found->second.buffer);
    const ALenum error = alGetError();
    if (error == AL_INVALID_OPERATION)
        m_recency.push_back(name);
    else if (error == AL_NO_ERROR)
        m_cache.erase(found);
    else
        LOG_ERROR("OpenAL error was raised: %s", cl_Sound::AlErrorName(error));
}

float cl_SoundLoader::GetLength(const std::string& name) const
{
    const auto found = m_cache.find(name);
    return found == m_cache.end() ? -1.0f : found->second.length;
}

const std::vector<float>& cl_SoundLoader::GetLevels(const std::string& name) const
{
    const auto found = m_cache.find(name);
    return found == m_cache.end() ? NO_LEVELS : found->second.levels;
}

bool cl_SoundLoader::FileExists(const std::string& name)
{
    return !GroupOf(name).empty();
}

std::vector<float> cl_SoundLoader::LoudnessLevels(const uint8_t* data, size_t bytes, int channels, int bits,
                                                  int rate)
{
    std::vector<float> levels;
    if (channels < 1 || (bits != 8 && bits != 16) || rate < 100)
        return levels;
    const size_t sampleBytes = static_cast<size_t>(bits / 8);
    const size_t frameBytes = sampleBytes * static_cast<size_t>(channels);
    const size_t frames = bytes / frameBytes;
    const size_t window = static_cast<size_t>(rate / 100);
    levels.reserve(frames / window);
    for (size_t first = 0; frames - first > window; first += window)
    {
        double sum = 0.0;
        for (size_t frame = first; frame < first + window; ++frame)
        {
            const uint8_t* sample = data + frame * frameBytes;
            if (bits == 8)
            {
                sum += std::abs(static_cast<int>(sample[0]) - 128);
            }
            else
            {
                int16_t value = 0;
                std::memcpy(&value, sample, sizeof(value));
                sum += std::abs(static_cast<int>(value));
            }
        }
        const double scale = bits == 8 ? 128.0 : 32767.0;
        levels.push_back(static_cast<float>(sum / static_cast<double>(window) / scale));
    }
    return levels;
}
