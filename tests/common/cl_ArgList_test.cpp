#include "common/cl_ArgList.h"
#include "support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{
TEST(ArgList, NegativeIndexAppendsAndPastTheEndIsNull)
{
    LogCapture capture;
    cl_ArgList list;
    EXPECT_EQ(list.GetArg(0), nullptr);
    cl_Argument* first = list.GetArg(-1);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetType(), cl_Argument::TYPE_EMPTY);
    EXPECT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetArg(0), first);
    EXPECT_EQ(list.GetArg(1), nullptr);
    EXPECT_EQ(list.GetArg(1000), nullptr);

    list.GetArg(0)->SetInt(10);
    list.GetArg(-7)->SetInt(20);
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.GetArg(0)->GetInt(), 10);
    EXPECT_EQ(list.GetArg(1)->GetInt(), 20);

    const cl_ArgList& readOnly = list;
    EXPECT_EQ(readOnly.GetArg(-1), nullptr);
    EXPECT_EQ(readOnly.GetSize(), 2);
    EXPECT_TRUE(capture.Lines().empty());
}

TEST(ArgList, NestedContainerStaysPutWhileTheOuterListGrows)
{
    cl_ArgList outer;
    cl_Argument* holder = outer.GetArg(-1);
    holder->SetList();
    cl_ArgList* inner = holder->GetList();
    for (int i = 0; i < 100; ++i)
        outer.GetArg(-1)->SetInt(i);
    inner->GetArg(-1)->SetString("still here");
    ASSERT_EQ(outer.GetArg(0)->GetList(), inner);
    EXPECT_EQ(outer.GetArg(0)->GetList()->GetArg(0)->GetString(), "still here");
    EXPECT_EQ(outer.GetArg(100)->GetInt(), 99);
}

TEST(ArgList, CopyIsIndependent)
{
    cl_ArgList list;
    list.GetArg(-1)->SetList();
    list.GetArg(0)->GetList()->GetArg(-1)->SetInt(1);
    cl_ArgList copy = list;
    copy.GetArg(0)->GetList()->GetArg(0)->SetInt(2);
    copy.GetArg(-1);
    EXPECT_EQ(list.GetSize(), 1);
    EXPECT_EQ(list.GetArg(0)->GetList()->GetArg(0)->GetInt(), 1);
}
} // namespace
