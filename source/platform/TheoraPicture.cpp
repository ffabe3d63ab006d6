#include "platform/TheoraPicture.h"

#include "platform/TheoraVideoFrame.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace
{
uint8_t Clamp(int value)
{
    return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
}

// What one chroma sample (Cb, Cr) adds to the red, green and blue sums of the pixels that share it.
struct ChromaTerms
{
    int red;
    int green;
    int blue;
};

// The pixel formula of WriteXrgb with the products and the clamped, shifted channels looked up; the sums
// are the same integers, so every pixel comes out as the formula gives it.
class PixelTables
{
public:
    PixelTables()
    {
        for (int i = 0; i < 256; ++i)
        {
            m_luma[i] = 298 * (i - 16) + 128;
            m_redFromCr[i] = 409 * (i - 128);
            m_greenFromCb[i] = -100 * (i - 128);
            m_greenFromCr[i] = -208 * (i - 128);
            m_blueFromCb[i] = 516 * (i - 128);
        }
        for (int i = 0; i < ChannelCount; ++i)
        {
            const uint32_t channel = Clamp(i - ChannelOffset);
            m_red[i] = 0xFF000000u | channel << 16;
            m_green[i] = channel << 8;
            m_blue[i] = channel;
        }
    }

    ChromaTerms Chroma(int cb, int cr) const
    {
        return {m_redFromCr[cr], m_greenFromCb[cb] + m_greenFromCr[cr], m_blueFromCb[cb]};
    }
    uint32_t Pixel(int y, const ChromaTerms& chroma) const
    {
        const int luma = m_luma[y];
        return m_red[((luma + chroma.red) >> 8) + ChannelOffset] |
               m_green[((luma + chroma.green) >> 8) + ChannelOffset] |
               m_blue[((luma + chroma.blue) >> 8) + ChannelOffset];
    }

private:
    // The sums shifted down lie in -277 .. 534 (blue at Y 0, Cb 0 and at Y 255, Cb 255).
    static constexpr int ChannelOffset = 288;
    static constexpr int ChannelCount = 832;

    int m_luma[256];
    int m_redFromCr[256];
    int m_greenFromCb[256];
    int m_greenFromCr[256];
    int m_blueFromCb[256];
    uint32_t m_red[ChannelCount];
    uint32_t m_green[ChannelCount];
    uint32_t m_blue[ChannelCount];
};

const PixelTables& Tables()
{
    static const PixelTables tables;
    return tables;
}

#if defined(__SSE2__)
// What four chroma samples add to the red, green and blue sums of the eight pixels they serve, each a
// 32-bit multiply-add of the 16-bit (Cb - 128, Cr - 128), which is exact.
struct ChromaSums
{
    __m128i red;
    __m128i green;
    __m128i blue;
};

__m128i Words(__m128i bytes, int offset)
{
    return _mm_sub_epi16(_mm_unpacklo_epi8(bytes, _mm_setzero_si128()),
                         _mm_set1_epi16(static_cast<short>(offset)));
}

// A 32-bit lane of two 16-bit factors, low word first.
__m128i Factors(int low, int high)
{
    return _mm_set1_epi32(static_cast<int>((static_cast<unsigned>(high) << 16) | (low & 0xFFFF)));
}

ChromaSums ChromaOfFour(const unsigned char* cb, const unsigned char* cr)
{
    int32_t cbBytes;
    int32_t crBytes;
    std::memcpy(&cbBytes, cb, sizeof cbBytes);
    std::memcpy(&crBytes, cr, sizeof crBytes);
    const __m128i uv =
        _mm_unpacklo_epi16(Words(_mm_cvtsi32_si128(cbBytes), 128), Words(_mm_cvtsi32_si128(crBytes), 128));
    return {_mm_madd_epi16(uv, Factors(0, 409)), _mm_madd_epi16(uv, Factors(-100, -208)),
            _mm_madd_epi16(uv, Factors(516, 0))};
}

// Eight pixels from luma[0] on, two to each sample of chroma: the sums of PixelTables, and the clamping
// by the saturation of the packs down to bytes.
void WriteEightPixels(const unsigned char* luma, const ChromaSums& chroma, uint32_t* out)
{
    // 298 (Y - 16) + 128, as (Y - 16, 1) . (298, 128).
    const __m128i y = Words(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(luma)), 16);
    const __m128i one = _mm_set1_epi16(1);
    const __m128i lumaLow = _mm_madd_epi16(_mm_unpacklo_epi16(y, one), Factors(298, 128));
    const __m128i lumaHigh = _mm_madd_epi16(_mm_unpackhi_epi16(y, one), Factors(298, 128));
    const auto channel = [&](__m128i sums)
    {
        const __m128i low = _mm_srai_epi32(_mm_add_epi32(lumaLow, _mm_unpacklo_epi32(sums, sums)), 8);
        const __m128i high = _mm_srai_epi32(_mm_add_epi32(lumaHigh, _mm_unpackhi_epi32(sums, sums)), 8);
        const __m128i packed = _mm_packs_epi32(low, high);
        return _mm_packus_epi16(packed, packed);
    };
    // Bytes B, G, R, 0xFF per pixel: 0xFFRRGGBB on this little-endian machine.
    const __m128i blueGreen = _mm_unpacklo_epi8(channel(chroma.blue), channel(chroma.green));
    const __m128i redAlpha = _mm_unpacklo_epi8(channel(chroma.red), _mm_set1_epi8(-1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi16(blueGreen, redAlpha));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4), _mm_unpackhi_epi16(blueGreen, redAlpha));
}
#endif

