#include "platform/SafeFormat.h"

#include <cstdio>

namespace platform
{
size_t SafeVsnprintf(char* buffer, size_t size, const char* format, va_list arguments)
{
    if (size == 0)
        return 0;
    const int wanted = std::vsnprintf(buffer, size, format, arguments);
    if (wanted < 0)
    {
        buffer[0] = '\0';
        return 0;
    }
    const size_t written = static_cast<size_t>(wanted) < size ? static_cast<size_t>(wanted) : size - 1;
    buffer[written] = '\0';
    return written;
}
} // namespace platform
