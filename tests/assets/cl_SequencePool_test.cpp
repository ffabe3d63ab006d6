#include "assets/cl_SequencePool.h"

#include "assets/cl_BaseActionTrigger.h"
#include "assets/cl_SeqAction.h"
#include "assets/cl_SequenceAsset.h"
#include "common/XmlParse.h"
#include "common/cl_Logger.h"
#include "support/PrintedXml.h"
#include "support/ScriptSystemFixture.h"
#include "support/SequenceStandIns.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <sstream>
#include <string>

namespace
{
class SequencePoolTest : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run("order = ''");
    }

    // The action elements of the words: a name is a script that appends it to the Lua string "order";
    // "?true" and "?false" are conditions with that answer; "?" an action of an unknown type and "_" one
    // without type.
    static std::string Actions(const std::string& words)
    {
        std::istringstream stream(words);
        std::string xml;
        for (std::string word; stream >> word;)
        {
            if (word == "?")
                xml += "<action id='teleport' type='TeleportAction'/>";
            else if (word == "_")
                xml += "<action id='typeless'/>";
            else if (word[0] == '?')
                xml += "<action id='if' type='TarqConditionAction' condition='" + word.substr(1) + "'/>";
            else
                xml += "<action id='" + word + "' type='TarqScriptAction'>order = order .. '" + word +
                       " '</action>";
        }
        return xml;
    }
    // Runs the sequence to its end (a few frames at most) and gives the Lua string "order".
    std::string RunToEnd(cl_SequenceAsset& sequence)
    {
        sequence.Start();
        for (int frame = 0; frame < 3 && !sequence.IsStopped(); ++frame)
            sequence.Update(0.1f);
        EXPECT_TRUE(sequence.IsStopped());
        return Value("order");
    }
    std::string Written(const cl_SequenceAsset& sequence) const
    {
        TiXmlElement element("asset");
        m_pool.WriteAsset(element, &sequence);
        return PrintedXml(&element);
    }

    cl_SequencePool m_pool;
};
} // namespace

TEST_F(SequencePoolTest, WithoutStructureActionsFollowEachOtherAndAConditionGuardsTheNextOne)
{
    const struct
    {
        const char* name;
        const char* actions;
        const char* order;
        const char* error;
    } cases[] = {
        {"a chain", "A B C", "A B C ", ""},
        {"a condition that holds runs what it guards and goes on", "?true A B C", "A B C ", ""},
        {"a condition that fails passes over what it guards", "?false A B C", "B C ", ""},
        {"a condition guarding the last action that fails: the end", "A ?false B", "A ", ""},
        {"a condition guarding the last action that holds", "A ?true B", "A B ", ""},
        {"a condition as the last action", "A B ?true", "A B ", ""},
        {"an unknown action is passed over", "A ? C", "A C ",
         "Failed to create SequenceAction. Requested type 'TeleportAction' is unknown!"},
        {"so is an action without type", "A _ C", "A C ", "Requested type '' is unknown!"},
        {"an unknown action after a condition leaves nothing to go on with", "?false A ? B", "",
         "Requested type 'TeleportAction' is unknown!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_capture.Clear();
        Run("order = ''");
        std::unique_ptr<cl_SequenceAsset> sequence =
            ReadSequence(m_pool, "<asset id='chain'>" + Actions(c.actions) + "</asset>");
        EXPECT_EQ(RunToEnd(*sequence), c.order);
        EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), *c.error ? 1u : 0u);
        if (*c.error)
            EXPECT_TRUE(m_capture.Contains(c.error, cl_Logger::LEVEL_ERROR));
        EXPECT_EQ(
            m_capture.Contains("Sequence 'chain' might not run properly because it's containing one ore more "
                               "unknown actions.",
                               cl_Logger::LEVEL_WARNING),
            *c.error != '\0');
    }
}

TEST_F(SequencePoolTest, AStructureNamesTheStartAndTheTriggersAlone)
{
    const struct
    {
        const char* name;
        const char* structure;
        const char* order;
        size_t triggers;
        const char* error;
    } cases[] = {
        {"no triggers: only the start runs", "<tarqstructure start='B'/>", "B ", 0, ""},
        {"no start: the first action", "<tarqstructure/>", "A ", 0, ""},
        {"a start no action has: the first action", "<tarqstructure start='Z'/>", "A ", 0, ""},
        {"triggers in document order",
         "<tarqstructure start='B'><trigger type='OnDone'><input actionid='B'/><output listenerid='C'/>"
         "<output listenerid='A'/></trigger></tarqstructure>",
         "B C A ", 1, ""},
        {"an input no action has",
         "<tarqstructure><trigger id='t'><input actionid='nope'/><output listenerid='B'/>"
         "</trigger><trigger type='OnStart'><input actionid='nope'/><output "
         "listenerid='B'/></trigger></tarqstructure>",
         "A ", 1, "Action with id 'nope' not found in sequence 'structured'"},
        {"an output no action has",
         "<tarqstructure><trigger type='OnStart'><input actionid='A'/>"
         "<output listenerid='gone'/><output listenerid='C'/></trigger></tarqstructure>",
         "A C ", 1, "Action with id 'gone' not found in sequence 'structured'"},
        {"a trigger of an unknown type is left out silently",
         "<tarqstructure><trigger type='ondone'>"
         "<input actionid='A'/><output listenerid='B'/></trigger></tarqstructure>",
         "A ", 0, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        m_capture.Clear();
        Run("order = ''");
        std::unique_ptr<cl_SequenceAsset> sequence =
            ReadSequence(m_pool, "<asset id='structured'>" + Actions("A B C") + c.structure + "</asset>");
        EXPECT_EQ(RunToEnd(*sequence), c.order);
        EXPECT_EQ(sequence->GetTriggers().size(), c.triggers);
        if (*c.error)
            EXPECT_TRUE(m_capture.Contains(c.error, cl_Logger::LEVEL_ERROR));
        else
            EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), 0u);
    }
}

