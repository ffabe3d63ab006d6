#include "platform/LocalTime.h"

#include <ctime>

namespace platform
{
int64_t Time64()
{
    return static_cast<int64_t>(std::time(nullptr));
}

bool LocalTime64(int64_t time, LocalTime& record)
{
    record = LocalTime();
    record.time = time;
    const std::time_t seconds = static_cast<std::time_t>(time);
    std::tm broken{};
    if (static_cast<int64_t>(seconds) != time || !localtime_r(&seconds, &broken))
        return false;
    record.year = broken.tm_year + 1900;
    record.month = broken.tm_mon + 1;
    record.day = broken.tm_mday;
    record.weekday = broken.tm_wday;
    record.hour = broken.tm_hour;
    record.minute = broken.tm_min;
    record.second = broken.tm_sec;
    return true;
}
} // namespace platform
