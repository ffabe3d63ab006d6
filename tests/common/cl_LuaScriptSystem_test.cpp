#include "common/cl_ArgTable.h"
#include "common/cl_Argument.h"
#include "common/cl_Command.h"
#include "common/cl_LuaScriptSystem.h"
#include "support/ArgumentText.h"
#include "support/LogLine.h"
#include "support/ScriptSystemFixture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>
#include <lua.hpp>

#include <cmath>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace
{
// Keeps a copy of every command it gets and answers through the handler (true without one).
class TestReceiver final : public ICommandReceiver
{
public:
    TestReceiver(cl_CommandDistributor& distributor, const std::string& name)
        : m_distributor(distributor), m_name(name)
    {
        m_distributor.RegisterCmdReceiver(m_name, this);
    }
    ~TestReceiver() { m_distributor.UnRegisterCmdReceiver(m_name); }

    bool ExecuteCmd(cl_Command& cmd) override
    {
        commands.push_back(cmd);
        return handler ? handler(cmd) : true;
    }

    std::vector<cl_Command> commands;
    std::function<bool(cl_Command&)> handler;

private:
    cl_CommandDistributor& m_distributor;
    std::string m_name;
};

// The log line without its line number, as the tests spell it.
std::string Line(const std::string& message, const std::string& function)
{
    return message + " -> source\\common\\cl_LuaScriptSystem(#) <cl_LuaScriptSystem::" + function + ">";
}

class LuaScriptSystem : public ScriptSystemFixture
{
protected:
    // The one line logged since the last Clear, without its line number, and its level.
    std::string OnlyLine(int* level = nullptr) const
    {
        if (m_capture.Lines().size() != 1)
            return "lines logged: " + std::to_string(m_capture.Lines().size());
        if (level)
            *level = m_capture.Lines()[0].level;
        return WithoutLineNumber(m_capture.Lines()[0].text);
    }

    // The global v after running "v = <expression>", as text; "not read" when GetGlobal failed.
    std::string GlobalAfter(const std::string& code)
    {
        Run(code);
        cl_Argument value;
        const bool read = m_system.GetGlobal("v", value);
        ExpectBalanced();
        return read ? ArgumentText(value) : "not read";
    }

    // How many values a call of sendcmd with the given Lua arguments returned.
    int SendCount(const std::string& arguments)
    {
        cl_ArgList results = Results("return select('#', sendcmd(" + arguments + "))");
        return results.GetSize() == 1 ? results.GetArg(0)->GetInt() : -1;
    }

    TestReceiver m_receiver{m_system, "rec"};
};

TEST_F(LuaScriptSystem, LuaValuesBecomeArguments)
{
    const struct
    {
        const char* value;
        std::string argument;
    } cases[] = {
        {"3.0", "int 3"},
        {"3.5", "double 3.5"},
        {"'7'", "int 7"},
        {"'2.5'", "double 2.5"},
        {"'0x10'", "int 16"},
        {"'seven'", "string seven"},
        // Strings Lua reads as numbers, and words that merely begin like them.
        {"' \\t7 '", "int 7"},
        {"'+3'", "int 3"},
        {"'-.5'", "double -0.5"},
        {"'1e3'", "int 1000"},
        {"'-Infinity'", "double -inf"},
        {"'INF'", "double inf"},
        {"'in'", "string in"},
        {"'items_key'", "string items_key"},
        {"'nap'", "string nap"},
        {"'.'", "string ."},
        {"'- 3'", "string - 3"},
        {"''", "string "},
        {"'a\\0b'", std::string("string a\0b", 10)},
        {"true", "bool true"},
        {"{}", "[]"},
        {"{10, 20}", "[int 10, int 20]"},
        {"{a = 1}", "{string a: int 1}"},
        {"{[2] = 'x'}", "{int 2: string x}"},
        // Numeric string keys count as list positions.
        {"{['1'] = 'a'}", "[string a]"},
        {"{1, {2, {a = 'b'}}}", "[int 1, [int 2, {string a: string b}]]"},
        {"{[{1}] = true}", "{[int 1]: bool true}"},
        {"{print}", "[empty]"},
        {"{f = print}", "{string f: empty}"},
        {"2^31 - 1", "int 2147483647"},
        {"-2^31", "int -2147483648"},
        // Whole numbers beyond 32 bits stay doubles instead of wrapping.
        {"2^31", "double 2147483648"},
        {"-2^40", "double -1099511627776"},
        {"1/0", "double inf"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(GlobalAfter(std::string("v = ") + c.value), c.argument);
    }
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, ValuesWithoutArgumentFormAreRefused)
{
    for (const char* value : {"nil", "print", "coroutine.create(function() end)", "io.stdout"})
    {
        SCOPED_TRACE(value);
        Run(std::string("v = ") + value);
        m_capture.Clear();
        cl_Argument out;
        out.SetInt(42);
        EXPECT_FALSE(m_system.GetGlobal("v", out));
        ExpectBalanced();
        EXPECT_EQ(ArgumentText(out), "int 42");
        int level = 0;
        EXPECT_EQ(OnlyLine(&level), Line("GetGlobal failed. Couldn't read the global 'v'!", "GetGlobal"));
        EXPECT_EQ(level, 1);
    }
}

TEST_F(LuaScriptSystem, TablesThatContainThemselvesOrNestTooDeepAreCut)
{
    // Two references to itself: without the cut the walk would branch forever.
    Run("v = {}; v.a = v; v.b = {v}");
    cl_Argument value;
    ASSERT_TRUE(m_system.GetGlobal("v", value));
    const cl_ArgTable& table = *value.GetTable();
    ASSERT_EQ(table.GetSize(), 2);
    for (int i = 0; i < 2; ++i)
    {
        const std::string text =
            ArgumentText(table.GetPair(i)->key) + " = " + ArgumentText(table.GetPair(i)->value);
        EXPECT_TRUE(text == "string a = empty" || text == "string b = [empty]") << text;
    }
    EXPECT_TRUE(m_capture.Contains("A table that contains itself is cut off where it repeats.", 1));

    m_capture.Clear();
    Run("v = {}; local level = v; for i = 1, 250 do level.n = {}; level = level.n end");
    ASSERT_TRUE(m_system.GetGlobal("v", value));
    ExpectBalanced();
    int depth = 0;
    for (const cl_Argument* level = &value; level->GetType() == cl_Argument::TYPE_TABLE;
         level = &level->GetTable()->GetPair(0)->value)
        ++depth;
    EXPECT_EQ(depth, 200);
    EXPECT_TRUE(m_capture.Contains("Tables nested deeper than 200 levels are cut off.", 1));

    // The same guard holds for command arguments.
    m_capture.Clear();
    Run("local t = {}; t[1] = t; sendcmd('rec', 'loop', t)");
    ASSERT_EQ(m_receiver.commands.size(), 1u);
    EXPECT_EQ(ArgumentText(*m_receiver.commands[0].m_arguments.GetArg(0)), "[empty]");
    EXPECT_TRUE(m_capture.Contains("A table that contains itself is cut off where it repeats.", 1));
}

TEST_F(LuaScriptSystem, ArgumentsBecomeLuaValues)
{
    cl_Argument nested;
    nested.SetTable();
    cl_ArgTable::Pair& pair = *nested.GetTable()->GetPair(-1);
    pair.key.SetString("list");
    pair.value.SetList();
    pair.value.GetList()->GetArg(-1)->SetInt(1);
    pair.value.GetList()->GetArg(-1)->SetString("a");
    pair.value.GetList()->GetArg(-1)->SetList();

    const struct
    {
        const char* what;
        std::function<void(cl_Argument&)> make;
        const char* check; // a Lua expression on v
    } cases[] = {
        {"int", [](cl_Argument& a) { a.SetInt(-5); }, "v == -5"},
        {"double", [](cl_Argument& a) { a.SetDouble(2.5); }, "v == 2.5"},
        {"string with a zero byte", [](cl_Argument& a) { a.SetString(std::string("a\0b", 3)); },
         "v == 'a\\0b'"},
        {"bool", [](cl_Argument& a) { a.SetBool(false); }, "v == false"},
        {"empty list", [](cl_Argument& a) { a.SetList(); }, "type(v) == 'table' and next(v) == nil"},
        {"nested", [&nested](cl_Argument& a) { a = nested; },
         "#v.list == 3 and v.list[1] == 1 and v.list[2] == 'a' and next(v.list[3]) == nil"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        cl_Argument value;
        c.make(value);
        EXPECT_TRUE(m_system.SetGlobal("v", value));
        ExpectBalanced();
        EXPECT_TRUE(IsTrue(c.check));
        // And back again unchanged.
        cl_Argument back;
        EXPECT_TRUE(m_system.GetGlobal("v", back));
        EXPECT_EQ(ArgumentText(back), ArgumentText(value));
    }
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, GlobalsAreTestedWithoutLoggingOrMetatables)
{
    Run("word = 'door' number = 5 numeral = '5' zero = 'do\\0or' f = print "
        "setmetatable(_G, {__index = function() return 'door' end})");
    const struct
    {
        const char* name;
        bool has;
        bool holdsDoor;
        bool holdsFive;
    } cases[] = {
        {"word", true, true, false},  {"number", true, false, false}, {"numeral", true, false, true},
        {"zero", true, false, false}, {"f", true, false, false},      {"missing", false, false, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(m_system.HasGlobal(c.name), c.has);
        EXPECT_EQ(m_system.HasGlobalString(c.name, "door"), c.holdsDoor);
        EXPECT_EQ(m_system.HasGlobalString(c.name, "5"), c.holdsFive);
        ExpectBalanced();
    }
    EXPECT_TRUE(m_system.HasGlobalString("zero", std::string("do\0or", 5)));
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, ArgumentsWithoutLuaFormAreNotAssigned)
{
    const struct
    {
        const char* what;
        std::function<void(cl_Argument&)> make;
    } cases[] = {
        {"empty", [](cl_Argument&) {}},
        {"list holding an empty argument",
         [](cl_Argument& a)
         {
             a.SetList();
             a.GetList()->GetArg(-1)->SetInt(1);
             a.GetList()->GetArg(-1);
         }},
        {"table with an empty value",
         [](cl_Argument& a)
         {
             a.SetTable();
             a.GetTable()->GetValue("x");
         }},
        {"table with a NaN key",
         [](cl_Argument& a)
         {
             a.SetTable();
             cl_ArgTable::Pair& pair = *a.GetTable()->GetPair(-1);
             pair.key.SetDouble(std::nan(""));
             pair.value.SetInt(1);
         }},
    };
    Run("v = 'before'");
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        cl_Argument value;
        c.make(value);
        EXPECT_FALSE(m_system.SetGlobal("v", value));
        ExpectBalanced();
        EXPECT_TRUE(IsTrue("v == 'before'"));
    }
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, ResultsComeLastToFirst)
{
    EXPECT_EQ(ArgumentText(*Results("return 1, 2").GetArg(0)), "int 2");
    EXPECT_EQ(Results("return 1, 2").GetSize(), 2);
    EXPECT_EQ(Results("x = 1").GetSize(), 0);

    cl_ArgList results;
    results.GetArg(-1)->SetString("kept");
    EXPECT_TRUE(m_system.ExecuteString("return 'a', {b = true}", results));
    ASSERT_EQ(results.GetSize(), 3);
    EXPECT_EQ(ArgumentText(*results.GetArg(0)), "string kept");
    EXPECT_EQ(ArgumentText(*results.GetArg(1)), "{string b: bool true}");
    EXPECT_EQ(ArgumentText(*results.GetArg(2)), "string a");

    // More values than the stack has room for at first.
    results = Results("local t = {} for i = 1, 500 do t[i] = i end return unpack(t)");
    ASSERT_EQ(results.GetSize(), 500);
    EXPECT_EQ(results.GetArg(0)->GetInt(), 500);
    EXPECT_EQ(results.GetArg(499)->GetInt(), 1);
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, ResultThatCannotBeConvertedStopsTheTaking)
{
    cl_ArgList results;
    EXPECT_FALSE(m_system.ExecuteString("return 1, print, 3", results));
    ExpectBalanced();
    ASSERT_EQ(results.GetSize(), 2);
    EXPECT_EQ(ArgumentText(*results.GetArg(0)), "int 3");
    EXPECT_EQ(ArgumentText(*results.GetArg(1)), "empty");
    int level = 0;
    EXPECT_EQ(OnlyLine(&level), Line("Execute String failed. Couldn't handle result 2!", "ExecuteString"));
    EXPECT_EQ(level, 1);
}

TEST_F(LuaScriptSystem, LuaErrorsInTextAreLoggedAndTheProgramGoesOn)
{
    const struct
    {
        const char* code;
        const char* message;
    } cases[] = {
        {"error('boom')", "[string \"error('boom')\"]:1: boom"},
        {"x = = 1", "[string \"x = = 1\"]:1: unexpected symbol near '='"},
        {"local t; return t.x",
         "[string \"local t; return t.x\"]:1: attempt to index local 't' (a nil value)"},
        {"error({})", "(error object is a table value)"},
        {"error()", "(error object is a nil value)"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.code);
        for (bool withResults : {false, true})
        {
            m_capture.Clear();
            cl_ArgList results;
            EXPECT_FALSE(withResults ? m_system.ExecuteString(c.code, results)
                                     : m_system.ExecuteString(c.code));
            ExpectBalanced();
            EXPECT_EQ(results.GetSize(), 0);
            int level = 0;
            EXPECT_EQ(OnlyLine(&level), Line(c.message, "ExecuteString"));
            EXPECT_EQ(level, 1);
        }
    }
    EXPECT_EQ(Results("return 'still running'").GetArg(0)->GetString(), "still running");
    // The text ends at its first zero byte.
    EXPECT_TRUE(m_system.ExecuteString(std::string("z = 1\0error('hidden')", 21)));
    EXPECT_TRUE(IsTrue("z == 1"));
}

TEST_F(LuaScriptSystem, LuaFilesRunAndTheirErrorsAreLogged)
{
    TemporaryFolder folder;
    folder.WriteFile("good.lua", "loaded = 'yes'\nreturn 1, 2, 3\n");
    folder.WriteFile("runtime.lua", "local t\nt.x = 1\n");
    folder.WriteFile("syntax.lua", "end end\n");

    EXPECT_TRUE(m_system.LoadLuaFile(folder.PathOf("good.lua")));
    ExpectBalanced();
    EXPECT_TRUE(IsTrue("loaded == 'yes'"));
    EXPECT_TRUE(m_capture.Lines().empty());

    const struct
    {
        const char* file;
        std::string message;
    } cases[] = {
        {"runtime.lua", folder.PathOf("runtime.lua") + ":2: attempt to index local 't' (a nil value)"},
        {"syntax.lua", folder.PathOf("syntax.lua") + ":1: '<eof>' expected near 'end'"},
        {"missing.lua", "cannot open " + folder.PathOf("missing.lua") + ": No such file or directory"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.file);
        m_capture.Clear();
        EXPECT_FALSE(m_system.LoadLuaFile(folder.PathOf(c.file)));
        ExpectBalanced();
        int level = 0;
        EXPECT_EQ(OnlyLine(&level), Line(c.message, "LoadLuaFile"));
        EXPECT_EQ(level, 1);
    }
    EXPECT_TRUE(IsTrue("loaded == 'yes'"));
}

TEST_F(LuaScriptSystem, SendcmdBuildsTheCommand)
{
    EXPECT_EQ(SendCount("'rec', 'Ping', 1, 'x', 2.5, {3}"), 0);
    EXPECT_EQ(SendCount("'rec', 5"), 0);
    ASSERT_EQ(m_receiver.commands.size(), 2u);
    const cl_Command& ping = m_receiver.commands[0];
    EXPECT_EQ(ping.m_name, "Ping");
    ASSERT_EQ(ping.m_arguments.GetSize(), 4);
    EXPECT_EQ(ArgumentText(*ping.m_arguments.GetArg(0)), "int 1");
    EXPECT_EQ(ArgumentText(*ping.m_arguments.GetArg(1)), "string x");
    EXPECT_EQ(ArgumentText(*ping.m_arguments.GetArg(2)), "double 2.5");
    EXPECT_EQ(ArgumentText(*ping.m_arguments.GetArg(3)), "[int 3]");
    // A number names the command by its text.
    EXPECT_EQ(m_receiver.commands[1].m_name, "5");
    EXPECT_EQ(m_receiver.commands[1].m_arguments.GetSize(), 0);
    EXPECT_TRUE(m_capture.Lines().empty());

    EXPECT_EQ(SendCount("'nobody', 'Ping'"), 0);
    EXPECT_EQ(OnlyLine(), "A Command-Receiver with the name 'nobody' does not exist! -> "
                          "source\\common\\cl_CommandDistributor(#) <cl_CommandDistributor::SendCmd>");
}

TEST_F(LuaScriptSystem, SendcmdRefusesWhatItCannotSend)
{
    const struct
    {
        const char* arguments;
        const char* message;
    } cases[] = {
        {"", "'sendcmd' failed. Not enough arguments!"},
        {"'rec'", "'sendcmd' failed. Not enough arguments!"},
        {"'rec', 'SETTIMEFLOW', print", "'sendcmd' failed. Couldn't handle argument 3!"},
        {"'rec', 'x', 1, 2, nil", "'sendcmd' failed. Couldn't handle argument 5!"},
        {"nil, 'x'", "'sendcmd' failed. Couldn't handle argument 1!"},
        {"'rec', {}", "'sendcmd' failed. Couldn't handle argument 2!"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.arguments);
        m_capture.Clear();
        EXPECT_EQ(SendCount(c.arguments), 0);
        int level = 0;
        EXPECT_EQ(OnlyLine(&level), Line(c.message, "lua_sendcmd"));
        EXPECT_EQ(level, 1);
    }
    EXPECT_TRUE(m_receiver.commands.empty());
}

TEST_F(LuaScriptSystem, ReceiverResultsReachLua)
{
    // A receiver that fails still hands back what it appended.
    m_receiver.handler = [](cl_Command& cmd)
    {
        cmd.m_results.GetArg(-1)->SetString("first");
        cmd.m_results.GetArg(-1)->SetInt(2);
        return false;
    };
    EXPECT_TRUE(IsTrue("select('#', sendcmd('rec', 'two')) == 2"));
    EXPECT_TRUE(IsTrue("(function(a, b) return a == 'first' and b == 2 end)(sendcmd('rec', 'two'))"));

    m_receiver.handler = [](cl_Command& cmd)
    {
        cl_Argument& table = *cmd.m_results.GetArg(-1);
        table.SetTable();
        table.GetTable()->GetValue("items")->SetList();
        table.GetTable()->GetValue("items")->GetList()->GetArg(-1)->SetString("key");
        return true;
    };
    EXPECT_TRUE(IsTrue("sendcmd('rec', 'inventory').items[1] == 'key'"));

    // More results than the stack has room for at first.
    m_receiver.handler = [](cl_Command& cmd)
    {
        for (int i = 1; i <= 500; ++i)
            cmd.m_results.GetArg(-1)->SetInt(i);
        return true;
    };
    EXPECT_TRUE(
        IsTrue("select('#', sendcmd('rec', 'many')) == 500 and select(500, sendcmd('rec', 'many')) == 500"));
    EXPECT_TRUE(m_capture.Lines().empty());

    m_receiver.handler = [](cl_Command& cmd)
    {
        cmd.m_results.GetArg(-1)->SetInt(1);
        cmd.m_results.GetArg(-1);
        return true;
    };
    EXPECT_EQ(SendCount("'rec', 'broken'"), 0);
    EXPECT_EQ(OnlyLine(), Line("'sendcmd' failed. Couldn't return value 2!", "lua_sendcmd"));

    // An exception must not unwind through Lua.
    m_receiver.handler = [](cl_Command&) -> bool { throw std::runtime_error("receiver broke"); };
    m_capture.Clear();
    EXPECT_EQ(SendCount("'rec', 'throw'"), 0);
    EXPECT_EQ(OnlyLine(), Line("'sendcmd' failed. receiver broke", "lua_sendcmd"));
}

TEST_F(LuaScriptSystem, SendcmdNestsThroughReceiversThatRunLua)
{
    TestReceiver inner(m_system, "inner");
    inner.handler = [](cl_Command& cmd)
    {
        cmd.m_results.GetArg(-1)->SetInt(cmd.m_arguments.GetArg(0)->GetInt() * 2);
        return true;
    };
    int heightBefore = -1;
    int heightAfter = -1;
    m_receiver.handler = [&](cl_Command& cmd)
    {
        cl_ArgList results;
        heightBefore = lua_gettop(L);
        const bool ran =
            m_system.ExecuteString("depth = (depth or 0) + 1; return sendcmd('inner', 'deep', 7)", results);
        heightAfter = lua_gettop(L);
        cmd.m_results.GetArg(-1)->SetInt(ran ? results.GetArg(0)->GetInt() + 1 : -1);
        return true;
    };
    EXPECT_TRUE(IsTrue("sendcmd('rec', 'outer') == 15 and depth == 1"));
    EXPECT_EQ(heightAfter, heightBefore);
    ASSERT_EQ(inner.commands.size(), 1u);
    EXPECT_EQ(inner.commands[0].m_name, "deep");
    EXPECT_TRUE(m_capture.Lines().empty());
}

TEST_F(LuaScriptSystem, ExecuteRunsTextFromLua)
{
    Run("execute('x = 5')");
    EXPECT_TRUE(IsTrue("x == 5"));

    const struct
    {
        const char* code;
        std::string line;
    } cases[] = {
        {"execute()", Line("'execute' failed. Wrong number of arguments!", "lua_execute")},
        {"execute('x = 6', 'y = 1')", Line("'execute' failed. Wrong number of arguments!", "lua_execute")},
        {"execute({})", Line("'execute' failed. Couldn't handle argument 1!", "lua_execute")},
        {"execute('error(\"inner\")')", Line("[string \"error(\"inner\")\"]:1: inner", "ExecuteString")},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.code);
        m_capture.Clear();
        // The calling text itself goes on.
        Run(c.code);
        int level = 0;
        EXPECT_EQ(OnlyLine(&level), c.line);
        EXPECT_EQ(level, 1);
    }
    EXPECT_TRUE(IsTrue("x == 5"));
}

TEST_F(LuaScriptSystem, TestfuncWritesAnInformationLine)
{
    Run("testfunc(1, 2)");
    int level = 0;
    EXPECT_EQ(OnlyLine(&level), Line("testfunc called from lua!", "lua_testfunc"));
    EXPECT_EQ(level, 4);
}

TEST_F(LuaScriptSystem, DifficultyComesFromGlobals)
{
    const struct
    {
        const char* globals;
        int difficulty;
        std::vector<std::string> lines; // in order
    } cases[] = {
        {"_globals = {difficulty = 2}", 2, {}},
        {"_globals = {difficulty = 2.9}", 2, {}},
        {"_globals = {difficulty = '1'}", 1, {}},
        {"_globals = {}",
         0,
         {Line("Execute String failed. Couldn't handle result 1!", "ExecuteString"),
          "Stored data-type is not an 'int' (nor a 'double'). -> source\\common\\cl_Argument(#) "
          "<cl_Argument::GetInt>"}},
        {"_globals = nil",
         0,
         {Line("[string \"return _globals.difficulty\"]:1: attempt to index global '_globals' (a nil value)",
               "ExecuteString")}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.globals);
        Run(c.globals);
        m_capture.Clear();
        EXPECT_EQ(m_system.GetDifficulty(), c.difficulty);
        ExpectBalanced();
        std::vector<std::string> lines;
        for (const LogCapture::Line& line : m_capture.Lines())
            lines.push_back(WithoutLineNumber(line.text));
        EXPECT_EQ(lines, c.lines);
    }
}
} // namespace
