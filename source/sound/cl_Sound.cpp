#include "sound/cl_Sound.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_Sound::cl_Sound(cl_CommandDistributor& distributor) : m_receiver(distributor, "sound", this) {}

bool cl_Sound::Init()
{
    return true;
}

bool cl_Sound::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}

cl_SoundChannel& cl_Sound::GetChannel(int index)
{
    if (index < 0 || index >= CHANNEL_COUNT)
    {
        LOG_ERROR("There is no sound channel %i", index);
        index = 0;
    }
    return m_channels[static_cast<size_t>(index)];
}
