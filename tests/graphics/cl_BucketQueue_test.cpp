#include "graphics/cl_BucketQueue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <utility>
#include <vector>

namespace
{
using Taken = std::vector<std::pair<double, int>>;

Taken TakeAll(cl_BucketQueue& queue)
{
    Taken taken;
    while (!queue.IsEmpty())
    {
        const cl_BucketQueue::st_Entry entry = queue.Pop();
        taken.push_back({entry.key, entry.edge});
    }
    return taken;
}

TEST(BucketQueue, GivesEntriesInOrderOfKeyThenCost)
{
    cl_BucketQueue queue;
    queue.Reset(10.0, 4.0, 0.5);
    // Within one bucket, across buckets, equal keys with different costs.
    for (const auto& entry : std::vector<std::pair<double, float>>{
             {11.3, 0}, {10.1, 0}, {11.2, 0}, {13.9, 0}, {12.0, 5}, {12.0, 2}, {10.0, 0}})
        ASSERT_TRUE(queue.Push(entry.first, entry.second, static_cast<int>(entry.first * 10 + entry.second)));
    EXPECT_EQ(
        TakeAll(queue),
        (Taken{{10.0, 100}, {10.1, 101}, {11.2, 112}, {11.3, 113}, {12.0, 122}, {12.0, 125}, {13.9, 139}}));
}

TEST(BucketQueue, KeysKeepRisingRoundTheRing)
{
    // Far more keys than buckets, each pushed above the last one taken out; a sorted list gives the order.
    cl_BucketQueue queue;
    queue.Reset(0.0, 1.0, 0.25);
    std::multiset<double> expected;
    double last = 0.0;
    for (int i = 0; i < 300; ++i)
    {
        for (const double rise : {0.9, 0.3, 0.55})
        {
            ASSERT_TRUE(queue.Push(last + rise * (i % 3 + 1) / 3, 0.0f, i));
            expected.insert(last + rise * (i % 3 + 1) / 3);
        }
        for (int pop = 0; pop < 2; ++pop)
        {
            last = queue.Pop().key;
            ASSERT_EQ(last, *expected.begin()) << "round " << i;
            expected.erase(expected.begin());
        }
    }
    while (!queue.IsEmpty())
    {
        ASSERT_EQ(queue.Pop().key, *expected.begin());
        expected.erase(expected.begin());
    }
    EXPECT_TRUE(expected.empty());
}

TEST(BucketQueue, AVeryWideSpanGetsWiderBucketsNotMoreOfThem)
{
    // A trillion narrow buckets would not fit in memory.
    cl_BucketQueue queue;
    queue.Reset(0.0, 1e12, 1e-3);
    for (const double key : {5e11, 3.0, 1e12, 2.5})
        ASSERT_TRUE(queue.Push(key, 0.0f, static_cast<int>(key > 1e6 ? key / 1e11 : key)));
    EXPECT_EQ(TakeAll(queue), (Taken{{2.5, 2}, {3.0, 3}, {5e11, 5}, {1e12, 10}}));
}

TEST(BucketQueue, RefusesKeysItCannotOrder)
{
    cl_BucketQueue queue;
    queue.Reset(5.0, 2.0, 0.5);
    ASSERT_TRUE(queue.Push(6.0, 0.0f, 1));
    queue.Pop();
    struct Case
    {
        const char* name;
        double key;
        bool taken;
    } cases[] = {
        {"below the last key taken out", 5.9, false}, {"the last key again", 6.0, true},
        {"at the end of the span", 8.0, true},        {"far beyond the span", 20.0, false},
        {"not a number", std::nan(""), false},        {"infinite", INFINITY, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(queue.Push(c.key, 0.0f, 2), c.taken);
    }
}
} // namespace
