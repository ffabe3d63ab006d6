#include "support/ToneFiles.h"

#include "platform/TheoraClipWriter.h"

#include <cmath>
#include <cstdint>

namespace
{
void Append(std::string& out, uint32_t value, int bytes)
{
    for (int index = 0; index < bytes; ++index)
        out += static_cast<char>((value >> (8 * index)) & 0xFF);
}
} // namespace

std::string ToneWav(const ToneSpec& tone)
{
    const int frames = static_cast<int>(std::lround(tone.seconds * static_cast<float>(tone.rate)));
    const int sampleBytes = tone.bits / 8;
    const uint32_t dataBytes = static_cast<uint32_t>(frames * tone.channels * sampleBytes);
    std::string out = "RIFF";
    Append(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    Append(out, 16, 4);
    Append(out, 1, 2); // PCM
    Append(out, static_cast<uint32_t>(tone.channels), 2);
    Append(out, static_cast<uint32_t>(tone.rate), 4);
    Append(out, static_cast<uint32_t>(tone.rate * tone.channels * sampleBytes), 4);
    Append(out, static_cast<uint32_t>(tone.channels * sampleBytes), 2);
    Append(out, static_cast<uint32_t>(tone.bits), 2);
    out += "data";
    Append(out, dataBytes, 4);
    const double step = 2.0 * M_PI * tone.frequency / tone.rate;
    for (int frame = 0; frame < frames; ++frame)
    {
        const double value = tone.amplitude * std::sin(step * frame);
        for (int channel = 0; channel < tone.channels; ++channel)
        {
            if (tone.bits == 8)
                Append(out, static_cast<uint32_t>(std::lround(128.0 + value * 127.0)), 1);
            else
                Append(out, static_cast<uint32_t>(static_cast<int16_t>(std::lround(value * 32767.0))), 2);
        }
    }
    return out;
}

std::string ToneOgg(const ToneSpec& tone)
{
    TheoraClipSpec clip;
    clip.video = false;
    clip.framesPerSecond = 100;
    clip.frames.resize(static_cast<size_t>(std::lround(tone.seconds * 100.0f)), TheoraClipColour{0, 0, 0});
    clip.toneFrequency = tone.frequency;
    clip.toneAmplitude = tone.amplitude;
    clip.sampleRate = tone.rate;
    clip.channels = tone.channels;
    const std::vector<unsigned char> bytes = WriteTheoraClip(clip);
    return std::string(bytes.begin(), bytes.end());
}
