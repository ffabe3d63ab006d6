#include "common/cl_FloatSource.h"
#include "common/cl_StaticFloat.h"
#include "common/cl_ValueSourceManager.h"
#include "platform/GameRand.h"
#include "support/ManualGameTime.h"
#include "support/RecordingFloatListener.h"
#include "support/ScriptSystemFixture.h"

#include <tinyxml.h>

#include <cmath>
#include <memory>
#include <string>

namespace
{
class ValueSources : public ScriptSystemFixture
{
protected:
    // Parses the text; the document lives as long as the test.
    const TiXmlElement* Xml(const std::string& text)
    {
        m_documents.push_back(std::make_unique<TiXmlDocument>());
        m_documents.back()->Parse(text.c_str());
        EXPECT_FALSE(m_documents.back()->Error()) << text;
        return m_documents.back()->RootElement();
    }

    bool Load(const std::string& floats)
    {
        return m_manager.LoadFromXml(Xml("<valuesources>" + floats + "</valuesources>"));
    }
    void Remove(const std::string& floats)
    {
        m_manager.RemoveByXml(Xml("<valuesources>" + floats + "</valuesources>"));
    }
    bool Has(const std::string& name) const { return m_manager.GetFloatSource(name) != nullptr; }

    ManualGameTime m_time{m_system};
    cl_ValueSourceManager m_manager{m_system, m_time};
    std::vector<std::unique_ptr<TiXmlDocument>> m_documents;
};

TEST_F(ValueSources, BuildsEachKindWithItsParametersAndDefaults)
{
    struct Case
    {
        const char* name;
        const char* xml;
        float loaded;  // the value right after loading
        float updated; // after one frame of 0.5 seconds
    } cases[] = {
        {"static", R"(<float type="static" name="x"><params value="2.5"/></float>)", 2.5f, 2.5f},
        {"static without params", R"(<float type="static" name="x"/>)", 0.0f, 0.0f},
        {"static with a number followed by text",
         R"(<float type="static" name="x"><params value=" 3.5cm"/></float>)", 3.5f, 3.5f},
        {"time", R"(<float type="time" name="x"/>)", 0.0f, 0.5f},
        {"sine", R"(<float type="sine" name="x"><params freq="2" amp="3" offset="0" phase="0.25"/></float>)",
         0.0f, 3.0f * std::sin(1.5f)},
        {"sine defaults: freq 1, amp 1, offset 1, phase 0", R"(<float type="sine" name="x"/>)", 0.0f,
         std::sin(0.5f) + 1.0f},
        {"cosine defaults", R"(<float type="cosine" name="x"><params/></float>)", 0.0f,
         std::cos(0.5f) + 1.0f},
        {"noise of one value", R"(<float type="noise" name="x"><params min="4" max="4" freq="1"/></float>)",
         0.0f, 4.0f},
        {"modifier", R"(<float type="static" name="s"><params value="1"/></float>
                        <float type="modifier" name="x"><params src="s" constant="1" linear="2"/></float>)",
         0.0f, 0.0f},
        {"operator, one source", R"(<float type="static" name="s"><params value="3"/></float>
                                    <float type="operator" name="x"><params op="mul" src1="s"/></float>)",
         0.0f, 0.0f},
        {"operator, source and number", R"(<float type="static" name="s"><params value="3"/></float>
                                           <float type="operator" name="x"><params op="mul" src1="s" src2="2"/></float>)",
         6.0f, 6.0f},
        {"operator, number and source", R"(<float type="static" name="s"><params value="3"/></float>
                                           <float type="operator" name="x"><params op="sub" src1="10" src2="s"/></float>)",
         7.0f, 7.0f},
        {"operator, two sources", R"(<float type="static" name="s"><params value="3"/></float>
                                     <float type="time" name="t"/>
                                     <float type="operator" name="x"><params op="add" src1="t" src2="s"/></float>)",
         3.0f, 3.5f},
        {"operator, source and a name without source",
         R"(<float type="static" name="s"><params value="3"/></float>
                                     <float type="operator" name="x"><params op="add" src1="s" src2="nothing"/></float>)",
         3.0f, 3.0f},
        {"switched off", R"(<float type="time" name="x" active="false"/>)", 0.0f, 0.0f},
        {"a parameter that is no number keeps its default",
         R"(<float type="static" name="x"><params value="bright"/></float>)", 0.0f, 0.0f},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(Load(c.xml)) << c.name;
        EXPECT_NEAR(m_manager.GetValue("x"), c.loaded, 1e-5f) << c.name;
        m_time.Update(0.5f);
        EXPECT_NEAR(m_manager.GetValue("x"), c.updated, 1e-5f) << c.name;
        Remove(R"(<float name="x"/><float name="s"/><float name="t"/>)");
        ASSERT_FALSE(Has("x")) << c.name;
    }
    EXPECT_TRUE(
        m_capture.Contains("The parameter 'value' of the float 'x' is no number", cl_Logger::LEVEL_WARNING));
}

