#include "sound/cl_SoundMixer.h"

void cl_SoundMixer::PlayMusic(const std::string& name, float, bool, bool)
{
    m_music = name;
}
