#include "support/LoopbackAudio.h"

#include "support/WaveDriver.h"

#include <AL/alext.h>
#include <AL/alut.h>

#include <algorithm>
#include <cmath>

namespace
{
LPALCLOOPBACKOPENDEVICESOFT OpenLoopback()
{
    return reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(
        alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
}

LPALCRENDERSAMPLESSOFT RenderSamples()
{
    return reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
}
} // namespace

LoopbackAudio::LoopbackAudio()
{
    // The same configuration as the recording tests of the process, whichever comes first.
    WaveDriver::Recording();
    const LPALCLOOPBACKOPENDEVICESOFT open = OpenLoopback();
    m_device = open ? open(nullptr) : nullptr;
    if (!m_device)
        return;
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_FLOAT_SOFT,
                                 ALC_FREQUENCY,
                                 RATE,
                                 0};
    m_context = alcCreateContext(m_device, attributes);
    alcMakeContextCurrent(m_context);
    alutInitWithoutContext(nullptr, nullptr);
}

LoopbackAudio::~LoopbackAudio()
{
    if (m_context)
    {
        alutExit();
        alcMakeContextCurrent(nullptr);
        alcDestroyContext(m_context);
    }
    if (m_device)
        alcCloseDevice(m_device);
}

int LoopbackAudio::Frames(float seconds)
{
    return std::max(0, static_cast<int>(std::lround(seconds * RATE)));
}

void LoopbackAudio::Mix(float* target, int frames)
{
    static const LPALCRENDERSAMPLESSOFT render = RenderSamples();
    if (render && m_device && frames > 0)
        render(m_device, target, frames);
}

void LoopbackAudio::Render(float seconds)
{
    const size_t start = m_samples.size();
    m_samples.resize(start + static_cast<size_t>(Frames(seconds)) * 2);
    Mix(m_samples.data() + start, Frames(seconds));
}

void LoopbackAudio::Discard(float seconds)
{
    m_scratch.resize(static_cast<size_t>(Frames(seconds)) * 2);
    Mix(m_scratch.data(), Frames(seconds));
}

void LoopbackAudio::Run(float seconds, const std::function<void(float)>& update, float step)
{
    const int steps = static_cast<int>(std::lround(seconds / step));
    for (int index = 0; index < steps; ++index)
    {
        Render(step);
        update(step);
    }
}