TEST_F(ValueSources, SkipsFloatsThatCannotBeBuilt)
{
    struct Case
    {
        const char* name;
        const char* xml;
        const char* message;
    } cases[] = {
        {"unknown type", R"(<float type="Static" name="x"/>)",
         "Unknown float type 'Static'... creating a matching ValueSource failed!"},
        {"no type", R"(<float name="x"/>)",
         "Unknown float type ''... creating a matching ValueSource failed!"},
        {"no name", R"(<float type="static"/>)", "A float of type 'static' has no name and was skipped!"},
        {"modifier without src", R"(<float type="modifier" name="x"><params linear="1"/></float>)",
         "Failed to create FloatModifier 'x'!"},
        {"modifier of a missing source", R"(<float type="modifier" name="x"><params src="later"/></float>)",
         "Failed to create FloatModifier 'x'!"},
        {"operator without src1", R"(<float type="operator" name="x"><params op="add" src2="1"/></float>)",
         "Failed to create FloatOperator 'x'!"},
        {"operator of a missing source",
         R"(<float type="operator" name="x"><params op="add" src1="later"/></float>)",
         "Failed to create FloatOperator 'x'!"},
        {"operator of two numbers",
         R"(<float type="operator" name="x"><params op="add" src1="1" src2="2"/></float>)",
         "Failed to create FloatOperator 'x'!"},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        EXPECT_TRUE(Load(std::string(c.xml) + R"(<float type="static" name="after"/>)")) << c.name;
        EXPECT_FALSE(Has("x")) << c.name;
        EXPECT_TRUE(Has("after")) << c.name << ": loading goes on";
        EXPECT_TRUE(m_capture.Contains(c.message, cl_Logger::LEVEL_ERROR)) << c.name;
    }
    EXPECT_TRUE(m_capture.Contains("<cl_ValueSourceManager::LoadFromXml>"));
}

TEST_F(ValueSources, UnstableNoiseWithoutParametersTakesZeroAndSaysSo)
{
    ASSERT_TRUE(Load(
        R"(<float type="unstablenoise" name="x"><params max="2" defaultondown="true" default="-1"/></float>)"));
    for (const char* missing : {"min", "freq", "mindowntime", "maxdowntime", "uptime"})
        EXPECT_TRUE(
            m_capture.Contains("The float 'x' has no parameter '" + std::string(missing) + "': 0 is taken.",
                               cl_Logger::LEVEL_WARNING))
            << missing;
    for (int frame = 0; frame < 10; ++frame)
    {
        m_time.Update(0.1f);
        const float value = m_manager.GetValue("x");
        EXPECT_TRUE(value == -1.0f || (value >= 0.0f && value <= 2.0f)) << value;
    }
}

TEST_F(ValueSources, RefusesOtherElements)
{
    EXPECT_FALSE(m_manager.LoadFromXml(nullptr));
    m_manager.RemoveByXml(nullptr);
    EXPECT_TRUE(m_capture.Lines().empty()) << "a scene without value sources is no mistake";
    EXPECT_FALSE(m_manager.LoadFromXml(Xml(R"(<controllers><float type="static" name="x"/></controllers>)")));
    EXPECT_FALSE(Has("x"));
    EXPECT_TRUE(m_capture.Contains("Couldn't load valuesources from xml - valuesources node expected.",
                                   cl_Logger::LEVEL_ERROR));

    ASSERT_TRUE(Load(R"(<float type="static" name="x"/>)"));
    m_manager.RemoveByXml(Xml(R"(<controllers><float name="x"/></controllers>)"));
    EXPECT_TRUE(Has("x"));
    EXPECT_TRUE(m_capture.Contains("Couldn't remove valuesources from xml - valuesources node expected.",
                                   cl_Logger::LEVEL_ERROR));
}

