#include "statechart/StateChartTemplate.h"

#include "common/XmlParse.h"
#include "statechart/cl_ScriptAction.h"
#include "support/LogCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace
{
const std::string CHARTS = QUILLMERE_TEST_DATA "statechart/charts/";

std::string ScriptOf(const IAction* action)
{
    const auto* script = dynamic_cast<const cl_ScriptAction*>(action);
    return script ? script->GetScript() : "<not a script>";
}

// A compact picture of a state: id:kind, then [transitions] as event?cond->targets/script (a null target
// shows as '!'), {in:...} and {out:...} for entry and exit content, and (children).
std::string Describe(const BasicState& state)
{
    std::string text = state.GetId() + ":" + std::to_string(static_cast<int>(state.GetKind()));
    if (!state.GetTransitions().empty())
    {
        text += "[";
        for (const auto& transition : state.GetTransitions())
        {
            if (&transition != &state.GetTransitions().front())
                text += ";";
            text += transition->GetEvent();
            if (!transition->GetCondition().empty())
                text += "?" + transition->GetCondition();
            const auto& targets = transition->GetTargets();
            for (size_t i = 0; i < targets.size(); ++i)
                text += (i == 0 ? "->" : " ") + (targets[i] ? targets[i]->GetId() : std::string("!"));
            if (transition->GetContent())
                text += "/" + ScriptOf(transition->GetContent());
        }
        text += "]";
    }
    if (state.GetEntryAction())
        text += "{in:" + ScriptOf(state.GetEntryAction()) + "}";
    if (state.GetExitAction())
        text += "{out:" + ScriptOf(state.GetExitAction()) + "}";
    if (!state.GetChildren().empty())
    {
        text += "(";
        for (const auto& child : state.GetChildren())
            text += (&child == &state.GetChildren().front() ? "" : ", ") + Describe(*child);
        text += ")";
    }
    return text;
}

std::string Describe(const StateChartTemplate& chart)
{
    std::string text;
    for (const auto& state : chart.GetRoot().GetChildren())
        text += (text.empty() ? "" : ", ") + Describe(*state);
    return text;
}

TEST(StateChartTemplate, ParsesTheChartSubset)
{
    struct Case
    {
        const char* name;
        const char* xml;
        const char* expected;
    } cases[] = {
        {"initialstate adds an initial pseudo-state with an empty id last",
         R"(<scxml initialstate="a"><state id="a"/></scxml>)", "a:0, :5[->a]"},
        {"a top-level initial element comes before the one made from initialstate",
         R"(<scxml initialstate="b"><initial id="i"><transition target="a"/></initial><state id="a"/>)"
         R"(<state id="b"/></scxml>)",
         "i:5[->a], a:0, b:0, :5[->b]"},
        {"kinds follow the element names, case-sensitively",
         R"(<scxml><state id="s"/><parallel id="p"/><final id="f"/><initial id="i"/><State id="S"/>)"
         R"(<Final id="F"/><anything id="x"/></scxml>)",
         "s:0, p:1, f:2, i:5, S:0, F:0, x:0"},
        {"history is deep only for type exactly deep",
         R"(<scxml><state id="r"><history id="h1"/><history id="h2" type="deep"/>)"
         R"(<history id="h3" type="Deep"/><history id="h4" type="shallow"/></state></scxml>)",
         "r:0(h1:4, h2:3, h3:4, h4:4)"},
        {"an element without id is skipped with everything inside it",
         R"(<scxml><state><state id="inner"/></state><state id="a"><Transition id="t"/>)"
         R"(<Transition event="x"/><transition event="y" target="a"/></state></scxml>)",
         "a:0[y->a](t:0)"},
        {"below scxml every element with an id is a state",
         R"(<scxml><transition id="t" target="t"/><onentry id="o"/><script id="s"/></scxml>)",
         "t:0, o:0, s:0"},
        {"an empty id is an id", R"(<scxml><state id=""/></scxml>)", ":0"},
        {"attributes are taken as written; absent ones are empty",
         R"(<scxml><state id="a"><transition event=" go " cond="x == 1" target="a"/><transition/>)"
         R"(</state></scxml>)",
         "a:0[ go ?x == 1->a;]"},
        {"targets split at single blanks; an unknown id gives a null entry",
         R"(<scxml><state id="a"><transition target="a b"/><transition target="b nowhere"/>)"
         R"(<transition target="a  b"/></state><state id="b"/></scxml>)",
         "a:0[->a b;->b !;->a ! b], b:0"},
        {"targets resolve to states further down and deeper in",
         R"(<scxml><state id="a"><transition target="c"/></state><state id="b"><state id="c"/></state>)"
         R"(</scxml>)",
         "a:0[->c], b:0(c:0)"},
        {"content comes from a first child script only",
         R"(<scxml><state id="a"><onentry><log expr="x"/><script>never</script></onentry>)"
         R"(<onexit><script><!-- c -->text</script></onexit>)"
         R"(<transition event="e"><script>go()</script><script>ignored</script></transition>)"
         R"(<transition event="f"><log/></transition></state></scxml>)",
         "a:0[e/go();f]"},
        {"text before the first element of content is skipped",
         R"(<scxml><state id="a"><onentry> text <!-- c --><script>s</script></onentry></state></scxml>)",
         "a:0{in:s}"},
        {"a later onentry replaces an earlier one",
         R"(<scxml><state id="a"><onentry><script>one</script></onentry><onentry><script>two</script>)"
         R"(</onentry><onexit><script>out</script></onexit><onexit/></state></scxml>)",
         "a:0{in:two}"},
        {"script text keeps its whitespace and line breaks; CDATA counts as text",
         "<scxml><state id=\"a\"><onentry><script>\n  x = 1 -- one\n  y = 2\n</script></onentry>"
         "<onexit><script><![CDATA[ if a < b then f() end ]]></script></onexit></state></scxml>",
         "a:0{in:\n  x = 1 -- one\n  y = 2\n}{out: if a < b then f() end }"},
        {"a script holding only blanks has no text",
         R"(<scxml><state id="a"><onentry><script>  </script>)"
         R"(</onentry></state></scxml>)",
         "a:0"},
        {"comments and text beside states are ignored",
         R"(<?xml version="1.0"?><!-- c --><scxml>text<!-- c --><state id="a">t</state></scxml>)", "a:0"},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<StateChartTemplate> chart = StateChartTemplate::LoadFromText(c.xml, "case.scxml");
        ASSERT_TRUE(chart) << c.name;
        EXPECT_EQ(Describe(*chart), c.expected) << c.name;
    }
}

TEST(StateChartTemplate, LinksStatesToParentsTemplateAndTransitions)
{
    std::unique_ptr<StateChartTemplate> chart = StateChartTemplate::LoadFromText(
        R"(<scxml initialstate="a"><state id="a"><state id="a1"><transition target="a"/></state></state>)"
        R"(</scxml>)",
        "links.scxml");
    ASSERT_TRUE(chart);
    const BasicState& root = chart->GetRoot();
    const BasicState* a = chart->FindState("a");
    const BasicState* a1 = chart->FindState("a1");
    const BasicState& start = *root.GetChildren().back();
    ASSERT_TRUE(a && a1);

    EXPECT_EQ(a->GetParent(), nullptr) << "top-level states have no parent";
    EXPECT_EQ(start.GetParent(), nullptr);
    EXPECT_EQ(a1->GetParent(), a);
    for (const BasicState* state : {&root, a, a1, &start})
        EXPECT_EQ(state->GetTemplate(), chart.get()) << state->GetId();
    EXPECT_EQ(a1->GetTransitions().front()->GetSource(), a1);
    EXPECT_EQ(start.GetTransitions().front()->GetSource(), &start);

    EXPECT_TRUE(a->HasDescendant(a1));
    EXPECT_FALSE(a1->HasDescendant(a));
    EXPECT_FALSE(a->HasDescendant(a));
    EXPECT_TRUE(root.HasDescendant(a)) << "the root holds the top-level states";
    EXPECT_TRUE(root.HasDescendant(a1));
    EXPECT_FALSE(a->HasDescendant(&start));
    EXPECT_EQ(chart->GetName(), "links.scxml");
}

TEST(StateChartTemplate, DuplicateIdsTargetTheLastWhileFindStateFindsTheFirst)
{
    LogCapture log;
    std::unique_ptr<StateChartTemplate> chart =
        StateChartTemplate::LoadFromText(R"(<scxml><state id="x"><state id="d"/></state><state id="d"/>)"
                                         R"(<state id="a"><transition target="d"/></state></scxml>)",
                                         "dupes.scxml");
    ASSERT_TRUE(chart);
    const BasicState* nested = chart->GetRoot().GetChildren()[0]->GetChildren()[0].get();
    const BasicState* topLevel = chart->GetRoot().GetChildren()[1].get();
    EXPECT_EQ(chart->FindState("d"), nested);
    EXPECT_EQ(chart->FindState("a")->GetTransitions()[0]->GetTargets()[0], topLevel);
    EXPECT_TRUE(
        log.Contains("dupes.scxml: the state id 'd' is used more than once", cl_Logger::LEVEL_WARNING));
    EXPECT_EQ(chart->FindState(""), &chart->GetRoot()) << "the root is found first for the empty id";
    EXPECT_EQ(chart->FindState("nowhere"), nullptr);
}

TEST(StateChartTemplate, LoadsAFileAndTakesBackslashesAsSlashes)
{
    std::unique_ptr<StateChartTemplate> chart =
        StateChartTemplate::Load(QUILLMERE_TEST_DATA "statechart\\charts\\restore.scxml");
    ASSERT_TRUE(chart);
    EXPECT_EQ(Describe(*chart), "a:0{in:enter a}, b:0{in:enter b}{out:exit b}(b1:0[go->b2]{in:enter b1}, "
                                "b2:0{in:enter b2}), :5[->a]");
    EXPECT_EQ(chart->GetName(), CHARTS + "restore.scxml");
}

TEST(StateChartTemplate, OneFileGivesOneSharedTemplateWhileAnyoneHoldsIt)
{
    const TemporaryFolder folder;
    const std::string path = folder.PathOf("charts/door.scxml");
    LogCapture log;
    EXPECT_FALSE(StateChartTemplate::LoadShared(path));
    EXPECT_TRUE(log.Contains("cannot be read", cl_Logger::LEVEL_ERROR));

    folder.WriteFile("charts/door.scxml", R"(<scxml><state id="closed"/></scxml>)");
    std::shared_ptr<const StateChartTemplate> first = StateChartTemplate::LoadShared(path);
    ASSERT_TRUE(first) << "a file that failed is read again";
    std::string backslashed = path;
    backslashed.replace(backslashed.rfind('/'), 1, "\\");
    EXPECT_EQ(StateChartTemplate::LoadShared(backslashed), first);

    // Once no one holds it, an edited file is read anew.
    folder.WriteFile("charts/door.scxml", R"(<scxml><state id="open"/></scxml>)");
    EXPECT_EQ(StateChartTemplate::LoadShared(path), first);
    first.reset();
    const std::shared_ptr<const StateChartTemplate> edited = StateChartTemplate::LoadShared(path);
    ASSERT_TRUE(edited);
    EXPECT_NE(edited->FindState("open"), nullptr);
}

TEST(StateChartTemplate, FilesWithWindowsOrOldMacLineEndsGiveScriptsWithNewlines)
{
    const TemporaryFolder folder;
    folder.WriteFile("lines.scxml", "<scxml>\r\n<state id=\"a\"><onentry><script>-- first\r\nx = 1\r-- last"
                                    "\r\n</script></onentry></state></scxml>\r\n");
    std::unique_ptr<StateChartTemplate> chart = StateChartTemplate::Load(folder.PathOf("lines.scxml"));
    ASSERT_TRUE(chart);
    EXPECT_EQ(ScriptOf(chart->FindState("a")->GetEntryAction()), "-- first\nx = 1\n-- last\n");
}

TEST(StateChartTemplate, BadChartsAreRefusedWithALogLineNamingThem)
{
    struct Case
    {
        const char* name;
        const char* xml;
        const char* logged;
    } cases[] = {
        {"unclosed element", "<scxml>\n  <state id=\"a\">\n</scxml>\n",
         "bad.scxml: Error reading end tag. (row 3, column 1)"},
        {"attribute without value", "<scxml>\n<state id/></scxml>",
         "bad.scxml: Error reading Attributes. (row 2, column 10)"},
        {"attribute given twice", "<scxml>\n<state id=\"a\" id=\"b\"/></scxml>",
         "bad.scxml: Error parsing Element."},
        {"empty file", "", "bad.scxml: Error document empty."},
        {"no scxml element", "<chart><state id=\"a\"/></chart>", "bad.scxml has no top-level scxml element"},
        {"scxml below the top level", "<x><scxml><state id=\"a\"/></scxml></x>",
         "bad.scxml has no top-level"},
    };
    for (const Case& c : cases)
    {
        LogCapture log;
        EXPECT_FALSE(StateChartTemplate::LoadFromText(c.xml, "bad.scxml")) << c.name;
        EXPECT_TRUE(log.Contains(c.logged, cl_Logger::LEVEL_ERROR)) << c.name;
    }
}

TEST(StateChartTemplate, MissingFilesAndFoldersAreRefusedWithALogLine)
{
    for (const std::string& path : {CHARTS + "missing.scxml", CHARTS, std::string()})
    {
        LogCapture log;
        EXPECT_FALSE(StateChartTemplate::Load(path)) << path;
        EXPECT_TRUE(log.Contains("State chart " + path + " cannot be read", cl_Logger::LEVEL_ERROR)) << path;
    }
}

TEST(StateChartTemplate, UnknownTargetsAreLoggedWithTheirState)
{
    LogCapture log;
    std::unique_ptr<StateChartTemplate> chart = StateChartTemplate::LoadFromText(
        R"(<scxml initialstate="nostart"><state id="a"><transition target="a gone"/></state></scxml>)",
        "targets.scxml");
    ASSERT_TRUE(chart) << "a chart with unknown targets still loads";
    EXPECT_TRUE(log.Contains("targets.scxml: a transition of state 'a' names the unknown state 'gone'",
                             cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(log.Contains("targets.scxml: initialstate names the unknown state 'nostart'",
                             cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Describe(*chart), "a:0[->a !], :5[->!]");
}

// States s1 to s<levels>, each inside the one before.
std::string NestedChart(int levels)
{
    std::string text = "<scxml initialstate=\"s" + std::to_string(levels) + "\">";
    for (int i = 1; i <= levels; ++i)
        text += "<state id=\"s" + std::to_string(i) + "\">";
    for (int i = 1; i <= levels; ++i)
        text += "</state>";
    return text + "</scxml>";
}

TEST(StateChartTemplate, ChartsNestedDeeperThanTheXmlLimitAreRefusedUnread)
{
    LogCapture log;
    EXPECT_FALSE(StateChartTemplate::LoadFromText(NestedChart(5000), "deep.scxml"));
    EXPECT_TRUE(log.Contains("deep.scxml nests elements 5001 levels deep", cl_Logger::LEVEL_ERROR));

    std::unique_ptr<StateChartTemplate> chart =
        StateChartTemplate::LoadFromText(NestedChart(MAX_XML_DEPTH - 1), "limit.scxml");
    ASSERT_TRUE(chart);
    const BasicState* deepest = chart->FindState("s" + std::to_string(MAX_XML_DEPTH - 1));
    ASSERT_TRUE(deepest);
    EXPECT_TRUE(deepest->GetChildren().empty());
}
} // namespace
