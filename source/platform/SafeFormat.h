#pragma once

#include <cstdarg>
#include <cstddef>

namespace platform
{
// vsnprintf that always leaves a terminated text in the buffer, also when the output was cut.
// Returns the number of characters written (without the terminator), never more than size - 1.
size_t SafeVsnprintf(char* buffer, size_t size, const char* format, va_list arguments);
} // namespace platform
