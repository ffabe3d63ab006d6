// Makes a Theora video with a Vorbis tone: grainy frames that change colour every half second.
// Usage: make_clip OUTPUT.ogv WIDTH HEIGHT SECONDS [TONE_HZ [SAMPLE_RATE [CHANNELS]]]
#include "platform/TheoraClipWriter.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace
{
constexpr int FramesPerSecond = 25;
const TheoraClipColour Palette[] = {{200, 60, 40},  {40, 150, 70},   {50, 80, 190},
                                    {220, 190, 60}, {230, 230, 230}, {30, 30, 30}};
} // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || argc > 8)
    {
        std::fprintf(stderr,
                     "usage: make_clip OUTPUT.ogv WIDTH HEIGHT SECONDS [TONE_HZ [SAMPLE_RATE [CHANNELS]]]\n");
        return 2;
    }
    TheoraClipSpec spec;
    spec.width = std::atoi(argv[2]);
    spec.height = std::atoi(argv[3]);
    spec.framesPerSecond = FramesPerSecond;
    spec.textured = true;
    spec.toneFrequency = argc > 5 ? std::atof(argv[5]) : 440.0;
    spec.sampleRate = argc > 6 ? std::atoi(argv[6]) : 44100;
    spec.channels = argc > 7 ? std::atoi(argv[7]) : 2;
    const int frames = static_cast<int>(std::atof(argv[4]) * FramesPerSecond + 0.5);
    const int paletteSize = static_cast<int>(sizeof(Palette) / sizeof(Palette[0]));
    for (int frame = 0; frame < frames; ++frame)
        spec.frames.push_back(Palette[frame / (FramesPerSecond / 2) % paletteSize]);

    const std::vector<unsigned char> clip = WriteTheoraClip(spec);
    std::ofstream file(argv[1], std::ios::binary);
    file.write(reinterpret_cast<const char*>(clip.data()), static_cast<std::streamsize>(clip.size()));
    if (clip.empty() || !file)
    {
        std::fprintf(stderr, "make_clip: cannot make %s\n", argv[1]);
        return 1;
    }
    return 0;
}
