#include "sound/cl_SoundLoader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace
{
// Interleaved PCM bytes: frames of the given channel values, 16-bit signed or 8-bit unsigned.
std::vector<uint8_t> Pcm(int bits, const std::vector<std::vector<int>>& frames)
{
    std::vector<uint8_t> bytes;
    for (const std::vector<int>& frame : frames)
    {
        for (int value : frame)
        {
            if (bits == 8)
            {
                bytes.push_back(static_cast<uint8_t>(value));
                continue;
            }
            const int16_t sample = static_cast<int16_t>(value);
            uint8_t raw[2];
            std::memcpy(raw, &sample, 2);
            bytes.insert(bytes.end(), raw, raw + 2);
        }
    }
    return bytes;
}

std::vector<std::vector<int>> Repeat(const std::vector<int>& frame, int count)
{
    return std::vector<std::vector<int>>(static_cast<size_t>(count), frame);
}

TEST(LoudnessLevels, OneLevelPerTenMillisecondsOfTheFirstChannel)
{
    // At 1000 Hz a window is 10 frames.
    std::vector<std::vector<int>> loudThenQuiet = Repeat({-32767}, 10);
    const std::vector<std::vector<int>> quiet = Repeat({0}, 11);
    loudThenQuiet.insert(loudThenQuiet.end(), quiet.begin(), quiet.end());
    const struct
    {
        const char* name;
        int bits;
        int channels;
        int rate;
        std::vector<std::vector<int>> frames;
        std::vector<float> levels;
    } cases[] = {
        {"half scale, the shorter last window left out",
         16,
         1,
         1000,
         Repeat({16384}, 35),
         {0.5f, 0.5f, 0.5f}},
        {"an exactly fitting last window is left out too", 16, 1, 1000, Repeat({16384}, 30), {0.5f, 0.5f}},
        {"windows of their own loudness", 16, 1, 1000, loudThenQuiet, {1.0f, 0.0f}},
        {"8-bit samples around 128", 8, 1, 1000, Repeat({64}, 25), {0.5f, 0.5f}},
        {"only the first channel counts", 16, 2, 1000, Repeat({32767, 0}, 25), {1.0f, 1.0f}},
        {"one window only: nothing", 16, 1, 1000, Repeat({32767}, 10), {}},
        {"a rate too low for a window", 16, 1, 99, Repeat({32767}, 50), {}},
    };
    for (const auto& c : cases)
    {
        const std::vector<uint8_t> bytes = Pcm(c.bits, c.frames);
        const std::vector<float> levels =
            cl_SoundLoader::LoudnessLevels(bytes.data(), bytes.size(), c.channels, c.bits, c.rate);
        ASSERT_EQ(levels.size(), c.levels.size()) << c.name;
        for (size_t index = 0; index < levels.size(); ++index)
            EXPECT_NEAR(levels[index], c.levels[index], 1e-3f) << c.name << " " << index;
    }
}
} // namespace
