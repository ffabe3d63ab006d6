#include "common/cl_ArgTable.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
TEST(ArgTable, GetValueFindsOrAppends)
{
    cl_ArgTable table;
    cl_Argument* a = table.GetValue("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->GetType(), cl_Argument::TYPE_EMPTY);
    EXPECT_EQ(table.GetValue("a"), a);
    EXPECT_EQ(table.GetSize(), 1);

    a->SetInt(1);
    table.GetValue("b")->SetInt(2);
    table.GetValue("A")->SetInt(3);
    ASSERT_EQ(table.GetSize(), 3);
    const char* keys[] = {"a", "b", "A"};
    for (int i = 0; i < 3; ++i)
    {
        const cl_ArgTable::Pair* pair = table.GetPair(i);
        EXPECT_EQ(pair->key.GetString(), keys[i]);
        EXPECT_EQ(pair->value.GetInt(), i + 1);
    }
}

TEST(ArgTable, GetValueMatchesOnlyStringKeysAndTakesTheFirst)
{
    cl_ArgTable table;
    cl_ArgTable::Pair* number = table.GetPair(-1);
    number->key.SetInt(1);
    number->value.SetString("int key");
    for (int value : {10, 20})
    {
        cl_ArgTable::Pair* twin = table.GetPair(-1);
        twin->key.SetString("twin");
        twin->value.SetInt(value);
    }

    EXPECT_EQ(table.GetValue("twin")->GetInt(), 10);
    EXPECT_EQ(table.GetSize(), 3);

    cl_Argument* one = table.GetValue("1");
    EXPECT_EQ(one->GetType(), cl_Argument::TYPE_EMPTY);
    ASSERT_EQ(table.GetSize(), 4);
    EXPECT_EQ(table.GetPair(3)->key.GetType(), cl_Argument::TYPE_STRING);
    EXPECT_EQ(table.GetPair(0)->value.GetString(), "int key");
}

TEST(ArgTable, GetPairAppendsEmptyPairsAndPastTheEndIsNull)
{
    LogCapture capture;
    cl_ArgTable table;
    EXPECT_EQ(table.GetPair(0), nullptr);
    cl_ArgTable::Pair* pair = table.GetPair(-1);
    ASSERT_NE(pair, nullptr);
    EXPECT_EQ(pair->key.GetType(), cl_Argument::TYPE_EMPTY);
    EXPECT_EQ(pair->value.GetType(), cl_Argument::TYPE_EMPTY);
    EXPECT_EQ(table.GetSize(), 1);
    EXPECT_EQ(table.GetPair(0), pair);
    EXPECT_EQ(table.GetPair(1), nullptr);
    EXPECT_EQ(static_cast<const cl_ArgTable&>(table).GetPair(-1), nullptr);
    EXPECT_TRUE(capture.Lines().empty());
}
} // namespace
