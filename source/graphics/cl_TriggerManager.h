#pragma once

#include "ISingleton.h"
#include "common/ICommandReceiver.h"
#include "common/IGameTimeListener.h"
#include "common/cl_GameTimeRegistration.h"
#include "common/cl_ReceiverRegistration.h"
#include "graphics/cl_Trigger.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class CommandArguments;
class TiXmlElement;

// Owns the scene's triggers by name, updates them every frame (game time "default", priority 0) in name
// order, and answers the receiver "triggermanager".
class cl_TriggerManager : public ISingleton<cl_TriggerManager>,
                          public ICommandReceiver,
                          public IGameTimeListener
{
public:
    // Registers as the receiver "triggermanager" with distributor, which must outlive it.
    explicit cl_TriggerManager(cl_CommandDistributor& distributor);
    ~cl_TriggerManager() override;

    // The commands of COMMANDS below; an unknown name is logged. Answers false for every command.
    bool ExecuteCmd(cl_Command& cmd) override;
    // Each trigger's Update, in byte order of the names. A trigger's script may remove triggers (a scene
    // switch): those are skipped, and one removed during its own script is deleted once it has returned.
    void Update(float dt) override;

    // Creates the triggers of a scene's `triggers` element: each `trigger` with `type` ("proximity",
    // "animationevent", "patchevent", "valuesrc") and `name` reads its element (a `triggered="true"` one
    // runs its activate script now) and is added. Errors are logged and the element skipped; null does
    // nothing. Virtual so that tests can see when the scene loader calls.
    virtual void LoadFromXml(const TiXmlElement* triggers);
    // Deletes the triggers the element names, without running their deactivation scripts.
    virtual void RemoveByXml(const TiXmlElement* triggers);
    // Takes the trigger under its name. A null trigger, or a name already taken, is logged and the
    // trigger deleted.
    void AddTrigger(const std::string& name, std::unique_ptr<cl_Trigger> trigger);
    // Null for a name no trigger has.
    cl_Trigger* GetTrigger(const std::string& name) const;

    struct CommandEntry
    {
        const char* name;
        // The arguments it reads, named as CommandArguments reads a table.
        const char* arguments;
        void (cl_TriggerManager::*run)(const CommandArguments& args);
    };
    static const CommandEntry COMMANDS[];

private:
    void CmdSetEnabled(const CommandArguments& args);

    std::map<std::string, std::unique_ptr<cl_Trigger>> m_triggers;
    // Removed while a trigger's script ran; deleted at the next update.
    std::vector<std::unique_ptr<cl_Trigger>> m_removed;
    cl_ReceiverRegistration m_receiver;
    cl_GameTimeRegistration m_gameTime;
};

// The receiver "triggermanager".
inline const cl_TriggerManager::CommandEntry cl_TriggerManager::COMMANDS[] = {
    // Switches the named trigger on or off (another kind than bool is converted as the argument reads);
    // no script runs and triggered stays. An unknown name does nothing.
    {"SetEnabled", "string name, bool enabled", &cl_TriggerManager::CmdSetEnabled},
};
