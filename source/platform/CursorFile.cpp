#include "platform/CursorFile.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <png.h>

#include <cstdlib>
#include <cstring>
#include <fstream>

namespace platform
{
namespace
{
constexpr size_t DIRECTORY_SIZE = 6;
constexpr size_t ENTRY_SIZE = 16;
constexpr uint16_t TYPE_CURSOR = 2;
constexpr size_t BITMAP_HEADER_SIZE = 40;
constexpr uint32_t BI_RGB = 0;
constexpr int MAX_SIDE = 256;
constexpr int STANDARD_SIDE = 32;
// Far above any real cursor file (a 256 x 256 true-colour picture is about 270 KB).
constexpr std::streamoff MAX_FILE_SIZE = 4 * 1024 * 1024;
constexpr unsigned char PNG_SIGNATURE[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

uint16_t Little16(const unsigned char* bytes)
{
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

uint32_t Little32(const unsigned char* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint32_t Argb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return alpha << 24 | red << 16 | green << 8 | blue;
}

uint32_t Premultiplied(uint32_t argb)
{
    const uint32_t alpha = argb >> 24;
    const auto scaled = [alpha](uint32_t channel) { return (channel * alpha + 127) / 255; };
    return Argb(alpha, scaled(argb >> 16 & 0xFF), scaled(argb >> 8 & 0xFF), scaled(argb & 0xFF));
}

bool Refuse(const std::string& name, const std::string& reason)
{
    LOG_ERROR("Couldn't read cursor %s: %s", name.c_str(), reason.c_str());
    return false;
}

bool SideInRange(int side)
{
    return side >= 1 && side <= MAX_SIDE;
}

// The colour of pixel x of a bottom-up bitmap row as 0xAARRGGBB, alpha 255 below 32 bits a pixel.
uint32_t BitmapPixel(const unsigned char* row, int x, int bitCount, const unsigned char* palette,
                     size_t paletteSize)
{
    if (bitCount == 32)
    {
        const unsigned char* p = row + x * 4;
        return Argb(p[3], p[2], p[1], p[0]);
    }
    if (bitCount == 24)
    {
        const unsigned char* p = row + x * 3;
        return Argb(0xFF, p[2], p[1], p[0]);
    }
    const int bit = x * bitCount;
    const int index = row[bit / 8] >> (8 - bitCount - bit % 8) & ((1 << bitCount) - 1);
    // A palette shorter than the bit depth allows: indices past its end are black.
    if (static_cast<size_t>(index) >= paletteSize)
        return Argb(0xFF, 0, 0, 0);
    const unsigned char* p = palette + index * 4;
    return Argb(0xFF, p[2], p[1], p[0]);
}

// A BITMAPINFOHEADER followed by its palette, the colour rows and the AND mask rows, both bottom-up.
bool ReadBitmap(const unsigned char* data, size_t size, const std::string& name, CursorImage& image)
{
    if (size < BITMAP_HEADER_SIZE)
        return Refuse(name, "bitmap header truncated");
    const uint32_t headerSize = Little32(data);
    const int32_t width = static_cast<int32_t>(Little32(data + 4));
    // The height counts the colour rows and the mask rows.
    const int32_t doubledHeight = static_cast<int32_t>(Little32(data + 8));
    const int bitCount = Little16(data + 14);
    const uint32_t compression = Little32(data + 16);
    const uint32_t coloursUsed = Little32(data + 32);
    if (headerSize < BITMAP_HEADER_SIZE || headerSize > size)
        return Refuse(name, "bad bitmap header size");
    if (!SideInRange(width) || doubledHeight % 2 != 0 || !SideInRange(doubledHeight / 2))
        return Refuse(name, "bitmap size out of range");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)
        return Refuse(name, Format("%i bits a pixel are not supported", bitCount));
    if (compression != BI_RGB)
        return Refuse(name, "compressed bitmaps are not supported");
    const int height = doubledHeight / 2;

    size_t paletteSize = 0;
    if (bitCount <= 8)
    {
        const size_t fullPalette = size_t(1) << bitCount;
        if (coloursUsed > fullPalette)
            return Refuse(name, "palette larger than the bit depth allows");
        paletteSize = coloursUsed != 0 ? coloursUsed : fullPalette;
    }
    const size_t colourStride = (static_cast<size_t>(width) * bitCount + 31) / 32 * 4;
    const size_t maskStride = (static_cast<size_t>(width) + 31) / 32 * 4;
    const size_t paletteOffset = headerSize;
    const size_t colourOffset = paletteOffset + paletteSize * 4;
    const size_t maskOffset = colourOffset + colourStride * height;
    if (maskOffset + maskStride * height > size)
        return Refuse(name, "bitmap data truncated");

    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    bool hasAlpha = false;
    for (int y = 0; y < height; ++y)
    {
        const unsigned char* row = data + colourOffset + (height - 1 - y) * colourStride;
        for (int x = 0; x < width; ++x)
        {
            const uint32_t pixel = BitmapPixel(row, x, bitCount, data + paletteOffset, paletteSize);
            hasAlpha = hasAlpha || (bitCount == 32 && pixel >> 24 != 0);
            pixels[y * width + x] = pixel;
        }
    }
    // A 32-bit picture with alpha ignores the mask; every other picture takes its transparency from it.
    if (!hasAlpha)
    {
        for (int y = 0; y < height; ++y)
        {
            const unsigned char* row = data + maskOffset + (height - 1 - y) * maskStride;
            for (int x = 0; x < width; ++x)
            {
                uint32_t& pixel = pixels[y * width + x];
                const bool masked = (row[x / 8] >> (7 - x % 8) & 1) != 0;
                if (!masked)
                    pixel |= 0xFF000000u;
                else if ((pixel & 0xFFFFFF) == 0)
                    pixel = 0;
                else
                    pixel = Argb(0xFF, 0, 0, 0); // would invert the screen
            }
        }
    }
    image.width = width;
    image.height = height;
    image.pixels = std::move(pixels);
    return true;
}

// A PNG picture (straight alpha) decoded with libpng.
bool ReadPng(const unsigned char* data, size_t size, const std::string& name, CursorImage& image)
{
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, data, size))
        return Refuse(name, std::string("broken PNG picture: ") + png.message);
    if (!SideInRange(static_cast<int>(png.width)) || !SideInRange(static_cast<int>(png.height)))
    {
        png_image_free(&png);
        return Refuse(name, "PNG picture size out of range");
    }
    png.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> rgba(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, rgba.data(), 0, nullptr))
        return Refuse(name, std::string("broken PNG picture: ") + png.message);
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.resize(rgba.size() / 4);
    for (size_t i = 0; i < image.pixels.size(); ++i)
    {
        const unsigned char* p = &rgba[i * 4];
        image.pixels[i] = Argb(p[3], p[0], p[1], p[2]);
    }
    return true;
}

