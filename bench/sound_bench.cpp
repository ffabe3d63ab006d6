// The sound system's playback against bare OpenAL use of the same demo files, on OpenAL Soft's loopback
// device (it mixes on the calling thread, so CPU time is the whole cost):
//   StreamedPlayback  each Ogg music file played to its end in frames of 20 ms: our streamed playback
//                     on a channel, against libvorbisfile decoding into eight queued buffers of 128 KiB
//   ColdLoads         every sound file decoded into a buffer once, with an empty cache: our loader
//                     (through OGRE's resource groups), against ALUT for WAV and libvorbisfile for Ogg
// The repetitions of both sides are interleaved; the last lines print each ours / bare ratio of the median
// CPU times.
#include "sound/ISoundPlaybackCallback.h"
#include "sound/cl_SoundChannel.h"
#include "sound/cl_SoundLoader.h"
#include "sound/cl_SoundPool.h"
#include "sound/cl_StreamedPlaybackObject.h"
#include "support/BenchRatio.h"
#include "support/HeadlessOgre.h"
#include "support/LoopbackAudio.h"

#include <AL/al.h>
#include <AL/alut.h>
#include <OgreResourceGroupManager.h>
#include <benchmark/benchmark.h>
#include <boost/filesystem/operations.hpp>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace
{
namespace fs = boost::filesystem;

const char* const SOUND_FOLDER = QUILLMERE_BUILT_DEMO_DIR "data/sound";
const float FRAME = 0.02f;
const int STREAM_BUFFERS = 8;
const int STREAM_BYTES = 0x20000;

// The demo's sound files of one extension, sorted.
std::vector<std::string> SoundFiles(const std::string& extension)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(SOUND_FOLDER))
    {
        if (entry.path().extension() == extension)
            names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string PathOf(const std::string& name)
{
    return std::string(SOUND_FOLDER) + "/" + name;
}

class EndFlag final : public ISoundPlaybackCallback
{
public:
    void PlaybackFinished(cl_PlaybackObject*, int) override { ended = true; }
    bool ended = false;
};

// Decodes with ov_read until size bytes or the end; the bytes written.
int Decode(OggVorbis_File& file, char* target, int size)
{
    int written = 0;
    while (written < size)
    {
        int section = 0;
        const long result = ov_read(&file, target + written, size - written, 0, 2, 1, &section);
        if (result <= 0)
            break;
        written += static_cast<int>(result);
    }
    return written;
}

ALenum FormatOf(OggVorbis_File& file)
{
    return ov_info(&file, -1)->channels == 1 ? AL_FORMAT_MONO16 : AL_FORMAT_STEREO16;
}

struct World
{
    World()
    {
        Ogre::ResourceGroupManager& groups = Ogre::ResourceGroupManager::getSingleton();
        groups.addResourceLocation(SOUND_FOLDER, "FileSystem", "GAMEDATA");
        groups.initialiseResourceGroup("GAMEDATA");
    }

    HeadlessOgre ogre;
    LoopbackAudio audio;
};

World& TheWorld()
{
    static World world;
    return world;
}

// Whether the benchmark has its device and the demo's sounds; it is skipped with the reason when not.
bool Ready(benchmark::State& state)
{
    if (!TheWorld().audio.IsOpen())
        state.SkipWithError("no loopback device");
    else if (SoundFiles(".ogg").empty())
        state.SkipWithError("no demo sounds in " QUILLMERE_BUILT_DEMO_DIR "data/sound");
    else
        return true;
    return false;
}

void BM_OursStreamed(benchmark::State& state)
{
    if (!Ready(state))
        return;
    cl_SoundLoader loader;
    cl_SoundPool pool(loader);
    cl_SoundChannel channel(1);
    const std::vector<std::string> files = SoundFiles(".ogg");
    for (auto _ : state)
    {
        for (const std::string& name : files)
        {
            EndFlag end;
            cl_StreamedPlaybackObject stream(loader, pool, name);
            channel.Play(&stream, true, &end);
            while (!end.ended)
            {
                TheWorld().audio.Discard(FRAME);
                channel.Update(FRAME);
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}

BENCHMARK(BM_OursStreamed)->Unit(benchmark::kMillisecond);

void BM_BareStreamed(benchmark::State& state)
{
    if (!Ready(state))
        return;
    ALuint source = 0;
    alGenSources(1, &source);
    std::vector<char> piece(STREAM_BYTES);
    const std::vector<std::string> files = SoundFiles(".ogg");
    for (auto _ : state)
    {
        for (const std::string& name : files)
        {
            OggVorbis_File file;
            if (ov_fopen(PathOf(name).c_str(), &file) != 0)
            {
                state.SkipWithError("an Ogg file does not open");
                return;
            }
            const ALenum format = FormatOf(file);
            const ALsizei rate = static_cast<ALsizei>(ov_info(&file, -1)->rate);
            ALuint buffers[STREAM_BUFFERS];
            alGenBuffers(STREAM_BUFFERS, buffers);
            const auto fill = [&](ALuint buffer)
            {
                const int bytes = Decode(file, piece.data(), STREAM_BYTES);
                if (bytes > 0)
                {
                    alBufferData(buffer, format, piece.data(), bytes, rate);
                    alSourceQueueBuffers(source, 1, &buffer);
                }
                return bytes > 0;
            };
            for (ALuint buffer : buffers)
                fill(buffer);
            alSourcePlay(source);
            for (ALint queued = 1; queued > 0;)
            {
                TheWorld().audio.Discard(FRAME);
                ALint processed = 0;
                alGetSourcei(source, AL_BUFFERS_PROCESSED, &processed);
                for (; processed > 0; --processed)
                {
                    ALuint buffer = 0;
                    alSourceUnqueueBuffers(source, 1, &buffer);
                    fill(buffer);
                }
                alGetSourcei(source, AL_BUFFERS_QUEUED, &queued);
            }
            alSourceStop(source);
            alSourcei(source, AL_BUFFER, 0);
            alDeleteBuffers(STREAM_BUFFERS, buffers);
            ov_clear(&file);
        }
    }
    alDeleteSources(1, &source);
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}

std::vector<std::string> LoadedFiles()
{
    std::vector<std::string> files = SoundFiles(".wav");
    const std::vector<std::string> ogg = SoundFiles(".ogg");
    files.insert(files.end(), ogg.begin(), ogg.end());
    return files;
}

BENCHMARK(BM_BareStreamed)->Unit(benchmark::kMillisecond);

void BM_OursColdLoads(benchmark::State& state)
{
    if (!Ready(state))
        return;
    const std::vector<std::string> files = LoadedFiles();
    for (auto _ : state)
    {
        cl_SoundLoader loader;
        for (const std::string& name : files)
            benchmark::DoNotOptimize(loader.GetBuffer(name, false));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}

ALuint BareWav(const std::string& path)
{
    std::ifstream stream(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    ALenum format = 0;
    ALsizei size = 0;
    ALfloat rate = 0.0f;
    void* pcm =
        alutLoadMemoryFromFileImage(bytes.data(), static_cast<ALsizei>(bytes.size()), &format, &size, &rate);
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, format, pcm, size, static_cast<ALsizei>(rate));
    std::free(pcm);
    return buffer;
}

ALuint BareOgg(const std::string& path)
{
    OggVorbis_File file;
    if (ov_fopen(path.c_str(), &file) != 0)
        return 0;
    std::vector<char> pcm(static_cast<size_t>(ov_pcm_total(&file, -1) * ov_info(&file, -1)->channels * 2));
    const int bytes = Decode(file, pcm.data(), static_cast<int>(pcm.size()));
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    alBufferData(buffer, FormatOf(file), pcm.data(), bytes, static_cast<ALsizei>(ov_info(&file, -1)->rate));
    ov_clear(&file);
    return buffer;
}

BENCHMARK(BM_OursColdLoads)->Unit(benchmark::kMillisecond);

void BM_BareColdLoads(benchmark::State& state)
{
    if (!Ready(state))
        return;
    const std::vector<std::string> files = LoadedFiles();
    std::vector<ALuint> buffers;
    for (auto _ : state)
    {
        buffers.clear();
        for (const std::string& name : files)
            buffers.push_back(name.substr(name.size() - 4) == ".ogg" ? BareOgg(PathOf(name))
                                                                     : BareWav(PathOf(name)));
        alDeleteBuffers(static_cast<ALsizei>(buffers.size()), buffers.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}

BENCHMARK(BM_BareColdLoads)->Unit(benchmark::kMillisecond);

const BenchRatio STREAMED_RATIO("streamed playback, ours / bare", "BM_OursStreamed", "BM_BareStreamed",
                                BenchRatio::AT_MOST, 1.2, BenchRatio::CPU_TIME);
const BenchRatio COLD_LOADS_RATIO("cold cache loads, ours / bare", "BM_OursColdLoads", "BM_BareColdLoads",
                                  BenchRatio::AT_MOST, 1.2, BenchRatio::CPU_TIME);
} // namespace
