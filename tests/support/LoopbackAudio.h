#pragma once

#include <AL/alc.h>

#include <functional>
#include <vector>

// An OpenAL Soft loopback device with its context made current and ALUT started: OpenAL mixes only when
// the test asks, as fast as it can, into memory (stereo floats at 44.1 kHz). Sound components built
// while it lives run on it. One at a time.
class LoopbackAudio
{
public:
    static const int RATE = 44100;

    LoopbackAudio();
    ~LoopbackAudio();
    LoopbackAudio(const LoopbackAudio&) = delete;
    LoopbackAudio& operator=(const LoopbackAudio&) = delete;

    bool IsOpen() const { return m_context != nullptr; }
    // Mixes the next seconds of sound and appends them to the samples kept.
    void Render(float seconds);
    // Mixes the next seconds of sound and throws them away (for benchmarks, which keep nothing).
    void Discard(float seconds);
    // Renders seconds of sound in steps of step seconds, calling update(step) after each, as frames of the
    // game would.
    void Run(float seconds, const std::function<void(float)>& update, float step = 0.01f);
    // Everything rendered so far (since the last ForgetSamples), interleaved stereo.
    const std::vector<float>& Samples() const { return m_samples; }
    void ForgetSamples() { m_samples.clear(); }

private:
    // Mixes frames into target (two floats a frame).
    void Mix(float* target, int frames);
    static int Frames(float seconds);

    ALCdevice* m_device = nullptr;
    ALCcontext* m_context = nullptr;
    std::vector<float> m_samples;
    std::vector<float> m_scratch;
};
