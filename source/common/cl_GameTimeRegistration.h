#pragma once

#include <cstdint>
#include <string>

class IGameTimeListener;
class cl_GameTime;

// Keeps a listener registered with the game time for as long as this lives. A listener holds one as a
// member, so it runs every frame from its construction to its destruction.
class cl_GameTimeRegistration
{
public:
    // A null game time registers nothing. The game time may die first (the application destroys some
    // owners of listeners after it): the registration then has nothing left to remove.
    cl_GameTimeRegistration(cl_GameTime* gameTime, IGameTimeListener* listener, const std::string& group,
                            int32_t priority);
    ~cl_GameTimeRegistration();
    cl_GameTimeRegistration(const cl_GameTimeRegistration&) = delete;
    cl_GameTimeRegistration& operator=(const cl_GameTimeRegistration&) = delete;

private:
    cl_GameTime* m_gameTime;
    IGameTimeListener* m_listener;
};
