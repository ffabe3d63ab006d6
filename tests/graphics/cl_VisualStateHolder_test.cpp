#include "graphics/cl_VisualStateHolder.h"

#include "graphics/cl_Character.h"
#include "graphics/cl_ControlledPuppet.h"
#include "graphics/cl_PuppetControl.h"
#include "support/HeadlessOgre.h"
#include "support/LogLine.h"
#include "support/PrintedXml.h"
#include "support/ScriptSystemFixture.h"
#include "support/TestBody.h"

#include <OgreEntity.h>
#include <OgreSceneNode.h>
#include <tinyxml.h>

#include <memory>
#include <string>
#include <vector>

namespace
{
// A door's body with visual states read from XML; the states' scripts append to the Lua string "trace".
class VisualStates : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run("trace = ''");
        m_capture.Clear(); // the door's loading progress
    }

    void Load(const std::string& states)
    {
        TiXmlDocument document;
        document.Parse(states.c_str());
        ASSERT_FALSE(document.Error()) << states;
        cl_VisualStateHolder::LoadVisualStatesFromXml(document.RootElement(), *m_door);
    }
    // Which parts show, as "frame leaf lamp key" with a '-' before each hidden one; then the idle control.
    std::string Looks() const
    {
        const cl_ControlledPuppet& puppet = *m_door->GetPuppet();
        const auto look = [](const std::string& name, const Ogre::Entity* entity)
        { return (entity->getVisible() ? "" : "-") + name; };
        return look("frame", puppet.GetSubMesh("frame").entity) + " " +
               look("leaf", puppet.GetSubMesh("leaf").entity) + " " +
               look("lamp", puppet.GetSlave("lamp").entity) + " " +
               look("key", puppet.GetSlave("key").entity) +
               (puppet.GetControl("idle")->IsEnabled() ? " idle" : " -idle");
    }
    // The error lines logged, each without its source line and operation.
    std::vector<std::string> Errors() const
    {
        std::vector<std::string> errors;
        for (const LogCapture::Line& line : m_capture.Lines())
        {
            if (line.level == cl_Logger::LEVEL_ERROR)
                errors.push_back(line.text.substr(0, line.text.find(" -> ")));
        }
        return errors;
    }

    HeadlessOgre m_ogre;
    std::unique_ptr<cl_Character> m_door = MakeTestBody(m_ogre.SceneManager(), "door");
};

