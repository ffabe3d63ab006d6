#pragma once

#include "common/IGameTimeListener.h"
#include "common/cl_Controller.h"
#include "common/cl_GameTimeRegistration.h"

#include <string>

// Runs a Lua snippet every frame ("default" time group, priority 0, in registration order among the other
// priority-0 listeners). Script errors are logged by the script system.
class cl_ScriptController : public cl_Controller, public IGameTimeListener
{
public:
    // Registers with the living game time (none: the script never runs).
    explicit cl_ScriptController(const std::string& script);

    // Hands the script to the living script system; dt is not passed on. The script may delete this
    // controller (by unloading its scene): nothing of it is touched after the script ran.
    void Update(float dt) override;

private:
    std::string m_script;
    cl_GameTimeRegistration m_frames;
};
