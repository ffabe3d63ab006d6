#include "common/cl_ArgList.h"
#include "common/cl_ArgTable.h"
#include "common/cl_Argument.h"
#include "support/LogCapture.h"
#include "support/LogLine.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

namespace
{
// What every getter answers for an argument built one way. Getters not named in `accepted` must warn and
// give their neutral value, which is what the expected fields then hold.
struct TagCase
{
    const char* name;
    std::function<void(cl_Argument&)> build;
    cl_Argument::Type type;
    const char* accepted; // I int, D double, B bool, S string, L list, T table
    int asInt;
    double asDouble;
    bool asBool;
    const char* asString;
    int containerSize; // of the list or table; -1 when the getter gives null
};

struct Getter
{
    char code;
    const char* warning;
    const char* function;
};

const Getter kGetters[] = {
    {'I', "Stored data-type is not an 'int' (nor a 'double').", "cl_Argument::GetInt"},
    {'D', "Stored data-type is not a 'double' (nor an 'int').", "cl_Argument::GetDouble"},
    {'B', "Stored data-type is not a 'bool'.", "cl_Argument::GetBool"},
    {'S', "Stored data-type is not a 'string'.", "cl_Argument::GetString"},
    {'L', "Stored data-type is not an list.", "cl_Argument::GetList"},
    {'T', "Stored data-type is not an table.", "cl_Argument::GetTable"},
};

void CheckGetter(cl_Argument& arg, const TagCase& c, char code)
{
    switch (code)
    {
    case 'I':
        EXPECT_EQ(arg.GetInt(), c.asInt);
        break;
    case 'D':
        if (std::isnan(c.asDouble))
            EXPECT_TRUE(std::isnan(arg.GetDouble()));
        else
            EXPECT_EQ(arg.GetDouble(), c.asDouble);
        break;
    case 'B':
        EXPECT_EQ(arg.GetBool(), c.asBool);
        break;
    case 'S':
        EXPECT_EQ(arg.GetString(), c.asString);
        break;
    case 'L':
    {
        const cl_ArgList* list = arg.GetList();
        EXPECT_EQ(list ? list->GetSize() : -1, strchr(c.accepted, 'L') ? c.containerSize : -1);
        break;
    }
    case 'T':
    {
        const cl_ArgTable* table = arg.GetTable();
        EXPECT_EQ(table ? table->GetSize() : -1, strchr(c.accepted, 'T') ? c.containerSize : -1);
        break;
    }
    }
}

TEST(Argument, GettersAndSettersByTag)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const TagCase cases[] = {
        {"a new argument is empty", [](cl_Argument&) {}, cl_Argument::TYPE_EMPTY, "", 0, 0.0, false, "", -1},
        {"int", [](cl_Argument& a) { a.SetInt(7); }, cl_Argument::TYPE_INT, "ID", 7, 7.0, false, "", -1},
        {"double truncates toward zero", [](cl_Argument& a) { a.SetDouble(2.9); }, cl_Argument::TYPE_DOUBLE,
         "ID", 2, 2.9, false, "", -1},
        {"negative double truncates toward zero", [](cl_Argument& a) { a.SetDouble(-2.9); },
         cl_Argument::TYPE_DOUBLE, "ID", -2, -2.9, false, "", -1},
        {"double above the int range saturates", [](cl_Argument& a) { a.SetDouble(3e9); },
         cl_Argument::TYPE_DOUBLE, "ID", INT_MAX, 3e9, false, "", -1},
        {"double below the int range saturates", [](cl_Argument& a) { a.SetDouble(-3e9); },
         cl_Argument::TYPE_DOUBLE, "ID", INT_MIN, -3e9, false, "", -1},
        {"NaN has int value 0", [nan](cl_Argument& a) { a.SetDouble(nan); }, cl_Argument::TYPE_DOUBLE, "ID",
         0, nan, false, "", -1},
        {"string", [](cl_Argument& a) { a.SetString("abc"); }, cl_Argument::TYPE_STRING, "S", 0, 0.0, false,
         "abc", -1},
        {"numeric string is no number", [](cl_Argument& a) { a.SetString("5"); }, cl_Argument::TYPE_STRING,
         "S", 0, 0.0, false, "5", -1},
        {"bool", [](cl_Argument& a) { a.SetBool(true); }, cl_Argument::TYPE_BOOL, "B", 0, 0.0, true, "", -1},
        {"list", [](cl_Argument& a) { a.SetList(); }, cl_Argument::TYPE_LIST, "L", 0, 0.0, false, "", 0},
        {"table", [](cl_Argument& a) { a.SetTable(); }, cl_Argument::TYPE_TABLE, "T", 0, 0.0, false, "", 0},
        // The old text stays stored, but the tag says int now.
        {"SetInt after a string",
         [](cl_Argument& a)
         {
             a.SetString("abc");
             a.SetInt(5);
         },
         cl_Argument::TYPE_INT, "ID", 5, 5.0, false, "", -1},
        {"SetString after a list drops the list",
         [](cl_Argument& a)
         {
             a.SetList();
             a.GetList()->GetArg(-1)->SetInt(1);
             a.SetString("x");
         },
         cl_Argument::TYPE_STRING, "S", 0, 0.0, false, "x", -1},
        {"SetBool after a table drops the table",
         [](cl_Argument& a)
         {
             a.SetTable();
             a.GetTable()->GetValue("k")->SetInt(1);
             a.SetBool(false);
         },
         cl_Argument::TYPE_BOOL, "B", 0, 0.0, false, "", -1},
        {"SetList on a list starts an empty one",
         [](cl_Argument& a)
         {
             a.SetList();
             a.GetList()->GetArg(-1)->SetInt(1);
             a.SetList();
         },
         cl_Argument::TYPE_LIST, "L", 0, 0.0, false, "", 0},
        {"SetTable on a table starts an empty one",
         [](cl_Argument& a)
         {
             a.SetTable();
             a.GetTable()->GetValue("k");
             a.SetTable();
         },
         cl_Argument::TYPE_TABLE, "T", 0, 0.0, false, "", 0},
        {"SetString replaces the text",
         [](cl_Argument& a)
         {
             a.SetString("old");
             a.SetDouble(1.5);
             a.SetString("new");
         },
         cl_Argument::TYPE_STRING, "S", 0, 0.0, false, "new", -1},
    };
    for (const TagCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        cl_Argument arg;
        c.build(arg);
        EXPECT_EQ(arg.GetType(), c.type);
        for (const Getter& getter : kGetters)
        {
            SCOPED_TRACE(getter.function);
            LogCapture capture;
            CheckGetter(arg, c, getter.code);
            if (strchr(c.accepted, getter.code))
            {
                EXPECT_TRUE(capture.Lines().empty());
                continue;
            }
            ASSERT_EQ(capture.Lines().size(), 1u);
            EXPECT_EQ(capture.Lines()[0].level, 2);
            EXPECT_EQ(WithoutLineNumber(capture.Lines()[0].text), std::string(getter.warning) +
                                                                      " -> source\\common\\cl_Argument(#) <" +
                                                                      getter.function + ">");
        }
        EXPECT_EQ(arg.GetType(), c.type) << "a getter changed the argument";
    }
}

