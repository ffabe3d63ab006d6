#include "common/cl_GameTimeRegistration.h"

#include "common/cl_GameTime.h"

cl_GameTimeRegistration::cl_GameTimeRegistration(cl_GameTime* gameTime, IGameTimeListener* listener,
                                                 const std::string& group, int32_t priority)
    : m_gameTime(gameTime), m_listener(listener)
{
    if (m_gameTime)
        m_gameTime->AddListener(m_listener, group, priority);
}

cl_GameTimeRegistration::~cl_GameTimeRegistration()
{
    if (m_gameTime && m_gameTime == cl_GameTime::GetInstance())
        m_gameTime->RemoveListener(m_listener);
}
