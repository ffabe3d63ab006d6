#pragma once

#include <cstdint>
#include <vector>

struct TheoraClipColour
{
    uint8_t r;
    uint8_t g;
    uint8_t b;
};

// A generated video: a few frames of known colours with a tone of known pitch, for tests, benchmarks and
// the demo's build.
struct TheoraClipSpec
{
    int width = 64; // any size; the coded frame is rounded up to whole 16-pixel blocks
    int height = 48;
    int framesPerSecond = 25;
    // One solid colour per frame; their count sets the length of the clip, sound included.
    std::vector<TheoraClipColour> frames;
    // Moving grain over the colours, so that decoding has real pictures to work on.
    bool textured = false;
    // Paints the bottom right of every picture in cornerColour, from its middle rounded down to whole
    // 16-pixel blocks, so that up, down, left and right can be told apart.
    bool markCorner = false;
    TheoraClipColour cornerColour{255, 255, 255};
    // False writes the sound track alone: an Ogg file without a Theora stream.
    bool video = true;
    // A sine tone of this pitch in Hz over the whole length; 0 writes no sound track.
    double toneFrequency = 0.0;
    float toneAmplitude = 0.5f;
    int sampleRate = 44100;
    int channels = 1;
};

// Encodes the clip as an Ogg file (Theora video, Vorbis sound, pages interleaved by time as a player reads
// them). Empty, with a log line, when the encoders refuse the description.
std::vector<unsigned char> WriteTheoraClip(const TheoraClipSpec& spec);
