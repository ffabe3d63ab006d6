#include "graphics/cl_TriggerManager.h"

#include "common/XmlParse.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "common/cl_CommandDistributor.h"
#include "common/cl_StaticFloat.h"
#include "graphics/cl_AnimatedPatch.h"
#include "graphics/cl_Backdrop.h"
#include "graphics/cl_Scene.h"
#include "support/BackdropWorld.h"
#include "support/FunctionReceiver.h"
#include "support/LogCapture.h"
#include "support/MakeArgument.h"

#include <gtest/gtest.h>

#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

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

// A loaded scene with the avatar at the origin, the value source "level" (0) and the patches "torch"
// (animated, 10 s, shown) and "glow"; triggers read from text whose scripts append to the Lua global "log"
// ("A" for activate scripts, "D" for deactivate scripts unless the text says otherwise).
class Triggers : public testing::Test
{
protected:
    Triggers()
    {
        m_world.AddAvatar(Ogre::Vector3::ZERO);
        m_world.valueSources.AddFloatSource("level", std::make_unique<cl_StaticFloat>(0.0f));
        m_torch.SetDuration(10.0f);
        m_torch.SetFrameLayout(20, 5);
        m_torch.SetPlaying(false);
        m_world.scene->AddPatch("torch", &m_torch);
        m_world.scene->AddPatch("glow", &m_glow);
    }
    // Loads one trigger of that type and name with the attributes and children, and the two scripts.
    void Load(const std::string& type, const std::string& attributes, const std::string& children,
              const std::string& name = "t")
    {
        Load("<triggers><trigger type=\"" + type + "\" name=\"" + name + "\" " + attributes + ">" + children +
             R"(<script event="activate">log = (log or '') .. 'A'</script>
                <script event="deactivate">log = (log or '') .. 'D'</script></trigger></triggers>)");
    }
    void Load(const std::string& xml)
    {
        m_document.Clear();
        ParseXml(m_document, xml, "triggers test");
        m_triggers.LoadFromXml(m_document.RootElement());
    }
    void Remove() { m_triggers.RemoveByXml(m_document.RootElement()); }
    // What the scripts wrote since the last call.
    std::string Log()
    {
        cl_Argument log;
        m_world.script.GetGlobal("log", log);
        m_world.script.ExecuteString("log = ''");
        return log.GetType() == cl_Argument::TYPE_STRING ? log.GetString() : std::string();
    }
    // Sends the command to the receiver "triggermanager" as Lua's sendcmd does; its answer.
    bool Send(const std::string& name, const std::vector<cl_Argument>& arguments)
    {
        cl_Command command(name);
        for (const cl_Argument& argument : arguments)
            *command.m_arguments.GetArg(-1) = argument;
        return m_triggers.ExecuteCmd(command);
    }
    cl_Trigger& Trigger(const std::string& name = "t") { return *m_triggers.GetTrigger(name); }

    BackdropWorld m_world;
    cl_Backdrop& m_backdrop = m_world.AddBackdrop("default");
    cl_AnimatedPatch m_torch{m_backdrop, 32.0f, 32.0f};
    cl_Patch m_glow{m_backdrop, 64.0f, 64.0f};
    cl_TriggerManager m_triggers{m_world.script};
    TiXmlDocument m_document;
};

TEST_F(Triggers, BadDefinitionsAreLoggedAndSkipped)
{
    const struct
    {
        const char* xml;
        std::vector<const char*> errors;
    } cases[] = {
        {"<trigger/>", {"Couldn't load triggers from xml - triggers node expected."}},
        {R"(<triggers><trigger name="a"/><trigger type="valuesrc"/></triggers>)",
         {"Incomplete trigger definition in xml."}},
        {R"(<triggers><trigger type="Proximity" name="a"/></triggers>)",
         {"Unknown trigger type 'Proximity'... creating a matching Trigger failed!",
          "Can't add a NULL ptr, stupid!"}},
        {R"(<triggers><trigger type="valuesrc" name="b"/><trigger type="proximity" name="b"/></triggers>)",
         {"Trigger with the name 'b' does allready exist!"}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.xml);
        m_world.log.Clear();
        Load(c.xml);
        for (const char* error : c.errors)
            EXPECT_TRUE(m_world.log.Contains(error, cl_Logger::LEVEL_ERROR)) << error;
        EXPECT_EQ(m_triggers.GetTrigger("a"), nullptr);
    }
    EXPECT_NE(m_triggers.GetTrigger("b"), nullptr) << "the first of the name stays";
    m_document.Clear();
    ParseXml(m_document, "<trigger/>", "remove");
    Remove();
    EXPECT_TRUE(m_world.log.Contains("Couldn't remove triggers from xml - triggers node expected.",
                                     cl_Logger::LEVEL_ERROR));
}

