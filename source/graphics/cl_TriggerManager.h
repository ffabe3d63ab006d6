#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"

class TiXmlElement;

// Owns the scene's triggers, which run Lua when something happens in a location.
class cl_TriggerManager : public ISingleton<cl_TriggerManager>, public ICommandReceiver
{
public:
    // Registers as the receiver "triggermanager" with distributor, which must outlive it.
    explicit cl_TriggerManager(cl_CommandDistributor& distributor);

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Creates the triggers of a scene's `triggers` element; removes them again, without running their
    // deactivation scripts. Null does nothing. No trigger kind is made yet. Virtual so that tests can
    // see when the scene loader calls.
    virtual void LoadFromXml(const TiXmlElement* triggers);
    virtual void RemoveByXml(const TiXmlElement* triggers);

private:
    cl_ReceiverRegistration m_receiver;
};
