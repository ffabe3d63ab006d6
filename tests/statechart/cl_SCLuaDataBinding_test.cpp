#include "statechart/cl_SCLuaDataBinding.h"

#include "assets/cl_GameState.h"
#include "common/XmlParse.h"
#include "common/cl_Argument.h"
#include "statechart/cl_ScriptAction.h"
#include "support/FunctionReceiver.h"
#include "support/LogLine.h"
#include "support/ScriptSystemFixture.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

#include <memory>
#include <string>

namespace
{
cl_Argument Text(const std::string& text)
{
    cl_Argument argument;
    argument.SetString(text);
    return argument;
}

std::string Print(const TiXmlNode& node)
{
    TiXmlPrinter printer;
    printer.SetStreamPrinting();
    node.Accept(&printer);
    return printer.CStr();
}

// A binding over the real Lua script system, in a game that has run for a while: the globals "door" and
// "window" hold their asset ids, "this" and "eventdata" hold values of their own.
class LuaDataBinding : public ScriptSystemFixture
{
protected:
    void SetUp() override
    {
        ScriptSystemFixture::SetUp();
        Run("door = 'door' window = 'window' this = 'outside' eventdata = 'none'");
        m_capture.Clear();
    }

    // Runs the script as a chart's content; the stack is not checked, since it may run nested in a command.
    void RunAction(const std::string& script, const cl_Argument* eventData, const std::string& ownerId)
    {
        const cl_ScriptAction action(script);
        m_binding.ExecuteAction(&action, eventData, ownerId);
    }
    // The logged line that contains text, without its line number; empty when none does.
    std::string LineWith(const std::string& text) const
    {
        for (const LogCapture::Line& line : m_capture.Lines())
        {
            if (line.text.find(text) != std::string::npos)
                return WithoutLineNumber(line.text);
        }
        return std::string();
    }

    cl_SCLuaDataBinding m_binding;
};

TEST_F(LuaDataBinding, TheFirstBooleanResultDecidesAndWithoutOneTheConditionHoldsWithAnError)
{
    struct Case
    {
        const char* name;
        const char* condition;
        bool holds;
        bool reported;
    } cases[] = {
        {"an undefined variable compared is false, silently", "x == 1", false, false},
        {"a boolean decides", "not true", false, false},
        {"a number is no answer", "1", true, true},
        {"a string is no answer", "'yes'", true, true},
        {"nil is no answer", "nil", true, true},
        {"a syntax error", "x ==", true, true},
        {"an error while running", "error('boom')", true, true},
        {"a number, then a boolean: the boolean", "1, false", false, false},
        {"of two booleans the last returned comes first", "true, false", false, false},
        {"the empty condition returns nothing", "", true, true},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        EXPECT_EQ(m_binding.EvaluateCondition(c.condition, nullptr, "door"), c.holds) << c.name;
        const std::string line = LineWith("A condition could not be evaluated: ");
        if (c.reported)
        {
            EXPECT_EQ(line, "A condition could not be evaluated: " + std::string(c.condition) +
                                " -> source\\statechart\\cl_SCLuaDataBinding(#) "
                                "<cl_SCLuaDataBinding::EvaluateCondition>")
                << c.name;
        }
        else
        {
            EXPECT_TRUE(m_capture.Lines().empty()) << c.name;
        }
        EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), m_capture.Lines().size()) << c.name;
        ExpectBalanced();
    }
}

TEST_F(LuaDataBinding, ThisAndEventdataAreBoundForTheRunAndRestoredAfterwards)
{
    const cl_Argument key = Text("key");
    struct Case
    {
        const char* name;
        const char* ownerId;
        const cl_Argument* eventData;
        const char* seen;
        const char* logged;
    } cases[] = {
        {"this is the value of the owner's global", "door", &key, "door key", nullptr},
        {"without event data eventdata keeps its value", "door", nullptr, "door none", nullptr},
        {"an owner without a global leaves this as it was", "ghost", &key, "outside key",
         "GetGlobal failed. Couldn't read the global 'ghost'!"},
    };
    for (const Case& c : cases)
    {
        m_capture.Clear();
        Run("seen = nil");
        RunAction("seen = this .. ' ' .. eventdata\nthis = 'changed' eventdata = 'changed'", c.eventData,
                  c.ownerId);
        EXPECT_EQ(Value("seen"), c.seen) << c.name;
        EXPECT_TRUE(m_binding.EvaluateCondition("this .. ' ' .. eventdata == '" + std::string(c.seen) + "'",
                                                c.eventData, c.ownerId))
            << c.name;
        EXPECT_EQ(Value("this"), "outside") << c.name;
        EXPECT_EQ(Value("eventdata"), "none") << c.name;
        if (c.logged)
        {
            EXPECT_TRUE(m_capture.Contains(c.logged, cl_Logger::LEVEL_ERROR)) << c.name;
        }
        else
        {
            EXPECT_TRUE(m_capture.Lines().empty()) << c.name;
        }
    }
}

