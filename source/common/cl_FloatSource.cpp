#include "common/cl_FloatSource.h"

#include "common/IFloatSourceListener.h"

#include <algorithm>

cl_FloatSource::~cl_FloatSource()
{
    // Taken out first: a listener that removes itself in answer changes nothing under the loop.
    const std::vector<IFloatSourceListener*> listeners = std::move(m_listeners);
    for (IFloatSourceListener* listener : listeners)
        listener->OnSourceDestroyed(this);
}

void cl_FloatSource::Update(float) {}

void cl_FloatSource::SetCurrentValue(float value)
{
    if (value == m_value)
        return;
    const float oldValue = m_value;
    m_value = value;
    // By index: a listener may add or remove listeners while it is told.
    for (size_t i = 0; i < m_listeners.size(); ++i)
        m_listeners[i]->OnValueChanged(this, oldValue, value);
}

void cl_FloatSource::AddListener(IFloatSourceListener* listener)
{
    if (listener && std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void cl_FloatSource::RemoveListener(IFloatSourceListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}
