// Decoding speed of a 640x360 Theora video with stereo Vorbis sound on one thread, in frames a second
// (items_per_second): each frame to 32-bit pixels as the video player copies them, and decoded only, as
// a late frame is. The clip is grainy and drifts, so that most blocks carry real detail.
#include "platform/TheoraClipWriter.h"
#include "platform/TheoraDecoder.h"
#include "platform/TheoraMemoryDataSource.h"
#include "platform/TheoraVideoFrame.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace
{
constexpr int Width = 640;
constexpr int Height = 360;
constexpr int Frames = 50;

const std::vector<unsigned char>& Clip()
{
    static const std::vector<unsigned char> bytes = []
    {
        TheoraClipSpec spec;
        spec.width = Width;
        spec.height = Height;
        spec.textured = true;
        spec.toneFrequency = 440.0;
        spec.channels = 2;
        for (int frame = 0; frame < Frames; ++frame)
            spec.frames.push_back(
                {static_cast<uint8_t>(40 + frame * 3), 120, static_cast<uint8_t>(200 - frame * 2)});
        return WriteTheoraClip(spec);
    }();
    return bytes;
}

void Decode(benchmark::State& state, bool toPictures)
{
    TheoraMemoryDataSource source("bench.ogv", Clip());
    TheoraDecoder decoder(source);
    std::string error;
    if (!decoder.Open(error))
    {
        state.SkipWithError(error.c_str());
        return;
    }
    TheoraVideoFrame frame(Width, Height, 1024);
    std::vector<TheoraAudioPacket> sound;
    for (auto _ : state)
    {
        if (!decoder.DecodeFrame(toPictures ? &frame : nullptr, sound))
        {
            state.PauseTiming();
            decoder.Open(error); // from the start again
            state.ResumeTiming();
            decoder.DecodeFrame(toPictures ? &frame : nullptr, sound);
        }
        sound.clear();
        benchmark::DoNotOptimize(frame.getBuffer());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TheoraDecodeToPictures(benchmark::State& state)
{
    Decode(state, true);
}
BENCHMARK(BM_TheoraDecodeToPictures)->Unit(benchmark::kMillisecond);

void BM_TheoraDecodeOnly(benchmark::State& state)
{
    Decode(state, false);
}
BENCHMARK(BM_TheoraDecodeOnly)->Unit(benchmark::kMillisecond);
} // namespace
