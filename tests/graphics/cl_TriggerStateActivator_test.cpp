#include "graphics/cl_TriggerStateActivator.h"

#include "common/cl_CommandDistributor.h"
#include "graphics/cl_TriggerManager.h"
#include "graphics/cl_VisualStateHolder.h"
#include "support/LogCapture.h"
#include "support/VisualStatesText.h"

#include <gtest/gtest.h>

namespace
{
TEST(TriggerStates, TriggersAreEnabledByNameAndAMissingOneStopsTheRest)
{
    LogCapture log;
    cl_CommandDistributor distributor;
    cl_TriggerManager triggers(distributor);
    for (const char* name : {"step", "door", "bell"})
        triggers.AddTrigger(name, std::make_unique<cl_Trigger>());
    triggers.GetTrigger("step")->SetEnabled(false);
    cl_VisualStateHolder holder;
    ReadVisualStates(holder, R"(<visualstates><visualstate name="out">
        <trigger name="step" enabled="true"/><trigger name="door" enabled="yes"/>
        <trigger name="gone"/><trigger name="bell"/>
    </visualstate></visualstates>)");
    holder.SetVisualState("out");
    EXPECT_TRUE(triggers.GetTrigger("step")->IsEnabled());
    EXPECT_FALSE(triggers.GetTrigger("door")->IsEnabled());
    EXPECT_TRUE(log.Contains("The Trigger with the id 'gone' could not be found!", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(triggers.GetTrigger("bell")->IsEnabled()) << "not reached";
}
} // namespace
