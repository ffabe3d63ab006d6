#include "platform/CursorFile.h"

#include "support/CursorFileBuilder.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <functional>

namespace
{
using platform::CursorImage;

bool Read(const std::vector<unsigned char>& bytes, CursorImage& image)
{
    return platform::ReadCursorImage(bytes.data(), bytes.size(), "test.cur", image);
}

std::vector<uint32_t> Repeat(uint32_t value, size_t count)
{
    return std::vector<uint32_t>(count, value);
}

TEST(CursorFile, PicturesBecomePremultipliedRowsTopDown)
{
    const std::vector<bool> allMasked(4, true);
    struct Case
    {
        const char* name;
        CursorBitmap bitmap;
        std::vector<uint32_t> expected;
    } cases[] = {
        {"32 bits with alpha: alpha kept, colour premultiplied, mask ignored",
         {2, 2, 32, {}, {0xFFFF0000, 0x80FF8000, 0x00FFFFFF, 0x40204080}, allMasked},
         {0xFFFF0000, 0x80804000, 0x00000000, 0x40081020}},
        {"32 bits without alpha: the mask decides, an inverting pixel is black",
         {3, 1, 32, {}, {0x112233, 0x000000, 0x445566}, {false, true, true}},
         {0xFF112233, 0x00000000, 0xFF000000}},
        {"1 bit with a padded row: the mask cuts out, inverting pixels are black",
         {3, 2, 1, {0x000000, 0xFFFFFF}, {1, 0, 0, 1, 0, 1}, {false, false, true, true, false, false}},
         {0xFFFFFFFF, 0xFF000000, 0x00000000, 0xFF000000, 0xFF000000, 0xFFFFFFFF}},
        {"4 bits with a short palette: indices past it are black",
         {3, 1, 4, {0xFF0000, 0x00FF00}, {1, 0, 7}, {}},
         {0xFF00FF00, 0xFFFF0000, 0xFF000000}},
        {"8 bits", {2, 1, 8, {0x000000, 0x0000FF, 0x123456}, {2, 1}, {}}, {0xFF123456, 0xFF0000FF}},
        {"24 bits with padded rows",
         {3, 2, 24, {}, {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x101112}, {}},
         {0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112}},
    };
    for (const Case& c : cases)
    {
        CursorImage image;
        ASSERT_TRUE(Read(EncodeCursorFile(c.bitmap, 0, 0), image)) << c.name;
        EXPECT_EQ(image.width, c.bitmap.width) << c.name;
        EXPECT_EQ(image.height, c.bitmap.height) << c.name;
        EXPECT_EQ(image.pixels, c.expected) << c.name;
    }
}

TEST(CursorFile, HotspotComesFromTheDirectoryAndStaysInsideThePicture)
{
    const CursorBitmap bitmap{4, 2, 32, {}, Repeat(0xFF000000, 8), {}};
    struct Case
    {
        int x, y;
        int expectedX, expectedY;
        bool warned;
    } cases[] = {
        {0, 0, 0, 0, false},
        {3, 1, 3, 1, false},
        {9, 1, 3, 1, true},
        {2, 70, 2, 1, true},
    };
    for (const Case& c : cases)
    {
        LogCapture log;
        CursorImage image;
        ASSERT_TRUE(Read(EncodeCursorFile(bitmap, c.x, c.y), image));
        EXPECT_EQ(image.hotspotX, c.expectedX) << c.x << "," << c.y;
        EXPECT_EQ(image.hotspotY, c.expectedY) << c.x << "," << c.y;
        EXPECT_EQ(log.Contains("test.cur"), c.warned) << c.x << "," << c.y;
    }
}

TEST(CursorFile, OfSeveralPicturesTheOneNearest32PixelsIsTaken)
{
    // The directory's size byte chooses; each picture is one pixel of its own colour.
    const auto entry = [](int side, uint32_t colour) {
        return CursorEntry{side, 0, 0, EncodeCursorBitmap({1, 1, 32, {}, {colour}, {}})};
    };
    struct Case
    {
        const char* name;
        std::vector<CursorEntry> entries;
        uint32_t expected;
    } cases[] = {
        {"exact size wins", {entry(16, 0xFF000001), entry(32, 0xFF000002), entry(0, 0xFF000003)}, 0xFF000002},
        {"the first of equally near",
         {entry(64, 0xFF000001), entry(24, 0xFF000002), entry(40, 0xFF000003)},
         0xFF000002},
        {"0 stands for 256", {entry(0, 0xFF000001), entry(200, 0xFF000002)}, 0xFF000002},
    };
    for (const Case& c : cases)
    {
        CursorImage image;
        ASSERT_TRUE(Read(EncodeCursorFile(c.entries), image)) << c.name;
        EXPECT_EQ(image.pixels, std::vector<uint32_t>{c.expected}) << c.name;
    }
}

// Patches a little-endian field of a file.
void Patch(std::vector<unsigned char>& bytes, size_t offset, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = static_cast<unsigned char>(value >> (8 * i));
}

TEST(CursorFile, MalformedFilesAreRefusedWithALogLine)
{
    // A 4 x 2 one-bit cursor: directory at 0, its entry at 6 (size byte, hotspot at 10, length at 14,
    // offset at 18), the bitmap header at 22 (header size, width at 26, height at 30, bits at 36,
    // compression at 38, palette length at 54).
    const std::vector<unsigned char> good =
        EncodeCursorFile(CursorBitmap{4, 2, 1, {0, 0xFFFFFF}, Repeat(1, 8), {}}, 1, 1);
    using Change = std::function<void(std::vector<unsigned char>&)>;
    const auto field = [](size_t offset, uint32_t value, int size = 4) -> Change
    { return [=](std::vector<unsigned char>& bytes) { Patch(bytes, offset, value, size); }; };
    const auto cutTo = [](size_t size) -> Change
    { return [=](std::vector<unsigned char>& bytes) { bytes.resize(size); }; };
    struct Case
    {
        const char* name;
        Change change;
    } cases[] = {
        {"empty", cutTo(0)},
        {"directory cut short", cutTo(5)},
        {"an icon, not a cursor", field(2, 1, 2)},
        {"no pictures", field(4, 0, 2)},
        {"more entries than the file holds", field(4, 200, 2)},
        {"picture offset past the end", field(18, static_cast<uint32_t>(good.size() + 1))},
        {"picture length past the end", field(14, 0xFFFFFFFF)},
        {"offset plus length wraps around",
         [](std::vector<unsigned char>& bytes)
         {
             Patch(bytes, 18, 0xFFFFFFF0, 4);
             Patch(bytes, 14, 0x20, 4);
         }},
        {"file cut short", cutTo(good.size() - 1)},
        {"entry length cuts the mask", field(14, static_cast<uint32_t>(good.size() - 22 - 1))},
        {"bitmap header cut short", field(14, 20)},
        {"bitmap header size too small", field(22, 12)},
        {"bitmap header size past the picture", field(22, 4000)},
        {"width 0", field(26, 0)},
        {"width far too large", field(26, 100000)},
        {"width negative", field(26, 0xFFFFFFFC)},
        {"height negative", field(30, 0xFFFFFFFC)},
        {"height without mask rows", field(30, 3)},
        {"height over 256", field(30, 2 * 257)},
        {"16 bits a pixel", field(36, 16, 2)},
        {"run-length compressed", field(38, 1)},
        {"palette larger than the bit depth", field(54, 1000000000)},
    };
    for (const Case& c : cases)
    {
        std::vector<unsigned char> bytes = good;
        c.change(bytes);
        LogCapture log;
        CursorImage image;
        image.width = 7;
        EXPECT_FALSE(Read(bytes, image)) << c.name;
        EXPECT_EQ(image.width, 7) << c.name;
        EXPECT_TRUE(log.Contains("Couldn't read cursor test.cur", cl_Logger::LEVEL_ERROR)) << c.name;
    }
    CursorImage image;
    EXPECT_TRUE(Read(good, image)) << "the unchanged file";
}

TEST(CursorFile, PngPicturesAreDecodedAndPremultiplied)
{
    const std::vector<unsigned char> png =
        EncodePng(3, 2, {0xFFFF0000, 0x80FF8000, 0x00FFFFFF, 0xFF00FF00, 0xFF0000FF, 0x40204080});
    CursorImage image;
    ASSERT_TRUE(Read(EncodeCursorFile({CursorEntry{32, 2, 1, png}}), image));
    EXPECT_EQ(image.width, 3);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.hotspotX, 2);
    EXPECT_EQ(image.hotspotY, 1);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFFFF0000, 0x80804000, 0x00000000, 0xFF00FF00, 0xFF0000FF,
                                                   0x40081020}));
}

