#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"

// Owns the effects of the current scene: particles, light shafts, scene sounds, reflections, compositors.
class cl_EffectManager : public ISingleton<cl_EffectManager>, public ICommandReceiver
{
public:
    // Registers as the receiver "effectmanager" with distributor, which must outlive it.
    explicit cl_EffectManager(cl_CommandDistributor& distributor);

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

private:
    cl_ReceiverRegistration m_receiver;
};