// A table {"name" = "door", "items" = {1, {"open" = true}}}.
void BuildNested(cl_Argument& arg)
{
    arg.SetTable();
    cl_ArgTable* table = arg.GetTable();
    table->GetValue("name")->SetString("door");
    cl_Argument* items = table->GetValue("items");
    items->SetList();
    items->GetList()->GetArg(-1)->SetInt(1);
    cl_Argument* inner = items->GetList()->GetArg(-1);
    inner->SetTable();
    inner->GetTable()->GetValue("open")->SetBool(true);
}

void ExpectNested(cl_Argument& arg)
{
    ASSERT_EQ(arg.GetType(), cl_Argument::TYPE_TABLE);
    cl_ArgTable* table = arg.GetTable();
    ASSERT_EQ(table->GetSize(), 2);
    EXPECT_EQ(table->GetValue("name")->GetString(), "door");
    cl_ArgList* items = table->GetValue("items")->GetList();
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->GetSize(), 2);
    EXPECT_EQ(items->GetArg(0)->GetInt(), 1);
    ASSERT_EQ(items->GetArg(1)->GetType(), cl_Argument::TYPE_TABLE);
    EXPECT_TRUE(items->GetArg(1)->GetTable()->GetValue("open")->GetBool());
}

TEST(Argument, CopiesAreDeep)
{
    auto original = std::make_unique<cl_Argument>();
    BuildNested(*original);
    cl_Argument constructed(*original);
    cl_Argument assigned;
    assigned.SetString("replaced");
    assigned = *original;
    original.reset();
    ExpectNested(constructed);
    ExpectNested(assigned);

    // Changing a copy leaves the other alone, and destroying it too.
    auto scratch = std::make_unique<cl_Argument>(constructed);
    scratch->GetTable()->GetValue("items")->GetList()->GetArg(0)->SetString("changed");
    scratch->GetTable()->GetValue("items")->SetBool(false);
    scratch.reset();
    ExpectNested(constructed);
}

