#include "gamecomponents/SoundPlaybackInterface.h"

#include "sound/cl_ManualPlaybackObject.h"
#include "sound/cl_Sound.h"
#include "sound/cl_SoundMixer.h"

void SoundPlaybackInterface::insertData(const float* const* data, int nSamples)
{
    cl_Sound* sound = cl_Sound::GetInstance();
    if (m_streamId == -1)
        m_streamId = sound ? sound->GetMixer().StartAudioStream(m_channels, m_sampleRate, 1.0f) : 0;
    // A stream that could not start would have the mixer warn of its id with every insert.
    if (m_streamId > 0 && sound)
        sound->GetMixer().FillAudioStream(m_streamId, data, nSamples);
}

void SoundPlaybackInterface::stop()
{
    cl_Sound* sound = cl_Sound::GetInstance();
    if (m_streamId > 0 && sound)
    {
        if (auto* stream =
                dynamic_cast<cl_ManualPlaybackObject*>(sound->GetMixer().GetPlaybackObject(m_streamId)))
            stream->Stop();
    }
    m_streamId = -1;
}
