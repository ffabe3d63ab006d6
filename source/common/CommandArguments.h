#pragma once

#include <cstddef>
#include <string>

class cl_Argument;
class cl_Command;

// The one reader of a command's arguments, for every receiver. Arguments are read by position, and those
// past what a command reads are ignored. A getter that meets an argument of another kind logs that
// argument's own warning and gives its default (Int also takes a double, truncated toward zero), so the
// command still runs; an absent argument gives the same default without a warning. Only a missing
// required argument refuses a command: Require logs one line naming the receiver, the command and the
// argument.
//
// Each receiver keeps its commands in one table whose rows name the arguments a command reads, in order,
// separated by commas, each a kind and a name as a data author reads them; from the first one in square
// brackets on they are optional:
//
//     {"PlayBackgroundSequence", "string caller, string param, int layer", ...},
//     {"AddItemToInteractionList", "string id, string item param, [string condition]", ...},
//
// and its ExecuteCmd finds the command's row through the reader, then reads the arguments:
//
//     const CommandArguments args(cmd, "game");
//     const CommandRow* row = args.Find(COMMANDS, true);
//     if (!row)
//         return false; // an unknown name, or a missing argument: logged
//     PlaySequence(args.String(0), args.String(1), args.Int(2));
//
// A receiver that checked with the former CheckArguments(cmd, receiver, "ssi") names those arguments in
// its table instead of the letters (or calls Require with them where it has no table), and reads with
// String, Int, Double, Bool or Any instead of the argument's own getters. The kinds in the table are for
// the reader of the table; what a handler reads decides the getter.
class CommandArguments
{
public:
    // cmd must outlive the reader; receiver names the receiver in log lines.
    CommandArguments(const cl_Command& cmd, const char* receiver) : m_cmd(cmd), m_receiver(receiver) {}

    // True when the command has every required argument that `arguments` lists (see above); otherwise one
    // warning naming the receiver, the command and the first missing argument, and false. The kinds of the
    // given arguments are not looked at.
    bool Require(const char* arguments) const;
    // The row of a receiver's command table (rows with the members `name` and `arguments`) whose name is
    // the command's, compared whole and case-sensitive, when the command has that row's required
    // arguments. Null for a name the table lacks (with a warning when unknownWarns) and for a command
    // missing an argument (Require's warning).
    template <class Row, size_t N> const Row* Find(const Row (&table)[N], bool unknownWarns) const
    {
        for (const Row& row : table)
        {
            if (IsNamed(row.name))
                return Require(row.arguments) ? &row : nullptr;
        }
        if (unknownWarns)
            WarnUnknown();
        return nullptr;
    }

    int Count() const;
    bool Has(int index) const;
    // Absent: "" / 0 / 0.0 / false without a warning; another kind: the getter's warning and that default.
    std::string String(int index) const;
    int Int(int index) const;
    double Double(int index) const;
    float Float(int index) const;
    bool Bool(int index) const;
    // The argument as it is, of whatever kind; an empty argument when absent.
    const cl_Argument& Any(int index) const;

private:
    bool IsNamed(const char* name) const;
    void WarnUnknown() const;

    const cl_Command& m_cmd;
    const char* m_receiver;
};