TEST_F(VisualStates, EnteringAStateRunsItsElementsByKindAndStopsAnElementAtItsFirstMissingPart)
{
    const struct
    {
        const char* name;
        const char* states; // the `visualstate` children
        std::vector<std::string> switches;
        const char* trace;
        const char* looks;
        std::vector<std::string> errors;
    } cases[] = {
        {"the empty name enters \"default\"",
         R"(<visualstate name="default"><script>trace = trace .. 'd'</script></visualstate>)",
         {""},
         "d",
         "frame leaf lamp key idle",
         {}},
        {"a state without elements becomes current and runs nothing",
         R"(<visualstate name="open"><mesh name="leaf"/></visualstate>)",
         {"shut"},
         "",
         "frame leaf lamp key idle",
         {}},
        {"entering the current state again re-applies it",
         R"(<visualstate name="open"><script>trace = trace .. 'o'</script></visualstate>)",
         {"open", "open"},
         "oo",
         "frame leaf lamp key idle",
         {}},
        {"slaves and meshes shown and hidden, a control disabled",
         R"(<visualstate name="open">
              <slave name="key" visible="false"/><slave name="lamp" visible="true"/>
              <mesh name="leaf" visible="false"/><ctrl name="idle" enabled="false"/>
            </visualstate>)",
         {"open"},
         "",
         "frame -leaf lamp -key -idle",
         {}},
        {"a slave without visible is hidden; only \"true\" shows or enables",
         R"(<visualstate name="open"><slave name="key"/><slave name="lamp" visible="TRUE"/>
              <ctrl name="idle" enabled="yes"/></visualstate>)",
         {"open"},
         "",
         "frame leaf -lamp -key -idle",
         {}},
        {"a missing slave ends its element only",
         R"(<visualstate name="open"><slave name="chain" visible="false"/><slave name="key" visible="false"/>
              <mesh name="leaf" visible="false"/></visualstate>)",
         {"open"},
         "",
         "frame -leaf lamp key idle",
         {"The SlaveObject with the id 'chain' could not be found!"}},
        {"kinds run in their fixed order whatever the file's order",
         R"(<visualstate name="open">
              <emo name="smile"/><script>trace = trace .. 's'</script><ctrl name="walk"/>
              <mesh name="handle"/><mesh name="frame" visible="false"/><slave name="chain"/>
            </visualstate>)",
         {"open"},
         "s",
         "frame leaf lamp key idle",
         {"The SlaveObject with the id 'chain' could not be found!",
          "The SubMesh with the id 'handle' could not be found!",
          "The Ctrl with the id 'walk' could not be found in 'door'!",
          "The Emotion 'smile' could not be set because no FaceCtrl was found!"}},
        {"two states of one name run both, the first one's first",
         R"(<visualstate name="open"><script>trace = trace .. '1'</script><mesh name="leaf"/></visualstate>
            <visualstate name="shut"><script>trace = trace .. 'x'</script></visualstate>
            <visualstate name="open"><script>trace = trace .. '2'</script><mesh name="leaf" visible="true"/>
            </visualstate>)",
         {"open"},
         "12",
         "frame leaf lamp key idle",
         {}},
        {"a visualstate without name is skipped",
         R"(<visualstate><script>trace = trace .. 'n'</script></visualstate>
            <visualstate name=""><script>trace = trace .. 'e'</script></visualstate>)",
         {"", ""},
         "",
         "frame leaf lamp key idle",
         {}},
        {"submeshes are also found by their entity's name",
         R"(<visualstate name="open"><mesh name="puppet#_entity1"/></visualstate>)",
         {"open"},
         "",
         "frame -leaf lamp key idle",
         {}},
    };
    for (const auto& c : cases)
    {
        m_door = MakeTestBody(m_ogre.SceneManager(), "door");
        std::string states = c.states;
        const std::string node = m_door->GetSceneNode()->getName();
        const size_t mark = states.find("puppet#");
        if (mark != std::string::npos)
            states.replace(mark, 7, node);
        Run("trace = ''");
        Load("<visualstates>" + states + "</visualstates>");
        m_capture.Clear();
        for (const std::string& state : c.switches)
            m_door->SetVisualState(state);
        EXPECT_EQ(Value("trace"), c.trace) << c.name;
        EXPECT_EQ(Looks(), c.looks) << c.name;
        EXPECT_EQ(Errors(), c.errors) << c.name;
        EXPECT_EQ(m_door->GetCurrentVisualState(), c.switches.back().empty() ? "default" : c.switches.back())
            << c.name;
    }
}

// Notes its calls as "<name>+" (Activate) and "<name>-" (Deactivate).
class RecordingElement final : public IVisualStateElement
{
public:
    RecordingElement(const std::string& name, std::string& calls) : m_name(name), m_calls(calls) {}
    void Activate(cl_VisualStateHolder&) override { m_calls += m_name + "+ "; }
    void Deactivate(cl_VisualStateHolder&) override { m_calls += m_name + "- "; }

private:
    std::string m_name;
    std::string& m_calls;
};

TEST_F(VisualStates, LeavingRunsTheOldStatesElementsBeforeTheNameChanges)
{
    std::string calls;
    m_door->AddVisualStateElement("open", std::make_unique<RecordingElement>("a", calls));
    m_door->AddVisualStateElement("shut", std::make_unique<RecordingElement>("s", calls));
    m_door->AddVisualStateElement("open", std::make_unique<RecordingElement>("b", calls));

    for (const char* state : {"open", "ajar", "shut", "open"})
        m_door->SetVisualState(state);
    EXPECT_EQ(calls, "a+ b+ a- b- s+ s- a+ b+ ") << "leaving a state no element defines runs nothing";

    calls.clear();
    m_door->ClearVisualStates();
    m_door->SetVisualState("shut");
    EXPECT_EQ(calls, "");
    EXPECT_EQ(m_door->GetCurrentVisualState(), "shut");
}

