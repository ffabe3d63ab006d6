#include "support/Recording.h"

#include "support/TemporaryFolder.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace
{
uint32_t Read(const std::string& data, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int index = 0; index < bytes && at + static_cast<size_t>(index) < data.size(); ++index)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(data[at + static_cast<size_t>(index)]))
                 << (8 * index);
    return value;
}
} // namespace

Recording::Recording(std::vector<float> samples, int channels, int rate)
    : m_samples(std::move(samples)), m_channels(channels > 0 ? channels : 1), m_rate(rate > 0 ? rate : 1)
{
}

Recording Recording::FromWave(const std::string& path)
{
    const std::string data = ReadTextFile(path);
    int channels = 1;
    int rate = 44100;
    int bits = 16;
    bool floats = false;
    std::vector<float> samples;
    // Chunks after "RIFF" size "WAVE"; the wave driver writes an extensible format chunk.
    for (size_t at = 12; at + 8 <= data.size();)
    {
        const std::string id = data.substr(at, 4);
        const size_t size = Read(data, at + 4, 4);
        const size_t body = at + 8;
        if (id == "fmt ")
        {
            const uint32_t format = Read(data, body, 2);
            channels = static_cast<int>(Read(data, body + 2, 2));
            rate = static_cast<int>(Read(data, body + 4, 4));
            bits = static_cast<int>(Read(data, body + 14, 2));
            floats = format == 3 || (format == 0xFFFE && Read(data, body + 24, 2) == 3);
        }
        else if (id == "data")
        {
            // The wave driver fills in the size only when the device closes.
            const size_t end = size == 0 || body + size > data.size() ? data.size() : body + size;
            for (size_t sample = body; sample + static_cast<size_t>(bits / 8) <= end; sample += bits / 8)
            {
                if (floats)
                {
                    const uint32_t raw = Read(data, sample, 4);
                    float value = 0.0f;
                    std::memcpy(&value, &raw, sizeof(value));
                    samples.push_back(value);
                }
                else
                {
                    samples.push_back(static_cast<float>(static_cast<int16_t>(Read(data, sample, 2))) /
                                      32768.0f);
                }
            }
        }
        at = body + size + (size & 1);
    }
    return Recording(std::move(samples), channels, rate);
}

float Recording::Seconds() const
{
    return static_cast<float>(m_samples.size() / static_cast<size_t>(m_channels)) /
           static_cast<float>(m_rate);
}

float Recording::ToneLevel(float frequency, float start, float length) const
{
    // Goertzel over the window: the amplitude of one frequency, whatever else sounds.
    const size_t frames = m_samples.size() / static_cast<size_t>(m_channels);
    const long first = std::lround(std::max(0.0f, start) * static_cast<float>(m_rate));
    const long count = std::lround(length * static_cast<float>(m_rate));
    const double omega = 2.0 * M_PI * frequency / m_rate;
    const double coefficient = 2.0 * std::cos(omega);
    double previous = 0.0;
    double beforePrevious = 0.0;
    long used = 0;
    for (long frame = first; frame < first + count && static_cast<size_t>(frame) < frames; ++frame, ++used)
    {
        const double value = m_samples[static_cast<size_t>(frame) * static_cast<size_t>(m_channels)] +
                             coefficient * previous - beforePrevious;
        beforePrevious = previous;
        previous = value;
    }
    if (used == 0)
        return 0.0f;
    const double power =
        previous * previous + beforePrevious * beforePrevious - coefficient * previous * beforePrevious;
    return static_cast<float>(2.0 * std::sqrt(std::max(0.0, power)) / static_cast<double>(used));
}

float Recording::Rms(float start, float length) const
{
    const size_t frames = m_samples.size() / static_cast<size_t>(m_channels);
    const long first = std::lround(std::max(0.0f, start) * static_cast<float>(m_rate));
    const long count = std::lround(length * static_cast<float>(m_rate));
    double sum = 0.0;
    long used = 0;
    for (long frame = first; frame < first + count && static_cast<size_t>(frame) < frames; ++frame, ++used)
    {
        const double value = m_samples[static_cast<size_t>(frame) * static_cast<size_t>(m_channels)];
        sum += value * value;
    }
    return used == 0 ? 0.0f : static_cast<float>(std::sqrt(sum / static_cast<double>(used)));
}

float Recording::Onset(float frequency, float level, float from) const
{
    const float step = 0.005f;
    for (float time = from; time + 0.02f <= Seconds(); time += step)
    {
        if (ToneLevel(frequency, time, 0.01f) > level && ToneLevel(frequency, time + 0.01f, 0.01f) > level)
            return time;
    }
    return -1.0f;
}