// Rows of the picture that share one row of chroma samples: one, or two where the chroma has half as many
// rows. Each gets width pixels from column left on; xShift is 1 when two columns share a chroma sample.
void WriteRows(const unsigned char* const luma[2], uint32_t* const out[2], int rows, const unsigned char* cb,
               const unsigned char* cr, int left, int width, int xShift)
{
    const PixelTables& tables = Tables();
    const auto writeColumn = [&](int x)
    {
        const int column = left + x;
        const ChromaTerms chroma = tables.Chroma(cb[column >> xShift], cr[column >> xShift]);
        for (int r = 0; r < rows; ++r)
            out[r][x] = tables.Pixel(luma[r][column], chroma);
    };
    int x = 0;
#if defined(__SSE2__)
    // Blocks of eight columns from an even one, where their four chroma samples begin.
    if (xShift == 1)
    {
        if (left & 1)
            writeColumn(x++);
        for (; x + 8 <= width; x += 8)
        {
            const ChromaSums chroma = ChromaOfFour(cb + ((left + x) >> 1), cr + ((left + x) >> 1));
            for (int r = 0; r < rows; ++r)
                WriteEightPixels(luma[r] + left + x, chroma, out[r] + x);
        }
    }
#endif
    for (; x < width; ++x)
        writeColumn(x);
}

const unsigned char* PlaneRow(const TheoraPicture& picture, int plane, int row)
{
    // The stride may be negative.
    return picture.data[plane] + static_cast<ptrdiff_t>(row) * picture.stride[plane];
}
} // namespace

void WriteXrgb(const TheoraPicture& picture, int width, int height, TheoraVideoFrame& frame)
{
    for (int y = 0; y < height;)
    {
        const int row = picture.top + y;
        // An even row and the next share their chroma row when the chroma has half the rows.
        const int rows = picture.yShift == 1 && row % 2 == 0 && y + 1 < height ? 2 : 1;
        const unsigned char* const luma[2] = {PlaneRow(picture, 0, row),
                                              PlaneRow(picture, 0, row + rows - 1)};
        uint32_t* const out[2] = {frame.Row(y), frame.Row(y + rows - 1)};
        const int chromaRow = row >> picture.yShift;
        WriteRows(luma, out, rows, PlaneRow(picture, 1, chromaRow), PlaneRow(picture, 2, chromaRow),
                  picture.left, width, picture.xShift);
        y += rows;
    }
}
