#include "graphics/cl_TriggerStateActivator.h"

#include "common/cl_CommandDistributor.h"
#include "graphics/cl_TriggerManager.h"
#include "graphics/cl_VisualStateHolder.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

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
    TiXmlDocument document;
    document.Parse(R"(<visualstates><visualstate name="out">
        <trigger name="step" enabled="true"/><trigger name="door" enabled="yes"/>
        <trigger name="gone"/><trigger name="bell"/>
    </visualstate></visualstates>)");
    cl_VisualStateHolder holder;
    cl_VisualStateHolder::LoadVisualStatesFromXml(document.RootElement(), holder);
    holder.SetVisualState("out");
    EXPECT_TRUE(triggers.GetTrigger("step")->IsEnabled());
    EXPECT_FALSE(triggers.GetTrigger("door")->IsEnabled());
    EXPECT_TRUE(log.Contains("The Trigger with the id 'gone' could not be found!", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(triggers.GetTrigger("bell")->IsEnabled()) << "not reached";
}
} // namespace