TEST_F(VisualStates, SavedAreTheDistinctDefinedNamesInByteOrder)
{
    Load(R"(<visualstates><visualstate name="open"><script/></visualstate>
            <visualstate name="closed"><script/></visualstate><visualstate name="default"><script/></visualstate>
            <visualstate name="open"><script/></visualstate><visualstate name="Zed"><script/></visualstate>
            <visualstate name="empty"/></visualstates>)");
    m_door->SetVisualState("open");
    TiXmlElement saved("state");
    m_door->SaveVisualState(saved);
    EXPECT_EQ(PrintedXml(&saved), R"(<state><vs name="Zed" /><vs name="closed" /><vs name="default" />)"
                                  R"(<vs name="open" /></state>)")
        << "a state without elements defines nothing";
}

TEST_F(VisualStates, EntriesThatCannotBeReadAreLoggedWithTheirStateAndLeftOut)
{
    Load(R"(<visualstates><visualstate name="open">
              <slave visible="true"/><mesh/><ctrl enabled="true"/><emo strength="1"/><emo name=""/>
              <effect name=""/><trigger/><light name=""/>
              <slave name="key" visible="false"/><script/>
            </visualstate></visualstates>)");
    std::vector<std::string> lines;
    for (const LogCapture::Line& line : m_capture.Lines())
        lines.push_back(WithoutLineNumber(line.text));
    const std::string where = " -> source\\graphics\\cl_VisualStateHolder(#) "
                              "<cl_VisualStateHolder::LoadVisualStatesFromXml>";
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "Could not load a slavestate in vs 'open'." + where,
                         "Could not load a meshstate in vs 'open'." + where,
                         "Could not load an effectstate in vs 'open'." + where,
                         "Could not load an triggerstate in vs 'open'." + where,
                         "Could not load an lightstate in vs 'open'," + where,
                         "Could not load a controlerstate in vs 'open'." + where,
                         "Could not load a emotion in vs 'open'." + where,
                         "Could not load a emotion in vs 'open'." + where,
                     }));
    EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), 8u);

    m_capture.Clear();
    m_door->SetVisualState("open");
    EXPECT_EQ(Looks(), "frame leaf lamp -key idle") << "the readable entries still run";
    EXPECT_TRUE(m_capture.Lines().empty()) << "elements left empty run nothing";
}

TEST_F(VisualStates, OnlyAVisualstatesElementIsRead)
{
    const char* const expected = "Couldn't load visualstates from xml - visualstates node expected.";
    Load(R"(<visualstate name="open"><mesh name="leaf"/></visualstate>)");
    EXPECT_TRUE(m_capture.Contains(expected, cl_Logger::LEVEL_ERROR));
    m_capture.Clear();
    cl_VisualStateHolder::LoadVisualStatesFromXml(nullptr, *m_door);
    EXPECT_TRUE(m_capture.Contains(expected, cl_Logger::LEVEL_ERROR));
    m_door->SetVisualState("open");
    EXPECT_EQ(Looks(), "frame leaf lamp key idle");
}

TEST_F(VisualStates, ThePatchEffectTriggerAndLightKindsRunInTheirPlaceWithoutStoppingTheOthers)
{
    Load(R"(<visualstates><visualstate name="open">
              <script>trace = trace .. 's'</script>
              <light name="sun"/><trigger name="step"/><effect name="smoke"/><patch name="glow"/>
            </visualstate></visualstates>)");
    m_door->SetVisualState("open");
    EXPECT_EQ(Value("trace"), "s");
    // Nothing of the scene exists here: each names what it misses, in kind order.
    const std::vector<std::string> expected = {
        "Patch with the id 'glow' could not be found!",
        "The Effect with the id 'smoke' could not be found!",
        "The Trigger with the id 'step' could not be found!",
        "Light 'sun' could not be found.",
    };
    std::vector<std::string> errors;
    for (const LogCapture::Line& line : m_capture.Lines())
    {
        if (line.level == cl_Logger::LEVEL_ERROR)
            errors.push_back(line.text);
    }
    ASSERT_EQ(errors.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_NE(errors[i].find(expected[i]), std::string::npos) << errors[i];
}
} // namespace