TEST_F(ValueSources, ReplacingASourceTellsItsListeners)
{
    ASSERT_TRUE(Load(R"(<float type="static" name="x"><params value="1"/></float>
                        <float type="modifier" name="m"><params src="x" linear="1"/></float>)"));
    RecordingFloatListener listener;
    cl_FloatSource* old = m_manager.GetFloatSource("x");
    old->AddListener(&listener);

    ASSERT_TRUE(Load(R"(<float type="static" name="x"><params value="2"/></float>)"));
    EXPECT_EQ(listener.destroyed, std::vector<cl_FloatSource*>{old});
    EXPECT_EQ(m_manager.GetValue("x"), 2.0f);
    m_time.Update(0.1f); // the modifier dropped its source

    // A float that fails still switches off what its name holds.
    ASSERT_TRUE(Load(R"(<float type="modifier" name="x" active="false"/>)"));
    EXPECT_EQ(m_manager.GetFloatSource("x")->GetActive(), 0.0f);

    m_manager.AddFloatSource("x", nullptr);
    EXPECT_TRUE(m_capture.Contains("Can't add a NULL ptr, stupid!", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(m_manager.GetValue("x"), 2.0f);
}

TEST_F(ValueSources, RemoveByXmlRemovesOnlyTheNamedFloats)
{
    ASSERT_TRUE(Load(
        R"(<float type="static" name="a"/><float type="static" name="b"/><float type="static" name="c"/>)"));
    Remove(R"(<float name="a"/><float type="static"/><other name="b"/><float name="missing"/>)");
    EXPECT_FALSE(Has("a"));
    EXPECT_TRUE(Has("b"));
    EXPECT_TRUE(Has("c"));

    m_manager.RemoveFloatSource(m_manager.GetFloatSource("c"));
    EXPECT_FALSE(Has("c"));
    cl_StaticFloat stranger(1.0f);
    m_manager.RemoveFloatSource(&stranger); // not held: nothing happens
    m_manager.RemoveFloatSource(nullptr);
    EXPECT_TRUE(Has("b"));
}

TEST_F(ValueSources, CommandsThroughLua)
{
    ASSERT_TRUE(Load(R"(<float type="static" name="level"><params value="0.25"/></float>
                        <float type="time" name="clock"/>
                        <float type="noise" name="noise"><params min="1" max="1"/></float>)"));

    EXPECT_TRUE(IsTrue(R"(sendcmd("valuemanager", "GetValue", "level") == 0.25)"));
    EXPECT_TRUE(IsTrue(R"(sendcmd("valuemanager", "GetValue", "nothing") == 0)"));

    Run(R"(sendcmd("valuemanager", "SetValue", "level", 0.75))");
    EXPECT_EQ(m_manager.GetValue("level"), 0.75f);
    Run(R"(sendcmd("valuemanager", "SetValue", "level", 2))");
    EXPECT_EQ(m_manager.GetValue("level"), 2.0f);
    Run(R"(sendcmd("valuemanager", "SetValue", "noise", 5))");
    EXPECT_EQ(m_manager.GetValue("noise"), 0.0f) << "a noise is not settable";
    Run(R"(sendcmd("valuemanager", "SetValue", "level", 1.5, "extra"))");
    EXPECT_EQ(m_manager.GetValue("level"), 1.5f) << "extra arguments are ignored";
    Run(R"(sendcmd("valuemanager", "SetValue", "level", "high"))");
    EXPECT_EQ(m_manager.GetValue("level"), 0.0f) << "no number: the getter's 0";
    EXPECT_TRUE(
        m_capture.Contains("Stored data-type is not a 'double' (nor an 'int').", cl_Logger::LEVEL_WARNING));

    // A switched-off source is updated with 0: the clock stops.
    struct Case
    {
        const char* flag;
        float counted; // by the next frame of 1 second
    } cases[] = {{"false", 0}, {"true", 1}, {"0", 0}, {"1", 1}, {"'false'", 0}, {"'true'", 1}, {"{}", 0}};
    for (const Case& c : cases)
    {
        Run(std::string(R"(sendcmd("valuemanager", "SetActive", "clock", )") + c.flag + ")");
        const float before = m_manager.GetValue("clock");
        m_time.Update(1.0f);
        EXPECT_EQ(m_manager.GetValue("clock") - before, c.counted) << c.flag;
    }

    // Too few arguments, or an unknown command: nothing, and no result.
    EXPECT_TRUE(IsTrue(R"(select("#", sendcmd("valuemanager", "GetValue")) == 0)"));
    Run(R"(sendcmd("valuemanager", "SetValue", "level"))");
    Run(R"(sendcmd("valuemanager", "SetActive", "clock"))");
    Run(R"(sendcmd("valuemanager", "getvalue", "level"))");
    EXPECT_EQ(m_manager.GetValue("level"), 0.0f);
    EXPECT_TRUE(m_capture.Contains(
        "Receiver 'valuemanager' refused the command 'SetValue': the argument 'number value' is missing."));
}

TEST_F(ValueSources, UpdatesInNameOrderAndDeletesSourcesWhileTheOthersLive)
{
    // "a" follows "b", which is updated after it: "a" sees the change within the same frame all the same.
    ASSERT_TRUE(Load(R"(<float type="time" name="b"/>
                        <float type="modifier" name="a"><params src="b" linear="2"/></float>
                        <float type="operator" name="c"><params op="add" src1="a" src2="b"/></float>)"));
    m_time.Update(1.0f);
    EXPECT_EQ(m_manager.GetValue("a"), 2.0f);
    EXPECT_EQ(m_manager.GetValue("c"), 3.0f);
    // The manager's destructor deletes them in name order; ASan checks that nobody is told after its end.
}
} // namespace
