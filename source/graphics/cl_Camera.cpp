#include "graphics/cl_Camera.h"

#include "common/LogCall.h"
#include "common/cl_Command.h"

cl_Camera::cl_Camera(cl_CommandDistributor& distributor) : m_receiver(distributor, "camera", this) {}

bool cl_Camera::ExecuteCmd(cl_Command& cmd)
{
    LOG_WARNING("Received unknown Cmd '%s'!", cmd.m_name.c_str());
    return false;
}
