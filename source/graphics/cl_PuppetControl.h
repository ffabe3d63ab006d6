#pragma once

class TiXmlElement;

// Base of the named controls that drive a puppet (walking, turning, idle and special animations...). So
// far the switch that visual states and commands turn: an enabled control may run, a disabled one not.
class cl_PuppetControl
{
public:
    virtual ~cl_PuppetControl() = default;

    // Writes "enabled" and "active" as "true" or "false" into element (a debug description).
    virtual void SaveToXml(TiXmlElement& element) const;

    void SetEnabled(bool enabled) { m_enabled = enabled; }
    bool IsEnabled() const { return m_enabled; }

private:
    bool m_active = false;
    bool m_enabled = true;
};
