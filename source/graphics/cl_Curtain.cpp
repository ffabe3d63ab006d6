#include "graphics/cl_Curtain.h"

void cl_Curtain::FadeToBlack(float)
{
    m_black = true;
    if (m_listener)
        m_listener->NotifyFadedToBlack();
}

void cl_Curtain::FadeFromBlack(float)
{
    m_black = false;
    if (m_listener)
        m_listener->NotifyFadedIn();
}

void cl_Curtain::Update(float)
{
    m_overlayVisible = m_shown;
}
