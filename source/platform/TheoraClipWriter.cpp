#include "platform/TheoraClipWriter.h"

#include "common/LogCall.h"

#include <ogg/ogg.h>
#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace
{
constexpr int TheoraQuality = 48; // of 0..63: solid colours come back within a few steps
constexpr float VorbisQuality = 0.4f;
constexpr int SoundChunk = 1024;
constexpr double Pi = 3.14159265358979323846;

struct Page
{
    double time;
    std::vector<unsigned char> bytes;
};

void AppendPage(std::vector<unsigned char>& out, const ogg_page& page)
{
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

// Flushes the stream's buffered packets as pages of their own.
void FlushPages(ogg_stream_state& stream, std::vector<unsigned char>& out)
{
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) > 0)
        AppendPage(out, page);
}

// Puts the packets buffered so far on pages of their own, each with the time it ends at (timeOf of its
// granule). Flushing often keeps every page short in time, as a player reading frame by frame wants.
template <typename TimeOf>
void FlushTimedPages(ogg_stream_state& stream, std::vector<Page>& pages, TimeOf timeOf)
{
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) > 0)
    {
        // A page that only begins a long packet has no granule: it goes with the page before it.
        const ogg_int64_t granule = ogg_page_granulepos(&page);
        Page copy{granule >= 0 ? timeOf(granule) : (pages.empty() ? 0.0 : pages.back().time), {}};
        AppendPage(copy.bytes, page);
        pages.push_back(std::move(copy));
    }
}

uint8_t Clamp(int value, int low, int high)
{
    return static_cast<uint8_t>(std::min(std::max(value, low), high));
}

// BT.601 video range, the inverse of what the decoder does.
void ToYCbCr(const TheoraClipColour& c, int& y, int& cb, int& cr)
{
    y = 16 + static_cast<int>(std::lround((65.738 * c.r + 129.057 * c.g + 25.064 * c.b) / 256.0));
    cb = 128 + static_cast<int>(std::lround((-37.945 * c.r - 74.494 * c.g + 112.439 * c.b) / 256.0));
    cr = 128 + static_cast<int>(std::lround((112.439 * c.r - 94.154 * c.g - 18.285 * c.b) / 256.0));
}

// Where the marked corner begins: about the middle, on a block boundary so that its colour stays apart.
int CornerStart(int side)
{
    return side / 2 / 16 * 16;
}

// Grain that drifts right by 4 pixels a frame: -24..23.
int Grain(int x, int y, int frame)
{
    uint32_t h = static_cast<uint32_t>(x - 4 * frame) * 374761393u + static_cast<uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return static_cast<int>((h >> 24) % 48) - 24;
}

class VideoEncoder
{
public:
    explicit VideoEncoder(const TheoraClipSpec& spec) : m_spec(spec)
    {
        th_info_init(&m_info);
        m_info.frame_width = static_cast<ogg_uint32_t>((spec.width + 15) & ~15);
        m_info.frame_height = static_cast<ogg_uint32_t>((spec.height + 15) & ~15);
        m_info.pic_width = static_cast<ogg_uint32_t>(spec.width);
        m_info.pic_height = static_cast<ogg_uint32_t>(spec.height);
        m_info.fps_numerator = static_cast<ogg_uint32_t>(spec.framesPerSecond);
        m_info.fps_denominator = 1;
        m_info.aspect_numerator = 1;
        m_info.aspect_denominator = 1;
        m_info.colorspace = TH_CS_UNSPECIFIED;
        m_info.pixel_fmt = TH_PF_420;
        m_info.quality = TheoraQuality;
        m_encoder = th_encode_alloc(&m_info);
        th_comment_init(&m_comment);
        ogg_stream_init(&m_stream, 1);
        for (int plane = 0; plane < 3; ++plane)
        {
            const int shift = plane == 0 ? 0 : 1;
            m_planes[plane].width = static_cast<int>(m_info.frame_width) >> shift;
            m_planes[plane].height = static_cast<int>(m_info.frame_height) >> shift;
            m_planes[plane].stride = m_planes[plane].width;
            m_pixels[plane].resize(static_cast<size_t>(m_planes[plane].width) * m_planes[plane].height);
            m_planes[plane].data = m_pixels[plane].data();
        }
    }
    ~VideoEncoder()
    {
        ogg_stream_clear(&m_stream);
        th_comment_clear(&m_comment);
        if (m_encoder)
            th_encode_free(m_encoder);
        th_info_clear(&m_info);
    }
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool Valid() const { return m_encoder != nullptr; }

