#pragma once

#include "common/cl_OgreGameTime.h"

// The game time with a millisecond clock the test sets, so no OGRE root is needed.
class ManualGameTime : public cl_OgreGameTime
{
public:
    explicit ManualGameTime(cl_CommandDistributor& distributor) : cl_OgreGameTime(distributor) {}

    uint32_t GetMilliseconds() const override { return m_milliseconds; }
    void SetMilliseconds(uint32_t milliseconds) { m_milliseconds = milliseconds; }

private:
    uint32_t m_milliseconds = 0;
};
