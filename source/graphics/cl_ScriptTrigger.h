#pragma once

#include "graphics/cl_Trigger.h"

#include <string>

// A trigger that runs an activate and a deactivate script (the base of the trigger kinds a scene declares).
class cl_ScriptTrigger : public cl_Trigger
{
public:
    // Empties both scripts, keeps the text of each `script` whose `event` is "activate" or "deactivate" (a
    // later one replaces an earlier), then reads the base's flags.
    bool LoadFromXml(const TiXmlElement* element) override;
    // Hand the script (also an empty one) to the script system.
    void OnActivate() override;
    void OnDeactivate() override;

    // Whether a trigger's script runs now: the world may change under the caller (a scene switch removes
    // triggers).
    static bool IsRunningScript() { return s_running > 0; }

private:
    static void Run(const std::string& script);

    static int s_running;
    std::string m_activateScript;
    std::string m_deactivateScript;
};