TEST_F(SequencePoolTest, ActionsSharingAnIdAreFoundByTheFirstAndAllWrittenBack)
{
    std::unique_ptr<cl_SequenceAsset> sequence = ReadSequence(
        m_pool,
        "<asset id='twins'><action id='A' type='TarqScriptAction'>order = order .. 'first '</action>"
        "<action id='A' type='TarqScriptAction'>order = order .. 'second '</action>" +
            Actions("B") +
            "<tarqstructure start='A'><trigger type='OnDone'><input actionid='A'/><output listenerid='B'/>"
            "</trigger></tarqstructure></asset>");
    EXPECT_EQ(RunToEnd(*sequence), "first B ");
    const std::string written = Written(*sequence);
    EXPECT_NE(written.find("&apos;first &apos;"), std::string::npos) << written;
    EXPECT_NE(written.find("&apos;second &apos;"), std::string::npos) << written;
}

TEST_F(SequencePoolTest, AWrittenSequenceReadsBackToTheSameActionsAndTriggers)
{
    const std::string original =
        "<asset id='all' hash='12'>"
        "<action id='walk' type='MoveToInteractionTargetAction' syncgroup='go'><condition>ready</condition>"
        "</action><action id='auto' type='AutoInteractionAction'/>"
        "<action id='use' type='InteractAction' itemref='items_door' handitemref='items_key' "
        "interactionmode='character.Use'/>"
        "<action id='lua' type='TarqScriptAction'>x = 1\n-- a comment\ny = 2</action>"
        "<action id='chart' type='ScriptAction'>z = 3</action>"
        "<action id='stub' type='StubAction' stubtype='camera'>a camera move</action>"
        "<action id='mark' type='MarkerAction' marker='m'/><action id='go' type='GoToAction' "
        "targetmarker='random_2'/>"
        "<action id='wait' type='WaitAction' duration='1.5'>ready == true</action>"
        "<action id='join' type='LogicalAndAction'/><action id='if' type='ConditionAction' condition='a &lt; "
        "b'/>"
        "<action id='iflua' type='TarqConditionAction' condition='a'/>"
        "<tarqstructure start='auto'>"
        "<trigger id='t1' type='OnStart'><input actionid='walk'/><output listenerid='auto'/></trigger>"
        "<trigger id='t2' type='OnDone'><input actionid='auto'/><input actionid='walk'/>"
        "<output listenerid='use'/></trigger>"
        "<trigger id='t3' type='Delayed' delay='0.25'><input actionid='use'/><output "
        "listenerid='lua'/></trigger>"
        "<trigger id='t4' type='OnSuccess'><input actionid='if'/><output listenerid='chart'/></trigger>"
        "<trigger id='t5' type='OnFailed'><input actionid='if'/><output listenerid='join'/></trigger>"
        "</tarqstructure></asset>";
    const std::string implicit = "<asset id='implicit'>" + Actions("A ?true B C") + "</asset>";
    for (const std::string& xml : {original, implicit})
    {
        std::unique_ptr<cl_SequenceAsset> read = ReadSequence(m_pool, xml);
        const std::string written = Written(*read);
        std::unique_ptr<cl_SequenceAsset> reread = ReadSequence(m_pool, written);
        EXPECT_EQ(Written(*reread), written);
        ASSERT_EQ(reread->GetActions().size(), read->GetActions().size());
        for (size_t index = 0; index < read->GetActions().size(); ++index)
        {
            EXPECT_EQ(reread->GetActions()[index]->GetTypeName(), read->GetActions()[index]->GetTypeName());
            EXPECT_EQ(reread->GetActions()[index]->GetId(), read->GetActions()[index]->GetId());
        }
        EXPECT_EQ(reread->GetTriggers().size(), read->GetTriggers().size());
        EXPECT_EQ(reread->GetStartId(), read->GetStartId());
    }
    EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), 0u);

    // What one action type of each kind writes.
    const std::string written = Written(*ReadSequence(m_pool, original));
    for (const char* part :
         {"<asset id=\"all\" hash=\"\">",
          "<action id=\"walk\" type=\"MoveToInteractionTargetAction\" "
          "syncgroup=\"go\"><condition>ready</condition>",
          "<action id=\"use\" type=\"InteractAction\" itemref=\"items_door\" handitemref=\"items_key\" "
          "interactionmode=\"character.Use\" />",
          "<action id=\"lua\" type=\"TarqScriptAction\">x = 1&#x0A;-- a comment&#x0A;y = 2</action>",
          "<action id=\"chart\" type=\"ScriptAction\">z = 3</action>",
          "<action id=\"stub\" type=\"StubAction\" stubtype=\"camera\">a camera move</action>",
          "<action id=\"wait\" type=\"WaitAction\" duration=\"1.500000\">ready == true</action>",
          "<action id=\"if\" type=\"ConditionAction\" condition=\"a &lt; b\" />",
          "<action id=\"iflua\" type=\"TarqConditionAction\" condition=\"a\" />",
          "<tarqstructure start=\"auto\">",
          "<trigger id=\"t1\" type=\"OnStart\"><input actionid=\"walk\" /><output listenerid=\"auto\" "
          "/></trigger>",
          "<trigger id=\"t2\" type=\"OnDone\"><input actionid=\"auto\" /><input actionid=\"walk\" />",
          "<trigger id=\"t3\" type=\"Delayed\" delay=\"0.250000\">", "<trigger id=\"t5\" type=\"OnFailed\">"})
        EXPECT_NE(written.find(part), std::string::npos) << part << "\nin\n" << written;
}

