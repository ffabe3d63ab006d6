#pragma once

#include <cstdint>

namespace platform
{
// A moment broken down in the local time zone.
struct LocalTime
{
    int32_t year = 0;    // full calendar year
    int32_t month = 0;   // 1 to 12
    int32_t day = 0;     // day of the month, 1 to 31
    int32_t weekday = 0; // 0 Sunday to 6 Saturday
    int32_t hour = 0;    // 0 to 23
    int32_t minute = 0;
    int32_t second = 0;
    int64_t time = 0; // the seconds since 1970-01-01 UTC it was made from
};

// The current time in seconds since 1970-01-01 UTC.
int64_t Time64();
// Breaks time down in the local time zone (TZ). A time the C library cannot represent leaves the record
// zero except its time and returns false.
bool LocalTime64(int64_t time, LocalTime& record);
} // namespace platform
