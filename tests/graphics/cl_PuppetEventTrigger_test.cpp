#include "graphics/cl_PuppetEventTrigger.h"

#include "graphics/cl_Puppet.h"
#include "support/HeadlessOgre.h"
#include "support/ScriptSystemFixture.h"

#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// Triggers of the object "door" on a puppet; their scripts append to the Lua string "trace".
class EventTriggers : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run("trace = ''");
    }
    // A trigger on puppet (may be null) that has read the children.
    std::unique_ptr<cl_PuppetEventTrigger> Load(cl_Puppet* puppet, const std::string& children)
    {
        auto trigger = std::make_unique<cl_PuppetEventTrigger>(puppet, "door");
        TiXmlDocument document;
        document.Parse(("<trigger>" + children + "</trigger>").c_str());
        EXPECT_FALSE(document.Error()) << children;
        trigger->LoadFromXml(document.RootElement());
        return trigger;
    }

    HeadlessOgre m_ogre;
    cl_Puppet m_puppet{m_ogre.SceneManager()};
};

TEST_F(EventTriggers, AnEventTheTriggerListensToRunsItsScript)
{
    const struct
    {
        const char* name;
        const char* children;
        std::vector<std::string> fired;
        const char* trace;
        std::vector<std::string> warnings;
    } cases[] = {
        {"the script of the event runs",
         R"(<puppetevent>step</puppetevent><script event="step">trace = trace .. 's'</script>)",
         {"step", "step"},
         "ss",
         {}},
        {"a later script of one event replaces the earlier",
         R"(<script event="step">trace = trace .. 'a'</script><puppetevent>step</puppetevent>
            <script event="step">trace = trace .. 'b'</script>)",
         {"step"},
         "b",
         {}},
        {"an event without script runs nothing",
         R"(<puppetevent>hit</puppetevent><script event="step">trace = trace .. 's'</script>)",
         {"hit"},
         "",
         {}},
        {"only events listened to arrive",
         R"(<puppetevent>step</puppetevent><script event="step">trace = trace .. 's'</script>
            <script event="hit">trace = trace .. 'h'</script>)",
         {"hit", "step"},
         "s",
         {}},
        {"a script without event or text is skipped",
         R"(<puppetevent>step</puppetevent><script>trace = trace .. 'x'</script><script event="step"/>
            <script event="step"><b/></script>)",
         {"step"},
         "",
         {"A script of 'door' without event or text was skipped.",
          "A script of 'door' without event or text was skipped.",
          "A script of 'door' without event or text was skipped."}},
        {"a puppetevent without text is skipped",
         R"(<puppetevent/><puppetevent>step</puppetevent><script event="step">trace = trace .. 's'</script>)",
         {"step"},
         "s",
         {"A puppetevent of 'door' without text was skipped."}},
        {"a failing script is the script system's to report",
         R"(<puppetevent>step</puppetevent><script event="step">error('creak')</script>)",
         {"step"},
         "",
         {}},
    };
    for (const auto& c : cases)
    {
        Run("trace = ''");
        m_capture.Clear();
        const std::unique_ptr<cl_PuppetEventTrigger> trigger = Load(&m_puppet, c.children);
        for (const std::string& event : c.fired)
            m_puppet.DispatchAnimationEvent(event);
        EXPECT_EQ(Value("trace"), c.trace) << c.name;
        std::vector<std::string> warnings;
        for (const LogCapture::Line& line : m_capture.Lines())
        {
            if (line.level == cl_Logger::LEVEL_WARNING)
                warnings.push_back(line.text.substr(0, line.text.find(" -> ")));
        }
        EXPECT_EQ(warnings, c.warnings) << c.name;
    }
}

TEST_F(EventTriggers, WithoutAPuppetNothingIsListenedToButTheScriptsAreKept)
{
    const std::unique_ptr<cl_PuppetEventTrigger> trigger =
        Load(nullptr, R"(<puppetevent>step</puppetevent><script event="step">trace = trace .. 's'</script>)");
    trigger->OnAnimationEvent("step");
    EXPECT_EQ(Value("trace"), "s");
    trigger->LoadFromXml(nullptr);
    trigger->OnAnimationEvent("step");
    EXPECT_EQ(Value("trace"), "ss") << "a null element reads nothing";
}

TEST_F(EventTriggers, ADestroyedTriggerNoLongerListens)
{
    std::unique_ptr<cl_PuppetEventTrigger> trigger =
        Load(&m_puppet, R"(<puppetevent>step</puppetevent><puppetevent>step</puppetevent>
                      <puppetevent>hit</puppetevent><script event="step">trace = trace .. 's'</script>)");
    const std::unique_ptr<cl_PuppetEventTrigger> other = Load(
        &m_puppet, R"(<puppetevent>step</puppetevent><script event="step">trace = trace .. 'o'</script>)");
    trigger.reset();
    m_puppet.DispatchAnimationEvent("step");
    m_puppet.DispatchAnimationEvent("hit");
    EXPECT_EQ(Value("trace"), "o") << "the other trigger still listens";
}
} // namespace