TEST(Argument, AssigningAnElementOfItsOwnContainer)
{
    cl_Argument arg;
    BuildNested(arg);
    arg = *arg.GetTable()->GetValue("items");
    ASSERT_EQ(arg.GetType(), cl_Argument::TYPE_LIST);
    ASSERT_EQ(arg.GetList()->GetSize(), 2);
    arg = *arg.GetList()->GetArg(1);
    ASSERT_EQ(arg.GetType(), cl_Argument::TYPE_TABLE);
    EXPECT_TRUE(arg.GetTable()->GetValue("open")->GetBool());

    cl_Argument holder;
    holder.SetList();
    holder.GetList()->GetArg(-1)->SetString("inner");
    holder.SetString(holder.GetList()->GetArg(0)->GetString());
    EXPECT_EQ(holder.GetString(), "inner");
}

TEST(Argument, KeyEquality)
{
    const std::function<void(cl_Argument&)> empty = [](cl_Argument&) {};
    const std::function<void(cl_Argument&)> int1 = [](cl_Argument& a) { a.SetInt(1); };
    const std::function<void(cl_Argument&)> string1 = [](cl_Argument& a) { a.SetString("1"); };
    const std::function<void(cl_Argument&)> list = [](cl_Argument& a) { a.SetList(); };
    const std::function<void(cl_Argument&)> table = [](cl_Argument& a) { a.SetTable(); };
    const struct
    {
        const char* name;
        std::function<void(cl_Argument&)> left;
        std::function<void(cl_Argument&)> right;
        bool equal;
    } cases[] = {
        {"two empty arguments", empty, empty, true},
        {"equal ints", int1, int1, true},
        {"different ints", int1, [](cl_Argument& a) { a.SetInt(2); }, false},
        {"int 1 and double 1.0", int1, [](cl_Argument& a) { a.SetDouble(1.0); }, false},
        {"equal doubles", [](cl_Argument& a) { a.SetDouble(0.5); }, [](cl_Argument& a) { a.SetDouble(0.5); },
         true},
        {"int 1 and string 1", int1, string1, false},
        {"equal strings", string1, string1, true},
        {"strings differ in case", [](cl_Argument& a) { a.SetString("a"); },
         [](cl_Argument& a) { a.SetString("A"); }, false},
        {"equal bools", [](cl_Argument& a) { a.SetBool(true); }, [](cl_Argument& a) { a.SetBool(true); },
         true},
        {"different bools", [](cl_Argument& a) { a.SetBool(true); }, [](cl_Argument& a) { a.SetBool(false); },
         false},
        {"an old text does not count for an int", int1,
         [](cl_Argument& a)
         {
             a.SetString("other");
             a.SetInt(1);
         },
         true},
        {"empty and string", empty, [](cl_Argument& a) { a.SetString(""); }, false},
        {"two empty lists", list, list, false},
        {"two empty tables", table, table, false},
    };
    for (const auto& c : cases)
    {
        cl_Argument left;
        cl_Argument right;
        c.left(left);
        c.right(right);
        EXPECT_EQ(left.IsSameKey(right), c.equal) << c.name;
        EXPECT_EQ(right.IsSameKey(left), c.equal) << c.name;
    }
    cl_Argument list1;
    list1.SetList();
    EXPECT_FALSE(list1.IsSameKey(list1));
}
} // namespace