TEST_F(LuaDataBinding, NestedRunsGiveTheOuterRunItsValuesBack)
{
    bool innerCondition = false;
    const FunctionReceiver nested(m_system, "nested",
                                  [&](cl_Command&)
                                  {
                                      const cl_Argument knock = Text("knock");
                                      RunAction("inner = this .. ' ' .. eventdata", &knock, "window");
                                      innerCondition = m_binding.EvaluateCondition(
                                          "this == 'window' and eventdata == 'knock'", &knock, "window");
                                      return true;
                                  });
    const cl_Argument go = Text("go");
    RunAction("before = this .. ' ' .. eventdata\n"
              "sendcmd('nested', 'run')\n"
              "after = this .. ' ' .. eventdata",
              &go, "door");
    EXPECT_EQ(Value("before"), "door go");
    EXPECT_EQ(Value("inner"), "window knock");
    EXPECT_TRUE(innerCondition);
    EXPECT_EQ(Value("after"), "door go");
    EXPECT_EQ(Value("this .. ' ' .. eventdata"), "outside none");
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaDataBinding, GlobalsThatDidNotExistKeepTheValuesOfTheRun)
{
    Run("this = nil eventdata = nil");
    const cl_Argument key = Text("key");
    RunAction("", &key, "door");
    EXPECT_EQ(Value("this .. ' ' .. eventdata"), "door key") << "a nil global cannot be written back";
    EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), 0u) << "a global that does not exist yet is no error";
}

TEST_F(LuaDataBinding, RunScriptBindsOnlyThis)
{
    m_binding.RunScript("seen = this .. ' ' .. eventdata\neventdata = 'set by the script'", "door");
    EXPECT_EQ(Value("seen"), "door none");
    EXPECT_EQ(Value("this"), "outside");
    EXPECT_EQ(Value("eventdata"), "set by the script");
}

TEST_F(LuaDataBinding, OnlyScriptActionsRun)
{
    struct OtherAction : IAction
    {
    } other;
    m_binding.ExecuteAction(&other, nullptr, "door");
    m_binding.ExecuteAction(nullptr, nullptr, "door");
    EXPECT_EQ(Value("this .. ' ' .. eventdata"), "outside none");
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaDataBinding, FailingScriptIsLoggedWithItsOwnerAndTheGlobalsAreRestored)
{
    const cl_Argument key = Text("key");
    RunAction("this = 'changed'\nerror('boom')", &key, "door");
    m_binding.RunScript("this = 'changed'\nerror('bang')", "window");
    EXPECT_TRUE(m_capture.Contains("boom", cl_Logger::LEVEL_ERROR));
    EXPECT_TRUE(m_capture.Contains("bang", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(LineWith("A script run for door"),
              "A script run for door failed -> source\\statechart\\cl_SCLuaDataBinding(#) "
              "<cl_SCLuaDataBinding::ExecuteAction>");
    EXPECT_TRUE(m_capture.Contains("A script run for window failed", cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(Value("this .. ' ' .. eventdata"), "outside none");
}

TEST_F(LuaDataBinding, DisabledBindingAnswersFalseAndRunsNothing)
{
    m_binding.SetDisabled(true);
    EXPECT_FALSE(m_binding.EvaluateCondition("true", nullptr, "door"));
    EXPECT_FALSE(m_binding.EvaluateCondition("1", nullptr, "door")) << "not even the error line";
    RunAction("ran = true", nullptr, "door");
    m_binding.RunScript("ran = true", "door");
    EXPECT_EQ(Value("ran"), "nil");
    EXPECT_TRUE(m_capture.Lines().empty());

    m_binding.SetDisabled(false);
    EXPECT_TRUE(m_binding.EvaluateCondition("true", nullptr, "door"));
    RunAction("ran = true", nullptr, "door");
    EXPECT_EQ(Value("ran"), "true");
}

TEST_F(LuaDataBinding, SaveGlobalsReplacesTheDataBindingElementWithTheScriptGlobals)
{
    cl_GameState gameState;
    TiXmlDocument saved;
    ParseXml(saved, "<gamestate><databinding><stale/><_globals><old/></_globals></databinding></gamestate>",
             "a saved game state");
    ASSERT_TRUE(gameState.ReplaceTree(*saved.RootElement()));
    Run("_globals = {difficulty = 2, door = 'open'}");

    cl_SCLuaDataBinding::SaveGlobals();
    TiXmlElement expected("databinding");
    m_system.GlobalsToXml(expected);
    ASSERT_NE(expected.FirstChildElement("_globals"), nullptr);
    EXPECT_EQ(Print(*gameState.GetDataBindingState()), Print(expected));
}

TEST_F(LuaDataBinding, SaveGlobalsWithoutAGameStateTreeIsLogged)
{
    cl_SCLuaDataBinding::SaveGlobals();
    EXPECT_TRUE(m_capture.Contains("The script globals are not saved: there is no game state.",
                                   cl_Logger::LEVEL_ERROR));

    m_capture.Clear();
    cl_GameState emptyGameState;
    cl_SCLuaDataBinding::SaveGlobals();
    EXPECT_TRUE(m_capture.Contains("The script globals are not saved: there is no game state.",
                                   cl_Logger::LEVEL_ERROR));
    EXPECT_EQ(emptyGameState.GetRoot(), nullptr);
}
} // namespace

namespace
{
// Before the first event with data, "this" and "eventdata" do not exist yet: that is no error.
TEST_F(ScriptSystemFixture, AFreshGameRunsChartsWithoutErrorLines)
{
    Run("door = 'door'");
    m_capture.Clear();
    cl_SCLuaDataBinding binding;
    const cl_ScriptAction action("opened = this");
    binding.ExecuteAction(&action, nullptr, "door");
    EXPECT_TRUE(binding.EvaluateCondition("opened == 'door'", nullptr, "door"));
    EXPECT_EQ(m_capture.Count(cl_Logger::LEVEL_ERROR), 0u);
}
} // namespace
