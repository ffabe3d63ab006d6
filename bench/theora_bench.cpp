// Decoding speed of a 640x360 Theora video with stereo Vorbis sound on one thread, in frames a second
// (items_per_second): our decoder with each frame turned into 32-bit pixels as the video player copies
// them, and decoded only, as a late frame is; beside them the floor, libtheora's own decoding of the same
// clip's video packets (th_decode_packetin and th_decode_ycbcr_out, the packets taken out of the Ogg
// pages beforehand, no sound). The clip is grainy and drifts, so that most blocks carry real detail.
#include "platform/TheoraClipWriter.h"
#include "platform/TheoraDecoder.h"
#include "platform/TheoraMemoryDataSource.h"
#include "platform/TheoraVideoFrame.h"
#include "support/BenchRatio.h"

#include <benchmark/benchmark.h>
#include <ogg/ogg.h>
#include <theora/theoradec.h>

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

// The clip's Theora packets, headers first, copied out of its Ogg pages.
struct TheoraPackets
{
    std::vector<std::vector<unsigned char>> data;
    std::vector<ogg_packet> packets; // pointing into data
    int headers = 0;
};

TheoraPackets ReadTheoraPackets()
{
    TheoraPackets result;
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    const std::vector<unsigned char>& clip = Clip();
    char* buffer = ogg_sync_buffer(&sync, static_cast<long>(clip.size()));
    std::copy(clip.begin(), clip.end(), buffer);
    ogg_sync_wrote(&sync, static_cast<long>(clip.size()));
    std::vector<ogg_packet> packets;
    ogg_stream_state stream;
    bool haveStream = false;
    ogg_page page;
    while (ogg_sync_pageout(&sync, &page) == 1)
    {
        if (!haveStream)
        {
            // The first page of the file opens the Theora stream (the writer puts the video first).
            ogg_stream_init(&stream, ogg_page_serialno(&page));
            haveStream = true;
        }
        if (ogg_page_serialno(&page) != stream.serialno)
            continue;
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        while (ogg_stream_packetout(&stream, &packet) == 1)
        {
            result.data.emplace_back(packet.packet, packet.packet + packet.bytes);
            packets.push_back(packet);
        }
    }
    for (size_t i = 0; i < packets.size(); ++i)
    {
        packets[i].packet = result.data[i].data();
        result.packets.push_back(packets[i]);
    }
    if (haveStream)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
    return result;
}

// libtheora alone: every frame packet in, every picture out, the clip again from its first frame once
// it is through.
void BM_BareLibtheoraDecode(benchmark::State& state)
{
    TheoraPackets clip = ReadTheoraPackets();
    th_info info;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_info_init(&info);
    th_comment_init(&comment);
    size_t next = 0;
    while (next < clip.packets.size() && th_decode_headerin(&info, &comment, &setup, &clip.packets[next]) > 0)
        ++next;
    const size_t firstFrame = next;
    th_dec_ctx* decoder = setup ? th_decode_alloc(&info, setup) : nullptr;
    if (!decoder || firstFrame == clip.packets.size())
        state.SkipWithError("libtheora refused the clip");
    else
    {
        th_ycbcr_buffer planes;
        for (auto _ : state)
        {
            if (next == clip.packets.size())
            {
                state.PauseTiming();
                th_decode_free(decoder);
                decoder = th_decode_alloc(&info, setup);
                next = firstFrame;
                state.ResumeTiming();
            }
            th_decode_packetin(decoder, &clip.packets[next++], nullptr);
            th_decode_ycbcr_out(decoder, planes);
            benchmark::DoNotOptimize(planes[0].data);
        }
        state.SetItemsProcessed(state.iterations());
    }
    if (decoder)
        th_decode_free(decoder);
    th_setup_free(setup);
    th_comment_clear(&comment);
    th_info_clear(&info);
}
BENCHMARK(BM_BareLibtheoraDecode)->Unit(benchmark::kMillisecond);

// libtheora's time over ours: our pictures come at this share of its decoding rate.
const BenchRatio PICTURE_RATE_RATIO("picture rate / bare libtheora decode rate", "BM_BareLibtheoraDecode",
                                    "BM_TheoraDecodeToPictures", BenchRatio::AT_LEAST, 0.6);
} // namespace
