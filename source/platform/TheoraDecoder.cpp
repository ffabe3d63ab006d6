#include "platform/TheoraDecoder.h"

#include "platform/TheoraDataSource.h"
#include "platform/TheoraPicture.h"
#include "platform/TheoraVideoFrame.h"

#include <ogg/ogg.h>
#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cstdint>

namespace
{
// Bytes taken from the source at a time, and the first stretch at the end searched for the last timestamp.
constexpr int ReadChunk = 4096;
constexpr unsigned long FirstScanWindow = 64 * 1024;
// A timestamp beyond this frame (over a thousand years at 25 frames a second) is damage, not a place.
constexpr ogg_int64_t MaxFrameIndex = ogg_int64_t(1) << 40;
// Seconds of sound read past the end of the video.
constexpr double TrailingSound = 1.0;

} // namespace

struct TheoraDecoder::State
{
    explicit State(TheoraDataSource& dataSource) : source(dataSource) { Init(); }
    ~State() { Free(); }

    TheoraDataSource& source;

    ogg_sync_state sync;

    ogg_stream_state videoStream;
    bool haveVideo = false;
    int videoHeaders = 0;
    th_info info;
    th_comment comment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    bool havePicture = false;
    bool toldDamage = false;
    long frames = 0;

    ogg_stream_state soundStream;
    bool haveSound = false;
    int soundHeaders = 0;
    vorbis_info soundInfo;
    vorbis_comment soundComment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    bool soundReady = false;
    long long samples = 0;

    std::vector<std::string> messages;

    void Init()
    {
        ogg_sync_init(&sync);
        th_info_init(&info);
        th_comment_init(&comment);
        vorbis_info_init(&soundInfo);
        vorbis_comment_init(&soundComment);
    }

    void Free()
    {
        if (decoder)
            th_decode_free(decoder);
        decoder = nullptr;
        th_setup_free(setup);
        setup = nullptr;
        if (haveVideo)
            ogg_stream_clear(&videoStream);
        haveVideo = false;
        th_comment_clear(&comment);
        th_info_clear(&info);
        FreeSound();
        ogg_sync_clear(&sync);
    }

