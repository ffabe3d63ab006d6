#include "support/CursorFileBuilder.h"

#include <png.h>

#include <fstream>

namespace
{
void Put16(std::vector<unsigned char>& bytes, uint32_t value)
{
    bytes.push_back(static_cast<unsigned char>(value));
    bytes.push_back(static_cast<unsigned char>(value >> 8));
}

void Put32(std::vector<unsigned char>& bytes, uint32_t value)
{
    Put16(bytes, value & 0xFFFF);
    Put16(bytes, value >> 16);
}

void PadRow(std::vector<unsigned char>& bytes, size_t rowStart)
{
    while ((bytes.size() - rowStart) % 4 != 0)
        bytes.push_back(0);
}

// Packs values of `bits` bits each, most significant first, into whole bytes.
void PutPacked(std::vector<unsigned char>& bytes, const std::vector<uint32_t>& values, int bits)
{
    unsigned accumulator = 0;
    int filled = 0;
    for (uint32_t value : values)
    {
        accumulator = accumulator << bits | value;
        filled += bits;
        if (filled == 8)
        {
            bytes.push_back(static_cast<unsigned char>(accumulator));
            accumulator = 0;
            filled = 0;
        }
    }
    if (filled != 0)
        bytes.push_back(static_cast<unsigned char>(accumulator << (8 - filled)));
}
} // namespace

std::vector<unsigned char> EncodeCursorBitmap(const CursorBitmap& bitmap)
{
    std::vector<unsigned char> bytes;
    const bool fullPalette = bitmap.palette.size() == (size_t(1) << bitmap.bitCount);
    Put32(bytes, 40);
    Put32(bytes, static_cast<uint32_t>(bitmap.width));
    Put32(bytes, static_cast<uint32_t>(bitmap.height * 2));
    Put16(bytes, 1);
    Put16(bytes, static_cast<uint32_t>(bitmap.bitCount));
    Put32(bytes, 0); // BI_RGB
    for (int i = 0; i < 3; ++i)
        Put32(bytes, 0); // image size, resolution
    Put32(bytes, fullPalette ? 0 : static_cast<uint32_t>(bitmap.palette.size()));
    Put32(bytes, 0);
    for (uint32_t colour : bitmap.palette)
        Put32(bytes, colour & 0xFFFFFF);

    for (int y = bitmap.height - 1; y >= 0; --y)
    {
        const size_t rowStart = bytes.size();
        const auto first = bitmap.colours.begin() + y * bitmap.width;
        const std::vector<uint32_t> row(first, first + bitmap.width);
        if (bitmap.bitCount == 32 || bitmap.bitCount == 24)
        {
            for (uint32_t colour : row)
            {
                for (int shift = 0; shift < bitmap.bitCount; shift += 8)
                    bytes.push_back(static_cast<unsigned char>(colour >> shift));
            }
        }
        else
        {
            PutPacked(bytes, row, bitmap.bitCount);
        }
        PadRow(bytes, rowStart);
    }
    for (int y = bitmap.height - 1; y >= 0; --y)
    {
        const size_t rowStart = bytes.size();
        std::vector<uint32_t> row;
        for (int x = 0; x < bitmap.width; ++x)
            row.push_back(!bitmap.masked.empty() && bitmap.masked[y * bitmap.width + x] ? 1 : 0);
        PutPacked(bytes, row, 1);
        PadRow(bytes, rowStart);
    }
    return bytes;
}

std::vector<unsigned char> EncodeCursorFile(const std::vector<CursorEntry>& entries)
{
    std::vector<unsigned char> bytes;
    Put16(bytes, 0);
    Put16(bytes, 2);
    Put16(bytes, static_cast<uint32_t>(entries.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * entries.size());
    for (const CursorEntry& entry : entries)
    {
        bytes.push_back(static_cast<unsigned char>(entry.side));
        bytes.push_back(static_cast<unsigned char>(entry.side));
        bytes.push_back(0);
        bytes.push_back(0);
        Put16(bytes, static_cast<uint32_t>(entry.hotspotX));
        Put16(bytes, static_cast<uint32_t>(entry.hotspotY));
        Put32(bytes, static_cast<uint32_t>(entry.picture.size()));
        Put32(bytes, offset);
        offset += static_cast<uint32_t>(entry.picture.size());
    }
    for (const CursorEntry& entry : entries)
        bytes.insert(bytes.end(), entry.picture.begin(), entry.picture.end());
    return bytes;
}

std::vector<unsigned char> EncodeCursorFile(const CursorBitmap& bitmap, int hotspotX, int hotspotY)
{
    return EncodeCursorFile({CursorEntry{bitmap.width, hotspotX, hotspotY, EncodeCursorBitmap(bitmap)}});
}

bool WriteBytes(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(file);
}

std::vector<unsigned char> EncodePng(int width, int height, const std::vector<uint32_t>& pixels)
{
    std::vector<unsigned char> rgba;
    for (uint32_t pixel : pixels)
    {
        for (int shift : {16, 8, 0, 24})
            rgba.push_back(static_cast<unsigned char>(pixel >> shift));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(width);
    png.height = static_cast<png_uint_32>(height);
    png.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&png, nullptr, &size, 0, rgba.data(), 0, nullptr);
    std::vector<unsigned char> bytes(size);
    png_image_write_to_memory(&png, bytes.data(), &size, 0, rgba.data(), 0, nullptr);
    bytes.resize(size);
    return bytes;
}
