#pragma once

#include <string>

// Receives every log line the logger writes (after level filtering).
class ILogListener
{
public:
    virtual ~ILogListener() = default;
    // The result is not used by the logger.
    virtual bool OnLog(const std::string& text, int level) = 0;
};
