#include "common/cl_CommandDistributor.h"
#include "common/cl_OgreGameTime.h"
#include "support/ManualGameTime.h"

#include <gtest/gtest.h>

#include <OgreLogManager.h>
#include <OgreRoot.h>
#include <OgreTimer.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <thread>

namespace
{
TEST(OgreGameTime, ElapsedTimeCountsFromTheLastUpdate)
{
    cl_CommandDistributor distributor;
    ManualGameTime time(distributor);
    const struct
    {
        const char* name;
        uint32_t atUpdate;
        uint32_t now;
        float elapsed;
    } cases[] = {
        {"one frame later", 1000u, 1016u, 16.0f},
        {"no time passed", 5000u, 5000u, 0.0f},
        {"across the clock's wrap", 0xFFFFFFF0u, 0x10u, 32.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        time.SetMilliseconds(c.atUpdate);
        time.Update(0.016f);
        time.SetMilliseconds(c.now);
        EXPECT_FLOAT_EQ(time.GetLastUpdateMilliseconds(), static_cast<float>(c.atUpdate));
        EXPECT_FLOAT_EQ(time.GetElapsedMilliseconds(), c.elapsed);
    }
}

TEST(OgreGameTime, ReadsOgreRootTimer)
{
    cl_CommandDistributor distributor;
    cl_OgreGameTime time(distributor);
    // The game time is made before OGRE starts.
    EXPECT_EQ(time.GetMilliseconds(), 0u);

    Ogre::LogManager logManager;
    logManager.createLog("test.log", true, false, true);
    {
        Ogre::Root root("", "", "");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const uint32_t before = static_cast<uint32_t>(root.getTimer()->getMilliseconds());
        const uint32_t now = time.GetMilliseconds();
        const uint32_t after = static_cast<uint32_t>(root.getTimer()->getMilliseconds());
        EXPECT_GE(before, 20u);
        EXPECT_LE(before, now);
        EXPECT_LE(now, after);

        time.Update(0.02f);
        EXPECT_GE(time.GetLastUpdateMilliseconds(), static_cast<float>(now));
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        EXPECT_GE(time.GetElapsedMilliseconds(), 5.0f);
    }
    EXPECT_EQ(time.GetMilliseconds(), 0u);
}
} // namespace
