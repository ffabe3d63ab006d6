#include "platform/FatalError.h"

#include "common/LogCall.h"

#include <cstdio>

namespace platform
{
void ShowFatalError(const std::string& caption, const std::string& text)
{
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    LOG_ERROR(caption + ": " + text);
}

void ShowWarning(const std::string& text)
{
    std::fprintf(stderr, "Warning: %s\n", text.c_str());
    std::fflush(stderr);
    LOG_WARNING(text);
}
} // namespace platform