    // The first header alone on the stream's first page.
    void WriteFirstHeader(std::vector<unsigned char>& out)
    {
        ogg_packet packet;
        if (th_encode_flushheader(m_encoder, &m_comment, &packet) > 0)
            ogg_stream_packetin(&m_stream, &packet);
        FlushPages(m_stream, out);
    }
    void WriteOtherHeaders(std::vector<unsigned char>& out)
    {
        ogg_packet packet;
        while (th_encode_flushheader(m_encoder, &m_comment, &packet) > 0)
            ogg_stream_packetin(&m_stream, &packet);
        FlushPages(m_stream, out);
    }

    std::vector<Page> EncodeFrames()
    {
        std::vector<Page> pages;
        const int count = static_cast<int>(m_spec.frames.size());
        for (int frame = 0; frame < count; ++frame)
        {
            Fill(m_spec.frames[static_cast<size_t>(frame)], frame);
            th_encode_ycbcr_in(m_encoder, m_planes);
            ogg_packet packet;
            while (th_encode_packetout(m_encoder, frame == count - 1, &packet) > 0)
                ogg_stream_packetin(&m_stream, &packet);
            FlushTimedPages(m_stream, pages,
                            [this](ogg_int64_t granule) { return th_granule_time(m_encoder, granule); });
        }
        return pages;
    }

private:
    void Fill(const TheoraClipColour& colour, int frame)
    {
        int values[2][3]; // Y, Cb, Cr of the frame's colour and of the corner
        ToYCbCr(colour, values[0][0], values[0][1], values[0][2]);
        ToYCbCr(m_spec.cornerColour, values[1][0], values[1][1], values[1][2]);
        for (int plane = 0; plane < 3; ++plane)
        {
            const int shift = plane == 0 ? 0 : 1;
            for (int row = 0; row < m_planes[plane].height; ++row)
                for (int column = 0; column < m_planes[plane].width; ++column)
                {
                    const bool corner = m_spec.markCorner && (row << shift) >= CornerStart(m_spec.height) &&
                                        (column << shift) >= CornerStart(m_spec.width);
                    const int value = values[corner ? 1 : 0][plane];
                    m_pixels[plane][static_cast<size_t>(row) * m_planes[plane].stride + column] =
                        plane == 0 ? Clamp(value + (m_spec.textured ? Grain(column, row, frame) : 0), 16, 235)
                                   : Clamp(value, 16, 240);
                }
        }
    }

    const TheoraClipSpec& m_spec;
    th_info m_info;
    th_comment m_comment;
    th_enc_ctx* m_encoder = nullptr;
    ogg_stream_state m_stream;
    th_ycbcr_buffer m_planes;
    std::vector<unsigned char> m_pixels[3];
};

class SoundEncoder
{
public:
    explicit SoundEncoder(const TheoraClipSpec& spec) : m_spec(spec)
    {
        vorbis_info_init(&m_info);
        vorbis_comment_init(&m_comment);
        ogg_stream_init(&m_stream, 2);
        m_valid = vorbis_encode_init_vbr(&m_info, spec.channels, spec.sampleRate, VorbisQuality) == 0;
        if (!m_valid)
            return;
        vorbis_analysis_init(&m_dsp, &m_info);
        vorbis_block_init(&m_dsp, &m_block);
    }
    ~SoundEncoder()
    {
        if (m_valid)
        {
            vorbis_block_clear(&m_block);
            vorbis_dsp_clear(&m_dsp);
        }
        ogg_stream_clear(&m_stream);
        vorbis_comment_clear(&m_comment);
        vorbis_info_clear(&m_info);
    }
    SoundEncoder(const SoundEncoder&) = delete;
    SoundEncoder& operator=(const SoundEncoder&) = delete;

    bool Valid() const { return m_valid; }

    void WriteFirstHeader(std::vector<unsigned char>& out)
    {
        ogg_packet identification;
        ogg_packet comments;
        ogg_packet codebooks;
        vorbis_analysis_headerout(&m_dsp, &m_comment, &identification, &comments, &codebooks);
        ogg_stream_packetin(&m_stream, &identification);
        FlushPages(m_stream, out);
        ogg_stream_packetin(&m_stream, &comments);
        ogg_stream_packetin(&m_stream, &codebooks);
    }
    void WriteOtherHeaders(std::vector<unsigned char>& out) { FlushPages(m_stream, out); }