TEST_F(Triggers, ProximityHasHysteresisAndWaitsForACharacter)
{
    Load("proximity", "", R"(<range activate="100" deactivate="150"/><position x="0" y="0" z="0"/>)");
    const struct
    {
        float z; // the avatar's, its distance from the point
        const char* log;
    } steps[] = {{200.0f, ""}, {100.0f, "A"}, {80.0f, ""},  {120.0f, ""},
                 {149.0f, ""}, {150.0f, "D"}, {120.0f, ""}, {100.0f, "A"}};
    for (const auto& step : steps)
    {
        m_world.MoveAvatar(Ogre::Vector3(0, 0, step.z));
        m_triggers.Update(0.1f);
        EXPECT_EQ(Log(), step.log) << step.z;
    }
    m_world.hub.SetCurrentCharacter("");
    m_world.MoveAvatar(Ogre::Vector3(0, 0, 0));
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "") << "no current character, no change";
    EXPECT_TRUE(Trigger().IsTriggered());
}

TEST_F(Triggers, ProximityPointsAreTheOriginANodeOrTheLastPointOfAMissingNode)
{
    m_world.AddNode("torch_fire", Ogre::Vector3(0, 0, 300));
    Load("proximity", "", R"(<range activate="10" deactivate="20"/>)", "origin");
    Load("proximity", "",
         R"(<range activate="10" deactivate="20"/><position x="0" y="0" z="300">torch_fire</position>)",
         "node");
    Load("proximity", "",
         R"(<range activate="10" deactivate="20"/><position x="0" y="0" z="500">cellar</position>)",
         "missing");
    Load("proximity", "", R"(<range/><position x="0" y="0" z="5"/>)", "zero");
    m_triggers.Update(0.1f);
    EXPECT_TRUE(Trigger("origin").IsTriggered());
    EXPECT_FALSE(Trigger("node").IsTriggered());
    m_world.MoveAvatar(Ogre::Vector3(0, 0, 295));
    m_triggers.Update(0.1f);
    EXPECT_TRUE(Trigger("node").IsTriggered());
    m_world.MoveAvatar(Ogre::Vector3(0, 0, 500));
    m_triggers.Update(0.1f);
    EXPECT_TRUE(Trigger("missing").IsTriggered()) << "the point of the element stays";
    m_world.MoveAvatar(Ogre::Vector3(0, 0, 5));
    m_triggers.Update(0.1f);
    EXPECT_TRUE(Trigger("zero").IsTriggered()) << "both ranges 0: on the point";
    Log();
    m_triggers.Update(0.1f);
    EXPECT_FALSE(Trigger("zero").IsTriggered()) << "and off the next frame";
}

TEST_F(Triggers, ADisabledTriggerStaysTriggeredAndSilentUntilEnabledAgain)
{
    Load("proximity", "", R"(<range activate="100" deactivate="150"/>)");
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "A");
    EXPECT_FALSE(Send("SetEnabled", {MakeArgument("t"), MakeArgument(false)}));
    m_world.MoveAvatar(Ogre::Vector3(0, 0, 400));
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "");
    EXPECT_TRUE(Trigger().IsTriggered());
    ASSERT_TRUE(m_world.script.ExecuteString("sendcmd('triggermanager', 'SetEnabled', 't', true)"));
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "D");
}

TEST_F(Triggers, AValueSourceRangeHoldsItsBounds)
{
    Load("valuesrc", "", R"(<valuesrc>level</valuesrc><activerange min="1.0" max="1.0"/>)");
    Load("valuesrc", "", R"(<valuesrc>depth</valuesrc><activerange min="-1" max="1"/>)", "missing");
    auto& level = static_cast<cl_StaticFloat&>(*m_world.valueSources.GetFloatSource("level"));
    const struct
    {
        float value;
        const char* log;
    } steps[] = {{0.999f, ""}, {1.0f, "A"}, {1.0f, ""}, {1.001f, "D"}, {1.0f, "A"}};
    for (const auto& step : steps)
    {
        level.SetValue(step.value);
        m_triggers.Update(0.1f);
        EXPECT_EQ(Log(), step.log) << step.value;
    }
    EXPECT_FALSE(Trigger("missing").IsTriggered());
}

