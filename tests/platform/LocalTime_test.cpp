#include "platform/LocalTime.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <limits>
#include <string>

namespace
{
class UtcZone : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* zone = std::getenv("TZ");
        m_hadZone = zone != nullptr;
        m_oldZone = zone ? zone : "";
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override
    {
        if (m_hadZone)
            setenv("TZ", m_oldZone.c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }

    bool m_hadZone = false;
    std::string m_oldZone;
};

TEST_F(UtcZone, BreaksTimesDown)
{
    struct Case
    {
        const char* name;
        int64_t time;
        platform::LocalTime expected;
    } cases[] = {
        {"epoch, a Thursday", 0, {1970, 1, 1, 4, 0, 0, 0, 0}},
        {"ordinary Tuesday", 1700000000, {2023, 11, 14, 2, 22, 13, 20, 1700000000}},
        {"leap day", 951782400, {2000, 2, 29, 2, 0, 0, 0, 951782400}},
        {"after 2038", 4102444799, {2099, 12, 31, 4, 23, 59, 59, 4102444799}},
    };
    for (const Case& c : cases)
    {
        platform::LocalTime record;
        ASSERT_TRUE(platform::LocalTime64(c.time, record)) << c.name;
        const platform::LocalTime& e = c.expected;
        EXPECT_EQ(record.year, e.year) << c.name;
        EXPECT_EQ(record.month, e.month) << c.name;
        EXPECT_EQ(record.day, e.day) << c.name;
        EXPECT_EQ(record.weekday, e.weekday) << c.name;
        EXPECT_EQ(record.hour, e.hour) << c.name;
        EXPECT_EQ(record.minute, e.minute) << c.name;
        EXPECT_EQ(record.second, e.second) << c.name;
        EXPECT_EQ(record.time, e.time) << c.name;
    }
}

TEST_F(UtcZone, UnrepresentableTimeIsRefused)
{
    platform::LocalTime record;
    record.year = 5;
    const int64_t huge = std::numeric_limits<int64_t>::max();
    EXPECT_FALSE(platform::LocalTime64(huge, record));
    EXPECT_EQ(record.year, 0);
    EXPECT_EQ(record.time, huge);
}

TEST(Time64, IsTheCurrentTime)
{
    const int64_t before = static_cast<int64_t>(std::time(nullptr));
    const int64_t now = platform::Time64();
    EXPECT_GE(now, before);
    EXPECT_LE(now, static_cast<int64_t>(std::time(nullptr)));
}
} // namespace