    void FreeSound()
    {
        if (soundReady)
        {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        soundReady = false;
        if (haveSound)
            ogg_stream_clear(&soundStream);
        haveSound = false;
        vorbis_comment_clear(&soundComment);
        vorbis_info_clear(&soundInfo);
    }

    void Reset()
    {
        Free();
        Init();
        videoHeaders = 0;
        soundHeaders = 0;
        havePicture = false;
        toldDamage = false;
        frames = 0;
        samples = 0;
        messages.clear();
    }

    void DropSound(const std::string& reason)
    {
        messages.push_back(reason + "; playing without sound");
        FreeSound();
        vorbis_info_init(&soundInfo);
        vorbis_comment_init(&soundComment);
    }

    bool ReadMore()
    {
        char* buffer = ogg_sync_buffer(&sync, ReadChunk);
        if (!buffer)
            return false;
        const int count = source.read(buffer, ReadChunk);
        if (count <= 0)
            return false;
        ogg_sync_wrote(&sync, std::min(count, ReadChunk));
        return true;
    }

    // The next whole page of the source; bytes that are no page are skipped.
    bool ReadPage(ogg_page& page)
    {
        for (;;)
        {
            const int result = ogg_sync_pageout(&sync, &page);
            if (result > 0)
                return true;
            if (result == 0 && !ReadMore())
                return false;
        }
    }

    void QueuePage(ogg_page& page)
    {
        // A page of another stream is refused by its serial number.
        if (haveVideo)
            ogg_stream_pagein(&videoStream, &page);
        if (haveSound)
            ogg_stream_pagein(&soundStream, &page);
    }

    // A stream's first page: keep the first Theora and the first Vorbis stream, ignore all others.
    void IdentifyStream(ogg_page& page)
    {
        ogg_stream_state stream;
        ogg_stream_init(&stream, ogg_page_serialno(&page));
        ogg_stream_pagein(&stream, &page);
        ogg_packet packet;
        if (ogg_stream_packetout(&stream, &packet) == 1)
        {
            if (!haveVideo)
            {
                if (th_decode_headerin(&info, &comment, &setup, &packet) > 0)
                {
                    videoStream = stream;
                    haveVideo = true;
                    videoHeaders = 1;
                    return;
                }
                // A refused header may have filled in part of the record.
                th_comment_clear(&comment);
                th_info_clear(&info);
                th_info_init(&info);
                th_comment_init(&comment);
            }
            if (!haveSound)
            {
                if (vorbis_synthesis_headerin(&soundInfo, &soundComment, &packet) == 0)
                {
                    soundStream = stream;
                    haveSound = true;
                    soundHeaders = 1;
                    return;
                }
                vorbis_comment_clear(&soundComment);
                vorbis_info_clear(&soundInfo);
                vorbis_info_init(&soundInfo);
                vorbis_comment_init(&soundComment);
            }
        }
        ogg_stream_clear(&stream);
    }

    // Takes the video header packets buffered so far; false when they are damaged.
    bool ReadVideoHeaders()
    {
        ogg_packet packet;
        while (videoHeaders < 3)
        {
            const int result = ogg_stream_packetout(&videoStream, &packet);
            if (result == 0)
                return true;
            if (result < 0 || th_decode_headerin(&info, &comment, &setup, &packet) <= 0)
                return false;
            ++videoHeaders;
        }
        return true;
    }

    void ReadSoundHeaders()
    {
        ogg_packet packet;
        while (haveSound && soundHeaders < 3)
        {
            const int result = ogg_stream_packetout(&soundStream, &packet);
            if (result == 0)
                return;
            if (result < 0 || vorbis_synthesis_headerin(&soundInfo, &soundComment, &packet) != 0)
            {
                DropSound("the Vorbis headers are damaged");
                return;
            }
            ++soundHeaders;
        }
    }

    bool HeadersComplete() const { return videoHeaders == 3 && (!haveSound || soundHeaders == 3); }

    // What is wrong with the video format, or empty.
    std::string CheckVideoFormat() const
    {
        const bool sizeOk = info.pic_width > 0 && info.pic_height > 0 &&
                            info.frame_width <= static_cast<ogg_uint32_t>(MaxPictureSide) &&
                            info.frame_height <= static_cast<ogg_uint32_t>(MaxPictureSide);
        if (!sizeOk)
            return "a frame of " + std::to_string(info.frame_width) + "x" +
                   std::to_string(info.frame_height) + " pixels is not supported";
        if (info.pic_x + info.pic_width > info.frame_width ||
            info.pic_y + info.pic_height > info.frame_height)
            return "the picture lies outside the coded frame";
        if (info.fps_numerator == 0 || info.fps_denominator == 0)
            return "the video has no frame rate";
        if (info.pixel_fmt != TH_PF_420 && info.pixel_fmt != TH_PF_422 && info.pixel_fmt != TH_PF_444)
            return "the pixel format is not supported";
        return std::string();
    }

    void StartSound()
    {
        if (!haveSound)
            return;
        if (soundInfo.channels < 1 || soundInfo.channels > MaxChannels || soundInfo.rate < 1)
        {
            DropSound(std::to_string(soundInfo.channels) + " sound channels are not supported");
            return;
        }
        if (vorbis_synthesis_init(&dsp, &soundInfo) != 0)
        {
            DropSound("the Vorbis decoder cannot start");
            return;
        }
        vorbis_block_init(&dsp, &block);
        soundReady = true;
    }

    void DrainSound(std::vector<TheoraAudioPacket>& sound)
    {
        if (!soundReady)
            return;
        for (;;)
        {
            float** pcm = nullptr;
            const int count = vorbis_synthesis_pcmout(&dsp, &pcm);
            if (count > 0)
            {
                TheoraAudioPacket packet;
                packet.time = static_cast<double>(samples) / soundInfo.rate;
                packet.samples = count;
                packet.data.reserve(static_cast<size_t>(count) * static_cast<size_t>(soundInfo.channels));
                for (int channel = 0; channel < soundInfo.channels; ++channel)
                    packet.data.insert(packet.data.end(), pcm[channel], pcm[channel] + count);
                sound.push_back(std::move(packet));
                vorbis_synthesis_read(&dsp, count);
                samples += count;
                continue;
            }
            ogg_packet packet;
            const int result = ogg_stream_packetout(&soundStream, &packet);
            if (result == 0)
                return;
            if (result > 0 && vorbis_synthesis(&block, &packet) == 0)
                vorbis_synthesis_blockin(&dsp, &block);
        }
    }

    // After the last frame: the sound that may follow it in the file, up to a little past the video's end
    // (more would never be heard).
    void ReadTrailingSound(std::vector<TheoraAudioPacket>& sound, double videoEnd)
    {
        ogg_page page;
        while (soundReady && !ogg_stream_eos(&soundStream) &&
               static_cast<double>(samples) / soundInfo.rate < videoEnd + TrailingSound && ReadPage(page))
        {
            QueuePage(page);
            DrainSound(sound);
        }
    }

    void WritePicture(TheoraVideoFrame& frame)
    {
        const int width = std::min(frame.getWidth(), static_cast<int>(info.pic_width));
        const int height = std::min(frame.getHeight(), static_cast<int>(info.pic_height));
        if (!havePicture)
        {
            // Nothing decoded yet (the stream starts with a repeat): black.
            for (int y = 0; y < height; ++y)
                std::fill(frame.Row(y), frame.Row(y) + width, 0xFF000000u);
            return;
        }
        th_ycbcr_buffer planes;
        if (th_decode_ycbcr_out(decoder, planes) != 0)
            return;
        TheoraPicture picture;
        for (int plane = 0; plane < 3; ++plane)
        {
            picture.data[plane] = planes[plane].data;
            picture.stride[plane] = planes[plane].stride;
        }
        picture.xShift = info.pixel_fmt == TH_PF_444 ? 0 : 1;
        picture.yShift = info.pixel_fmt == TH_PF_420 ? 1 : 0;
        picture.left = static_cast<int>(info.pic_x);
        picture.top = static_cast<int>(info.pic_y);
        WriteXrgb(picture, width, height, frame);
    }
};

TheoraDecoder::TheoraDecoder(TheoraDataSource& source) : m_state(std::make_unique<State>(source)) {}

TheoraDecoder::~TheoraDecoder() = default;

bool TheoraDecoder::Open(std::string& error)
{
    State& s = *m_state;
    s.Reset();
    s.source.seek(0);

    // Every stream begins with a page of its own before any other page.
    ogg_page page;
    bool anyPage = false;
    bool pagePending = false;
    while (s.ReadPage(page))
    {
        anyPage = true;
        if (!ogg_page_bos(&page))
        {
            pagePending = true;
            break;
        }
        s.IdentifyStream(page);
    }
    if (!anyPage)
    {
        error = "no Ogg data";
        return false;
    }
    if (!s.haveVideo)
    {
        error = "no Theora video stream";
        return false;
    }
    if (pagePending)
        s.QueuePage(page);

    for (;;)
    {
        if (!s.ReadVideoHeaders())
        {
            error = "the Theora headers are damaged";
            return false;
        }
        s.ReadSoundHeaders();
        if (s.HeadersComplete())
            break;
        if (!s.ReadPage(page))
        {
            if (s.videoHeaders < 3)
            {
                error = "the Theora headers are incomplete";
                return false;
            }
            s.DropSound("the Vorbis headers are incomplete");
            break;
        }
        s.QueuePage(page);
    }

    error = s.CheckVideoFormat();
    if (!error.empty())
        return false;
    s.decoder = th_decode_alloc(&s.info, s.setup);
    th_setup_free(s.setup);
    s.setup = nullptr;
    if (!s.decoder)
    {
        error = "the Theora decoder cannot start";
        return false;
    }
    s.StartSound();
    return true;
}

double TheoraDecoder::ScanDuration(bool& complete)
{
    State& s = *m_state;
    complete = false;
    if (!s.decoder)
        return 0.0;
    const long serial = s.videoStream.serialno;
    const unsigned long size = s.source.size();
    ogg_int64_t lastGranule = -1;
    // Search a growing stretch at the end until it holds a page of the video with a timestamp.
    for (unsigned long window = FirstScanWindow;; window *= 2)
    {
        const unsigned long start = size > window ? size - window : 0;
        s.source.seek(start);
        ogg_sync_state scan;
        ogg_sync_init(&scan);
        ogg_page page;
        for (;;)
        {
            const int result = ogg_sync_pageout(&scan, &page);
            if (result > 0)
            {
                if (ogg_page_serialno(&page) != serial)
                    continue;
                complete = ogg_page_eos(&page) != 0;
                if (ogg_page_granulepos(&page) >= 0)
                    lastGranule = ogg_page_granulepos(&page);
                continue;
            }
            if (result < 0)
                continue;
            char* buffer = ogg_sync_buffer(&scan, ReadChunk);
            const int count = buffer ? s.source.read(buffer, ReadChunk) : 0;
            if (count <= 0)
                break;
            ogg_sync_wrote(&scan, std::min(count, ReadChunk));
        }
        ogg_sync_clear(&scan);
        if (lastGranule >= 0 || start == 0)
            break;
    }
    if (lastGranule < 0)
        return 0.0;
    const double end = th_granule_time(s.decoder, lastGranule);
    return end > 0.0 ? end : 0.0;
}

int TheoraDecoder::Width() const
{
    return static_cast<int>(m_state->info.pic_width);
}

int TheoraDecoder::Height() const
{
    return static_cast<int>(m_state->info.pic_height);
}

double TheoraDecoder::FrameDuration() const
{
    const th_info& info = m_state->info;
    return info.fps_numerator == 0 ? 0.0 : static_cast<double>(info.fps_denominator) / info.fps_numerator;
}

int TheoraDecoder::Channels() const
{
    return m_state->soundReady ? m_state->soundInfo.channels : 0;
}

int TheoraDecoder::SampleRate() const
{
    return m_state->soundReady ? static_cast<int>(m_state->soundInfo.rate) : 0;
}

bool TheoraDecoder::DecodeFrame(TheoraVideoFrame* frame, std::vector<TheoraAudioPacket>& sound)
{
    State& s = *m_state;
    if (!s.decoder)
        return false;
    for (;;)
    {
        s.DrainSound(sound);
        ogg_packet packet;
        const int result = ogg_stream_packetout(&s.videoStream, &packet);
        if (result > 0)
        {
            // A damaged frame still takes its time; a timestamp (on a page's last packet) puts the count
            // right after lost pages.
            ++s.frames;
            const ogg_int64_t index =
                packet.granulepos >= 0 ? th_granule_frame(s.decoder, packet.granulepos) : -1;
            if (index >= 0 && index < MaxFrameIndex)
                s.frames = static_cast<long>(index) + 1;
            const int decoded = th_decode_packetin(s.decoder, &packet, nullptr);
            if (decoded == 0)
                s.havePicture = true;
            else if (decoded != TH_DUPFRAME)
            {
                if (!s.toldDamage)
                    s.messages.push_back("damaged video data at frame " + std::to_string(s.frames - 1) +
                                         " skipped");
                s.toldDamage = true;
                continue;
            }
            if (frame)
                s.WritePicture(*frame);
            return true;
        }
        if (result < 0)
            continue; // a gap: what was lost is skipped
        ogg_page page;
        if (ogg_stream_eos(&s.videoStream) || !s.ReadPage(page))
        {
            s.ReadTrailingSound(sound, static_cast<double>(s.frames) * FrameDuration());
            return false;
        }
        s.QueuePage(page);
    }
}

long TheoraDecoder::FramesDecoded() const
{
    return m_state->frames;
}

std::vector<std::string> TheoraDecoder::TakeMessages()
{
    std::vector<std::string> messages;
    messages.swap(m_state->messages);
    return messages;
}