size_t NearestStandardEntry(const unsigned char* entries, size_t count)
{
    size_t best = 0;
    int bestDistance = MAX_SIDE + 1;
    for (size_t i = 0; i < count; ++i)
    {
        const int width = entries[i * ENTRY_SIZE] != 0 ? entries[i * ENTRY_SIZE] : MAX_SIDE;
        const int distance = std::abs(width - STANDARD_SIDE);
        if (distance < bestDistance)
        {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int ClampedHotspot(int hotspot, int side, const std::string& name)
{
    if (hotspot < side)
        return hotspot;
    LOG_WARNING("Cursor %s: hotspot %i lies outside the %i pixel picture", name.c_str(), hotspot, side);
    return side - 1;
}
} // namespace

bool ReadCursorImage(const unsigned char* data, size_t size, const std::string& name, CursorImage& image)
{
    if (size < DIRECTORY_SIZE || Little16(data) != 0 || Little16(data + 2) != TYPE_CURSOR)
        return Refuse(name, "not a cursor file");
    const size_t count = Little16(data + 4);
    if (count == 0)
        return Refuse(name, "no pictures");
    if (DIRECTORY_SIZE + count * ENTRY_SIZE > size)
        return Refuse(name, "directory truncated");

    const unsigned char* entry =
        data + DIRECTORY_SIZE + NearestStandardEntry(data + DIRECTORY_SIZE, count) * ENTRY_SIZE;
    const int hotspotX = Little16(entry + 4);
    const int hotspotY = Little16(entry + 6);
    const size_t length = Little32(entry + 8);
    const size_t offset = Little32(entry + 12);
    if (offset > size || length > size - offset)
        return Refuse(name, "picture lies outside the file");

    const unsigned char* picture = data + offset;
    const bool isPng =
        length >= sizeof(PNG_SIGNATURE) && std::memcmp(picture, PNG_SIGNATURE, sizeof(PNG_SIGNATURE)) == 0;
    CursorImage read;
    if (!(isPng ? ReadPng : ReadBitmap)(picture, length, name, read))
        return false;
    for (uint32_t& pixel : read.pixels)
        pixel = Premultiplied(pixel);
    read.hotspotX = ClampedHotspot(hotspotX, read.width, name);
    read.hotspotY = ClampedHotspot(hotspotY, read.height, name);
    image = std::move(read);
    return true;
}

bool LoadCursorImage(const std::string& path, CursorImage& image)
{
    std::ifstream file(path, std::ios::binary | std::ios::ate);
    if (!file)
        return Refuse(path, "cannot open the file");
    const std::streamoff size = file.tellg();
    if (size < 0 || size > MAX_FILE_SIZE)
        return Refuse(path, "file too large or unreadable");
    std::vector<unsigned char> bytes(static_cast<size_t>(size));
    file.seekg(0);
    if (!file.read(reinterpret_cast<char*>(bytes.data()), size))
        return Refuse(path, "cannot read the file");
    return ReadCursorImage(bytes.data(), bytes.size(), path, image);
}
} // namespace platform