TEST_F(SequencePoolTest, WritingIntoItsOwnElementReplacesTheActionsAndTheStructuresContent)
{
    TiXmlDocument document;
    ParseXml(document,
             "<asset id='s' hash='5'><logic/><action id='A' type='StubAction'/><!-- note -->"
             "<action id='lost' type='Unknown'/><action id='B' type='StubAction'/>"
             "<tarqstructure start='B'><trigger type='OnStart'><input actionid='B'/>"
             "<output listenerid='A'/></trigger></tarqstructure></asset>",
             "sequence fixture");
    TiXmlElement& element = *document.RootElement();
    std::unique_ptr<cl_Asset> sequence = m_pool.CreateAsset(&element);
    m_pool.UpdateElement(element, *sequence);
    EXPECT_EQ(PrintedXml(&element),
              "<asset id=\"s\" hash=\"\"><logic /><!-- note --><action id=\"lost\" type=\"Unknown\" />"
              "<tarqstructure start=\"B\"><trigger type=\"OnStart\"><input actionid=\"B\" />"
              "<output listenerid=\"A\" /></trigger></tarqstructure><action id=\"A\" type=\"StubAction\" "
              "stubtype=\"\" /><action id=\"B\" type=\"StubAction\" stubtype=\"\" /></asset>");
}

TEST_F(SequencePoolTest, InteractionsWithoutSequenceGetOneOfTheirOwn)
{
    const struct
    {
        bool walkFirst;
        const char* types;
        size_t triggers;
    } cases[] = {
        {true, "MoveToInteractionTargetAction AutoInteractionAction ", 1},
        {false, "AutoInteractionAction ", 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.types);
        cl_SequenceAsset* sequence = m_pool.CreateInteractionSequence(c.walkFirst);
        std::string types;
        for (const auto& action : sequence->GetActions())
            types += action->GetTypeName() + " ";
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(sequence->GetTriggers().size(), c.triggers);
        EXPECT_EQ(m_pool.FindAsset(""), nullptr) << "outside the pool's index";
        EXPECT_EQ(sequence->GetActions().front()->KeepsInterruptible(), c.walkFirst);

        sequence->Start();
        sequence->Update(0.0f);
        EXPECT_TRUE(sequence->IsStopped()) << "without target the interaction only starts and finishes";
    }
}

TEST_F(SequencePoolTest, ABrokenFileIsLeftOutAndTheOtherSequencesLoad)
{
    TemporaryFolder folder;
    folder.WriteFile("sequences/a.xml", "<asset id='sequences_broken'><action type='StubAction'>");
    folder.WriteFile("sequences/b.xml", "<asset id='sequences_fine'>" + Actions("A") + "</asset>");
    m_pool.LoadAssets(folder.PathOf("") + "/");
    EXPECT_EQ(m_pool.FindAsset("sequences_broken"), nullptr);
    ASSERT_NE(m_pool.FindAsset("sequences_fine"), nullptr);
    EXPECT_TRUE(m_capture.Contains("a.xml is no well-formed XML", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(RunToEnd(dynamic_cast<cl_SequenceAsset&>(*m_pool.FindAsset("sequences_fine"))), "A ");
}
