#include "common/CommandArguments.h"

#include "common/cl_Command.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

#include <functional>

namespace
{
// A command of that name with the arguments that fill sets, in order.
cl_Command MakeCommand(const std::vector<std::function<void(cl_Argument&)>>& fills, const char* name = "Cmd")
{
    cl_Command cmd(name);
    for (const auto& fill : fills)
        fill(*cmd.m_arguments.GetArg(-1));
    return cmd;
}

TEST(CommandArguments, OnlyAMissingRequiredArgumentRefusesWithOneLineNamingIt)
{
    const auto text = [](cl_Argument& argument) { argument.SetString("a"); };
    const auto number = [](cl_Argument& argument) { argument.SetInt(1); };
    const struct
    {
        const char* name;
        cl_Command cmd;
        const char* arguments;
        const char* missing; // null when the command is accepted
    } cases[] = {
        {"nothing read, nothing given", MakeCommand({}), "", nullptr},
        {"nothing read, extra given", MakeCommand({text, number}), "", nullptr},
        {"all given", MakeCommand({text, number}), "string caller, int layer", nullptr},
        {"more than read", MakeCommand({text, number, text}), "string caller, int layer", nullptr},
        {"kinds are not looked at", MakeCommand({number, text}), "string caller, int layer", nullptr},
        {"the last one missing", MakeCommand({text}), "string caller, int layer", "int layer"},
        {"all missing", MakeCommand({}), "string caller, int layer", "string caller"},
        {"optional ones may be absent", MakeCommand({text}), "string id, [string condition]", nullptr},
        {"everything after the bracket is optional", MakeCommand({}), "[number x, number y, number z]",
         nullptr},
        {"a required one before the optional", MakeCommand({}), "string id, [string condition]", "string id"},
        {"spaces around items", MakeCommand({text}), "  string a ,  string b  ", "string b"},
    };
    for (const auto& c : cases)
    {
        LogCapture log;
        EXPECT_EQ(CommandArguments(c.cmd, "game").Require(c.arguments), c.missing == nullptr) << c.name;
        if (!c.missing)
        {
            EXPECT_TRUE(log.Lines().empty()) << c.name;
            continue;
        }
        ASSERT_EQ(log.Lines().size(), 1u) << c.name;
        EXPECT_TRUE(log.Contains(std::string("Receiver 'game' refused the command 'Cmd': the argument '") +
                                     c.missing + "' is missing.",
                                 cl_Logger::LEVEL_WARNING))
            << c.name << ": " << log.Lines()[0].text;
    }
}

TEST(CommandArguments, GettersGiveTheArgumentsValueOrItsDefaultWithTheGettersWarning)
{
    const cl_Command cmd = MakeCommand({
        [](cl_Argument& a) { a.SetString("text"); },
        [](cl_Argument& a) { a.SetDouble(-2.9); },
        [](cl_Argument& a) { a.SetInt(3); },
        [](cl_Argument& a) { a.SetBool(true); },
    });
    const CommandArguments args(cmd, "game");
    const struct
    {
        const char* name;
        std::function<std::string()> read;
        const char* expected;
        const char* warning; // null: none
    } cases[] = {
        {"a string", [&] { return args.String(0); }, "text", nullptr},
        {"a double as int truncates toward zero", [&] { return std::to_string(args.Int(1)); }, "-2", nullptr},
        {"an int as double", [&] { return std::to_string(args.Double(2)); }, "3.000000", nullptr},
        {"an int as float", [&] { return std::to_string(args.Float(2)); }, "3.000000", nullptr},
        {"a bool", [&] { return std::to_string(args.Bool(3)); }, "1", nullptr},
        {"a number as string", [&] { return args.String(2); }, "", "Stored data-type is not a 'string'."},
        {"a string as int", [&] { return std::to_string(args.Int(0)); }, "0",
         "Stored data-type is not an 'int' (nor a 'double')."},
        {"a string as double", [&] { return std::to_string(args.Double(0)); }, "0.000000",
         "Stored data-type is not a 'double' (nor an 'int')."},
        {"a number as bool", [&] { return std::to_string(args.Bool(2)); }, "0",
         "Stored data-type is not a 'bool'."},
        {"an absent string", [&] { return args.String(4); }, "", nullptr},
        {"an absent int", [&] { return std::to_string(args.Int(4)); }, "0", nullptr},
        {"an absent bool", [&] { return std::to_string(args.Bool(-1)); }, "0", nullptr},
        {"an absent argument is empty", [&] { return std::to_string(args.Any(9).GetType()); }, "0", nullptr},
    };
    for (const auto& c : cases)
    {
        LogCapture log;
        EXPECT_EQ(c.read(), c.expected) << c.name;
        if (c.warning)
            EXPECT_TRUE(log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.name;
        else
            EXPECT_TRUE(log.Lines().empty()) << c.name;
    }
    EXPECT_EQ(args.Count(), 4);
    EXPECT_TRUE(args.Has(3));
    EXPECT_FALSE(args.Has(4));
}

TEST(CommandArguments, FindGivesTheRowOfTheCommandOnlyWithItsRequiredArguments)
{
    const struct Row
    {
        const char* name;
        const char* arguments;
    } table[] = {{"Play", "string caller, [int layer]"}, {"Stop", ""}};
    const auto text = [](cl_Argument& argument) { argument.SetString("a"); };
    const struct
    {
        const char* name;
        cl_Command cmd;
        bool unknownWarns;
        const Row* expected;
        const char* warning; // null: none
    } cases[] = {
        {"a known command", MakeCommand({text}, "Play"), true, &table[0], nullptr},
        {"the second row", MakeCommand({}, "Stop"), true, &table[1], nullptr},
        {"a missing argument", MakeCommand({}, "Play"), true, nullptr,
         "Receiver 'game' refused the command 'Play': the argument 'string caller' is missing."},
        {"an unknown name", MakeCommand({}, "Pause"), true, nullptr,
         "Receiver 'game' has no command 'Pause'."},
        {"an unknown name, quietly", MakeCommand({}, "Pause"), false, nullptr, nullptr},
        {"names are whole and case-sensitive", MakeCommand({text}, "play"), false, nullptr, nullptr},
    };
    for (const auto& c : cases)
    {
        LogCapture log;
        EXPECT_EQ(CommandArguments(c.cmd, "game").Find(table, c.unknownWarns), c.expected) << c.name;
        EXPECT_EQ(log.Lines().size(), c.warning ? 1u : 0u) << c.name;
        if (c.warning)
            EXPECT_TRUE(log.Contains(c.warning, cl_Logger::LEVEL_WARNING)) << c.name;
    }
}
} // namespace
