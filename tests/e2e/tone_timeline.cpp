// Prints what a recorded WAV file holds over time, for the end-to-end tests of sound: one line per 50 ms
// window, its start in seconds and then the amplitude of each given pitch in it.
// Usage: tone_timeline WAV FREQUENCY...
#include "support/Recording.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv)
{
    if (argc < 3)
    {
        std::fprintf(stderr, "usage: %s WAV FREQUENCY...\n", argv[0]);
        return 2;
    }
    const Recording recording = Recording::FromWave(argv[1]);
    std::vector<float> frequencies;
    for (int index = 2; index < argc; ++index)
        frequencies.push_back(static_cast<float>(std::atof(argv[index])));
    const float window = 0.05f;
    for (float start = 0.0f; start + window <= recording.Seconds(); start += window)
    {
        std::printf("%.2f", start);
        for (float frequency : frequencies)
            std::printf(" %.4f", recording.ToneLevel(frequency, start, window));
        std::printf("\n");
    }
    return 0;
}
