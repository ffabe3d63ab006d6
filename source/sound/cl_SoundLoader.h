#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <string>
#include <vector>

// Turns sound files of the resource groups "GAMEDATA" and "SPEACHDATA" into OpenAL buffers: WAV through
// ALUT and Ogg Vorbis through libvorbisfile, each decoded whole. Keeps the play length of each and, when
// asked, its loudness per 10 ms (for mouths), and holds the 30 most recently asked for; a buffer still
// attached to a source stays cached beyond that. Streamed music does not pass through it.
// File names may use '\' between folders.
class cl_SoundLoader
{
public:
    // What a load answers when the file cannot be had.
    static constexpr int NO_BUFFER = -1;
    static constexpr size_t CACHE_SIZE = 30;

    cl_SoundLoader() = default;
    // Deletes every cached buffer; the sources must have let go of them.
    ~cl_SoundLoader();
    cl_SoundLoader(const cl_SoundLoader&) = delete;
    cl_SoundLoader& operator=(const cl_SoundLoader&) = delete;

    // The buffer of the file, loaded when it is not cached (the least recently asked for are evicted
    // first); NO_BUFFER when it cannot be loaded (logged). withLevels keeps the loudness levels, but only
    // when the file is loaded now.
    int GetBuffer(const std::string& name, bool withLevels);
    // Deletes the cached buffer; one still attached to a source stays cached as the newest entry.
    void UnbufferSound(const std::string& name);

    // Seconds of sound of a cached file; -1 when it is not cached.
    float GetLength(const std::string& name) const;
    // The loudness of a cached file, one value (0 to 1) per 10 ms; empty when none were kept.
    const std::vector<float>& GetLevels(const std::string& name) const;
    bool IsCached(const std::string& name) const { return m_cache.count(name) != 0; }
    size_t GetCachedCount() const { return m_cache.size(); }

    // Whether "GAMEDATA", else "SPEACHDATA", holds the file.
    static bool FileExists(const std::string& name);
    // The loudness per window of rate / 100 frames, from the first channel of interleaved PCM of 8-bit
    // (unsigned) or 16-bit (signed) samples: the mean distance from silence over full scale. The last
    // window is left out, whole or not; a rate below 100 gives none.
    static std::vector<float> LoudnessLevels(const uint8_t* data, size_t bytes, int channels, int bits,
                                             int rate);

private:
    struct Entry
    {
        uint32_t buffer = 0;
        float length = 0.0f;
        std::vector<float> levels;
    };

    int BufferSound(const std::string& name, bool withLevels);
    int BufferWAV(const std::string& name, bool withLevels);
    int BufferOgg(const std::string& name, bool withLevels);
    // Generates a buffer, uploads the PCM data and caches it; NO_BUFFER when OpenAL refuses a buffer.
    int StoreBuffer(const std::string& name, int format, const void* data, int bytes, int rate, Entry entry);
    void Touch(const std::string& name);

    std::map<std::string, Entry> m_cache;
    // Oldest first; each name at most once.
    std::list<std::string> m_recency;
};
