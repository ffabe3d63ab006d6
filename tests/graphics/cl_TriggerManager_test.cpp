#include "graphics/cl_TriggerManager.h"

#include "common/cl_CommandDistributor.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
TEST(TriggerManager, RefusesANullTriggerAndANameInUse)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    cl_TriggerManager triggers(distributor);
    triggers.AddTrigger("step", nullptr);
    EXPECT_TRUE(log.Contains("Can't add a NULL ptr, stupid!", cl_Logger::LEVEL_ERROR));
    triggers.AddTrigger("step", std::make_unique<cl_Trigger>());
    triggers.GetTrigger("step")->SetEnabled(false);
    triggers.AddTrigger("step", std::make_unique<cl_Trigger>());
    EXPECT_TRUE(log.Contains("Trigger with the name 'step' does allready exist!", cl_Logger::LEVEL_ERROR));
    EXPECT_FALSE(triggers.GetTrigger("step")->IsEnabled()) << "the first stays";
    EXPECT_EQ(triggers.GetTrigger("step")->GetName(), "step");
    EXPECT_EQ(triggers.GetTrigger("bell"), nullptr);
}
} // namespace
