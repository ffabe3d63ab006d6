#pragma once

#include <string>
#include <vector>

// Sound as it came out of OpenAL (a WAV file of the wave driver, or loopback samples), and the measures
// tests take of it. Times are seconds from its start; levels are amplitudes of full scale 1.
class Recording
{
public:
    // 32-bit float or 16-bit PCM WAV; an unreadable file gives an empty recording.
    static Recording FromWave(const std::string& path);
    Recording(std::vector<float> samples, int channels, int rate);

    float Seconds() const;
    int Rate() const { return m_rate; }
    // The amplitude of the sine of that frequency in the first channel over [start, start + length).
    float ToneLevel(float frequency, float start, float length) const;
    // The root mean square of the first channel over [start, start + length).
    float Rms(float start, float length) const;
    // The first time from which the tone stays above level for 20 ms, or -1.
    float Onset(float frequency, float level, float from = 0.0f) const;

private:
    std::vector<float> m_samples; // interleaved
    int m_channels;
    int m_rate;
};
