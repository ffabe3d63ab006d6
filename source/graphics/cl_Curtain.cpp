#include "graphics/cl_Curtain.h"

#include <algorithm>

cl_Curtain::cl_Curtain(ICurtainListener* listener)
{
    if (listener)
        m_listeners.push_back(listener);
}

void cl_Curtain::RemoveListener(const ICurtainListener* listener)
{
    m_listeners.erase(std::remove(m_listeners.begin(), m_listeners.end(), listener), m_listeners.end());
}

void cl_Curtain::FadeToBlack(float)
{
    m_black = true;
    Notify();
}

void cl_Curtain::FadeFromBlack(float)
{
    m_black = false;
    Notify();
}

void cl_Curtain::Update(float)
{
    m_overlayVisible = m_shown;
}

void cl_Curtain::Notify()
{
    const std::vector<ICurtainListener*> listeners = m_listeners;
    for (ICurtainListener* listener : listeners)
    {
        if (m_black)
            listener->NotifyFadedToBlack();
        else
            listener->NotifyFadedIn();
    }
}
