#pragma once

#include <vector>

class IFloatSourceListener;

// A named float value of the running game that changes over time or follows other sources (the name is
// the value-source manager's). It starts at 0.0 and active. Listeners are not owned; each must remove
// itself before it dies unless the source is gone first.
class cl_FloatSource
{
public:
    cl_FloatSource(const cl_FloatSource&) = delete;
    cl_FloatSource& operator=(const cl_FloatSource&) = delete;
    // Tells every listener OnSourceDestroyed, in list order.
    virtual ~cl_FloatSource();

    // Advances the source by dt seconds; the manager passes 0 while the source is switched off. The base
    // does nothing.
    virtual void Update(float dt);

    float GetValue() const { return m_value; }
    // 0.0 marks the source as switched off; anything else is on.
    float GetActive() const { return m_active; }
    void SetActive(float active) { m_active = active; }

    // The only way the value changes. An equal value does nothing; otherwise every listener, in list
    // order, is told OnValueChanged with the old and the new value.
    void SetCurrentValue(float value);
    // Appends the listener unless it is listening already; null is ignored.
    void AddListener(IFloatSourceListener* listener);
    void RemoveListener(IFloatSourceListener* listener);

protected:
    cl_FloatSource() = default;

private:
    std::vector<IFloatSourceListener*> m_listeners;
    float m_value = 0.0f;
    float m_active = 1.0f;
};
