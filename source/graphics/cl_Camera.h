#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"

// The one scene camera: chooses the shot that the active backdrop shows.
class cl_Camera : public ISingleton<cl_Camera>, public ICommandReceiver
{
public:
    // Registers as the receiver "camera" with distributor, which must outlive it.
    explicit cl_Camera(cl_CommandDistributor& distributor);

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

private:
    cl_ReceiverRegistration m_receiver;
};
