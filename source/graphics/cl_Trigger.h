#pragma once

#include <string>

class TiXmlElement;

// A named trigger of a scene: it runs Lua when something happens in the location while it is enabled,
// and is triggered while its condition holds. Visual states and commands switch it on and off by name.
class cl_Trigger
{
public:
    cl_Trigger() = default;
    virtual ~cl_Trigger() = default;
    cl_Trigger(const cl_Trigger&) = delete;
    cl_Trigger& operator=(const cl_Trigger&) = delete;

    // One frame; the kinds look at their condition here.
    virtual void Update(float dt);
    // Reads `triggered` (exactly "true": activated now, unless disabled or triggered already; otherwise a
    // triggered, enabled trigger is deactivated) and then `enabled` (exactly "false" disables). A null
    // element reads nothing. True.
    virtual bool LoadFromXml(const TiXmlElement* element);
    virtual void OnActivate();
    virtual void OnDeactivate();

    const std::string& GetName() const { return m_name; }
    // Set by the trigger manager when it takes the trigger.
    void SetName(const std::string& name) { m_name = name; }
    bool IsEnabled() const { return m_enabled; }
    // Only the flag: no script runs and triggered stays.
    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsTriggered() const { return m_triggered; }

protected:
    // While enabled: a condition that holds activates an untriggered trigger, one that fails deactivates a
    // triggered one.
    void ApplyCondition(bool holds);
    // While enabled: activated (unless triggered already), then deactivated.
    void Pulse();

private:
    std::string m_name;
    bool m_triggered = false;
    bool m_enabled = true;
};
