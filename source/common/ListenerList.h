#pragma once

#include <algorithm>
#include <vector>

// The ordered list of listeners a subject tells of its changes. Listeners are not owned; each adds itself
// once and removes itself before it is destroyed. They are told in the order they were added; one that is
// removed while others are being told is not told any more, so a listener may remove (and delete) itself
// or another from inside a notification.
template <class Listener> class ListenerList
{
public:
    void Add(Listener* listener) { m_listeners.push_back(listener); }
    // Removes every entry of the listener.
    void Remove(const Listener* listener)
    {
        m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
    }

    // Calls notify(listener&) for each listener in order.
    template <class Notify> void Tell(const Notify& notify) const
    {
        const std::vector<Listener*> listeners = m_listeners;
        for (Listener* listener : listeners)
        {
            if (std::find(m_listeners.begin(), m_listeners.end(), listener) != m_listeners.end())
                notify(*listener);
        }
    }

private:
    std::vector<Listener*> m_listeners;
};