TEST(CursorFile, BrokenOrOversizedPngPicturesAreRefusedWithALogLine)
{
    const std::vector<unsigned char> good = EncodePng(2, 2, std::vector<uint32_t>(4, 0xFF000000));
    std::vector<unsigned char> cut = good;
    cut.resize(good.size() / 2);
    std::vector<unsigned char> damaged = good;
    damaged[20] ^= 0xFF; // inside the header chunk: its checksum no longer fits
    const struct
    {
        const char* name;
        std::vector<unsigned char> picture;
        const char* reason;
    } cases[] = {
        {"only the signature", std::vector<unsigned char>(good.begin(), good.begin() + 8),
         "broken PNG picture"},
        {"cut short", cut, "broken PNG picture"},
        {"a damaged header", damaged, "broken PNG picture"},
        {"wider than 256 pixels", EncodePng(257, 1, std::vector<uint32_t>(257, 0xFF000000)),
         "PNG picture size out of range"},
    };
    for (const auto& c : cases)
    {
        LogCapture log;
        CursorImage image;
        image.width = 7;
        EXPECT_FALSE(Read(EncodeCursorFile({CursorEntry{32, 0, 0, c.picture}}), image)) << c.name;
        EXPECT_EQ(image.width, 7) << c.name;
        EXPECT_TRUE(
            log.Contains(std::string("Couldn't read cursor test.cur: ") + c.reason, cl_Logger::LEVEL_ERROR))
            << c.name;
    }
}

TEST(CursorFile, LoadingReadsTheFileAndNamesItWhenItFails)
{
    namespace fs = boost::filesystem;
    const fs::path folder = fs::temp_directory_path() / fs::unique_path("quillmere-cursor-%%%%%%");
    fs::create_directories(folder);
    const std::string path = (folder / "arrow.cur").string();
    ASSERT_TRUE(WriteBytes(path, EncodeCursorFile(CursorBitmap{1, 1, 32, {}, {0xFF0000FF}, {}}, 0, 0)));

    CursorImage image;
    EXPECT_TRUE(platform::LoadCursorImage(path, image));
    EXPECT_EQ(image.pixels, std::vector<uint32_t>{0xFF0000FF});
    const std::string huge = (folder / "huge.cur").string();
    ASSERT_TRUE(WriteBytes(huge, {}));
    fs::resize_file(huge, 5 * 1024 * 1024);
    for (const std::string& bad : {(folder / "missing.cur").string(), folder.string(), huge})
    {
        LogCapture log;
        EXPECT_FALSE(platform::LoadCursorImage(bad, image)) << bad;
        EXPECT_TRUE(log.Contains("Couldn't read cursor " + bad)) << bad;
    }
    fs::remove_all(folder);
}
} // namespace