    std::vector<Page> EncodeTone()
    {
        const long total =
            static_cast<long>(m_spec.frames.size()) * m_spec.sampleRate / m_spec.framesPerSecond;
        const double step = 2.0 * Pi * m_spec.toneFrequency / m_spec.sampleRate;
        std::vector<Page> pages;
        for (long done = 0; done < total;)
        {
            const int count = static_cast<int>(std::min<long>(SoundChunk, total - done));
            float** buffer = vorbis_analysis_buffer(&m_dsp, count);
            for (int i = 0; i < count; ++i)
            {
                const float value = m_spec.toneAmplitude * static_cast<float>(std::sin(step * (done + i)));
                for (int channel = 0; channel < m_spec.channels; ++channel)
                    buffer[channel][i] = value;
            }
            vorbis_analysis_wrote(&m_dsp, count);
            Drain(pages);
            done += count;
        }
        vorbis_analysis_wrote(&m_dsp, 0);
        Drain(pages);
        return pages;
    }

private:
    void Drain(std::vector<Page>& pages)
    {
        while (vorbis_analysis_blockout(&m_dsp, &m_block) == 1)
        {
            vorbis_analysis(&m_block, nullptr);
            vorbis_bitrate_addblock(&m_block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&m_dsp, &packet) == 1)
                ogg_stream_packetin(&m_stream, &packet);
        }
        FlushTimedPages(m_stream, pages,
                        [this](ogg_int64_t granule) { return vorbis_granule_time(&m_dsp, granule); });
    }

    const TheoraClipSpec& m_spec;
    bool m_valid = false;
    vorbis_info m_info;
    vorbis_comment m_comment;
    vorbis_dsp_state m_dsp;
    vorbis_block m_block;
    ogg_stream_state m_stream;
};
} // namespace

std::vector<unsigned char> WriteTheoraClip(const TheoraClipSpec& spec)
{
    const bool sizesOk =
        spec.width > 0 && spec.height > 0 && spec.framesPerSecond > 0 && !spec.frames.empty();
    if (!sizesOk || (!spec.video && spec.toneFrequency <= 0.0))
    {
        LOG_ERROR("A clip needs a size, a frame rate, frames, and video or sound");
        return {};
    }
    std::unique_ptr<VideoEncoder> video;
    std::unique_ptr<SoundEncoder> sound;
    if (spec.video)
        video = std::make_unique<VideoEncoder>(spec);
    if (spec.toneFrequency > 0.0)
        sound = std::make_unique<SoundEncoder>(spec);
    if ((video && !video->Valid()) || (sound && !sound->Valid()))
    {
        LOG_ERROR("The encoders refuse a clip of %dx%d pixels at %d frames a second with %d sound channels "
                  "at %d Hz",
                  spec.width, spec.height, spec.framesPerSecond, spec.channels, spec.sampleRate);
        return {};
    }

    // Every stream's first page comes first, the video's leading; then the other headers; then the data.
    std::vector<unsigned char> out;
    if (video)
        video->WriteFirstHeader(out);
    if (sound)
        sound->WriteFirstHeader(out);
    if (video)
        video->WriteOtherHeaders(out);
    if (sound)
        sound->WriteOtherHeaders(out);

    const std::vector<Page> videoPages = video ? video->EncodeFrames() : std::vector<Page>();
    const std::vector<Page> soundPages = sound ? sound->EncodeTone() : std::vector<Page>();
    // Interleaved by time, so a reader finds the sound for a frame next to it; on a tie the sound goes first,
    // as it is wanted no later than the frame.
    auto nextVideo = videoPages.begin();
    auto nextSound = soundPages.begin();
    while (nextVideo != videoPages.end() || nextSound != soundPages.end())
    {
        const bool takeVideo = nextSound == soundPages.end() ||
                               (nextVideo != videoPages.end() && nextVideo->time < nextSound->time);
        const Page& page = takeVideo ? *nextVideo++ : *nextSound++;
        out.insert(out.end(), page.bytes.begin(), page.bytes.end());
    }
    return out;
}
