#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Trigger.h"

#include <map>
#include <memory>
#include <string>

class TiXmlElement;

// Owns the scene's triggers, which run Lua when something happens in a location.
class cl_TriggerManager : public ISingleton<cl_TriggerManager>, public ICommandReceiver
{
public:
    // Registers as the receiver "triggermanager" with distributor, which must outlive it.
    explicit cl_TriggerManager(cl_CommandDistributor& distributor);
    ~cl_TriggerManager() override;

    // No command is known yet: each is logged as unknown and answered false.
    bool ExecuteCmd(cl_Command& cmd) override;

    // Creates the triggers of a scene's `triggers` element; removes them again, without running their
    // deactivation scripts. Null does nothing. No trigger kind is made yet. Virtual so that tests can
    // see when the scene loader calls.
    virtual void LoadFromXml(const TiXmlElement* triggers);
    virtual void RemoveByXml(const TiXmlElement* triggers);
    // Takes the trigger under its name. A null trigger, or a name already taken, is logged and the
    // trigger deleted.
    void AddTrigger(const std::string& name, std::unique_ptr<cl_Trigger> trigger);
    // Null for a name no trigger has.
    cl_Trigger* GetTrigger(const std::string& name) const;

private:
    std::map<std::string, std::unique_ptr<cl_Trigger>> m_triggers;
    cl_ReceiverRegistration m_receiver;
};