TEST_F(Triggers, APatchEventPulsesWhenThePatchPassesItsTimeEitherWay)
{
    Load("patchevent", "", R"(<patch>torch</patch><time>0.5</time><time>soon</time>)");
    Load("patchevent", "", R"(<patch>glow</patch><time>0.5</time>)", "plain");
    const struct
    {
        float time;
        float speed;
        const char* log;
    } steps[] = {
        {0.4f, 1.0f, ""}, {0.6f, 1.0f, "AD"}, {0.4f, -1.0f, "AD"}, {0.0f, -1.0f, ""}, {0.1f, 1.0f, "AD"}};
    for (const auto& step : steps)
    {
        m_torch.SetSpeed(step.speed);
        m_torch.SetTimePosition(step.time);
        m_triggers.Update(0.1f);
        EXPECT_EQ(Log(), step.log) << step.time;
    }
    m_torch.Hide();
    m_triggers.Update(0.1f);
    m_torch.Show();
    m_torch.SetTimePosition(0.7f);
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "") << "a hidden patch forgets its time";
}

TEST_F(Triggers, LoadingRunsTheActivateScriptOfATriggeredOneAndRemovingRunsNoScript)
{
    Load("valuesrc", R"(triggered="true" enabled="false")", R"(<valuesrc>level</valuesrc>)");
    EXPECT_EQ(Log(), "A");
    EXPECT_TRUE(Trigger().IsTriggered());
    EXPECT_FALSE(Trigger().IsEnabled());
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "");
    Remove();
    EXPECT_EQ(Log(), "");
    EXPECT_EQ(m_triggers.GetTrigger("t"), nullptr);
}

TEST_F(Triggers, AScriptThatRemovesTriggersLeavesTheUpdateSound)
{
    Load(R"(<triggers>
        <trigger type="valuesrc" name="a"><valuesrc>level</valuesrc><activerange min="-1" max="1"/>
            <script event="activate">log = (log or '') .. 'a'; sendcmd('probe', 'remove')</script></trigger>
        <trigger type="valuesrc" name="b"><valuesrc>level</valuesrc><activerange min="-1" max="1"/>
            <script event="activate">log = (log or '') .. 'b'</script></trigger></triggers>)");
    FunctionReceiver probe(m_world.script, "probe",
                           [this](cl_Command&)
                           {
                               Remove();
                               return false;
                           });
    m_triggers.Update(0.1f);
    EXPECT_EQ(Log(), "a") << "the second was removed before its turn";
    EXPECT_EQ(m_triggers.GetTrigger("a"), nullptr);
    m_triggers.Update(0.1f);
}

TEST_F(Triggers, TheReceiverOnlySwitchesByNameAndAnswersFalse)
{
    Load("valuesrc", "", R"(<valuesrc>level</valuesrc>)");
    const struct
    {
        const char* name;
        const char* command;
        std::vector<cl_Argument> arguments;
        bool enabled; // afterwards
        const char* warning;
    } cases[] = {
        {"off", "SetEnabled", {MakeArgument("t"), MakeArgument(false)}, false, nullptr},
        {"on", "SetEnabled", {MakeArgument("t"), MakeArgument(true)}, true, nullptr},
        {"a text is no bool", "SetEnabled", {MakeArgument("t"), MakeArgument("true")}, false, "bool"},
        {"unknown name", "SetEnabled", {MakeArgument("u"), MakeArgument(true)}, false, nullptr},
        {"one argument",
         "SetEnabled",
         {MakeArgument("t")},
         false,
         "Receiver 'triggermanager' refused the command 'SetEnabled': the argument 'bool enabled' is "
         "missing."},
        {"another command", "Enable", {MakeArgument("t"), MakeArgument(true)}, false, "Enable"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_world.log.Clear();
        EXPECT_FALSE(Send(c.command, c.arguments));
        EXPECT_EQ(Trigger().IsEnabled(), c.enabled);
        if (c.warning)
            EXPECT_TRUE(m_world.log.Contains(c.warning, cl_Logger::LEVEL_WARNING));
    }
}
} // namespace
