#pragma once

#include <string>

// A named trigger of a scene: it runs Lua when something happens in the location while it is enabled,
// and is triggered while its condition holds. The kinds of trigger and what fires them come with the
// trigger manager's reading of a scene's `triggers`; visual states and commands switch it by name.
class cl_Trigger
{
public:
    cl_Trigger() = default;
    virtual ~cl_Trigger() = default;
    cl_Trigger(const cl_Trigger&) = delete;
    cl_Trigger& operator=(const cl_Trigger&) = delete;

    const std::string& GetName() const { return m_name; }
    // Set by the trigger manager when it takes the trigger.
    void SetName(const std::string& name) { m_name = name; }
    bool IsEnabled() const { return m_enabled; }
    // Only the flag: no script runs.
    void SetEnabled(bool enabled) { m_enabled = enabled; }

private:
    std::string m_name;
    bool m_enabled = true;
};
