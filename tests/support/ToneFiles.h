#pragma once

#include <string>

// A sine tone for sound tests: its pitch, length and layout.
struct ToneSpec
{
    float frequency = 440.0f;
    float seconds = 0.5f;
    int channels = 1;
    int rate = 44100;
    int bits = 16; // WAV only: 8 or 16
    float amplitude = 0.5f;
};

// The bytes of a PCM WAV file of the tone.
std::string ToneWav(const ToneSpec& tone);
// The bytes of an Ogg Vorbis file of the tone (its length rounded to whole 10 ms).
std::string ToneOgg(const ToneSpec& tone);
