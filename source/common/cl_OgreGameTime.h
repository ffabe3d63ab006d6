#pragma once

#include "common/cl_GameTime.h"

// The game time on OGRE's root timer. Before OGRE's root exists (the game time is made first) and after
// it is gone the clock reads 0.
class cl_OgreGameTime : public cl_GameTime
{
public:
    explicit cl_OgreGameTime(cl_CommandDistributor& distributor);

    // The base update, then the clock is kept as the time of the last update.
    void Update(float dt) override;
    // Counted modulo 2^32 like the clock itself, so a wrap of the clock gives the true small difference.
    float GetElapsedMilliseconds() const override;
    float GetLastUpdateMilliseconds() const override;
    // OGRE's root timer in milliseconds, cut to 32 bits; 0 without a root.
    uint32_t GetMilliseconds() const override;

private:
    double m_lastUpdate = 0.0;
};
