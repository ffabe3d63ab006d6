#include "common/StringHelpers.h"

#include "platform/SafeFormat.h"

#include <cstring>

std::string FormatV(const char* format, va_list arguments)
{
    char buffer[1024];
    const size_t length = platform::SafeVsnprintf(buffer, sizeof(buffer), format, arguments);
    return std::string(buffer, length);
}

std::string Format(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    std::string result = FormatV(format, arguments);
    va_end(arguments);
    return result;
}

std::string SplitAtFirst(const std::string& text, const std::string& delimiter, std::string& rest)
{
    const size_t position = text.find(delimiter);
    if (position == std::string::npos)
    {
        rest = text;
        return std::string();
    }
    std::string head = text.substr(0, position);
    rest = text.substr(position + delimiter.size());
    return head;
}

int ReplaceAll(std::string& text, const std::string& search, const std::string& replacement)
{
    if (search.empty())
        return 0;
    // Restarting at 0 would find the replacement again and never end; search on behind it instead.
    const bool restart = replacement.find(search) == std::string::npos;
    int count = 0;
    size_t position = text.find(search);
    while (position != std::string::npos)
    {
        ++count;
        text.replace(position, search.size(), replacement);
        position = text.find(search, restart ? 0 : position + replacement.size());
    }
    return count;
}

std::string EscapeXml(const std::string& text)
{
    static const struct
    {
        char character;
        const char* entity;
    } escapes[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}, {'"', "&quot;"}, {'\'', "&apos;"}};

    std::string result;
    result.reserve(text.size());
    for (const char character : text)
    {
        const char* entity = nullptr;
        for (const auto& escape : escapes)
        {
            if (escape.character == character)
            {
                entity = escape.entity;
                break;
            }
        }
        if (entity)
            result += entity;
        else
            result += character;
    }
    return result;
}

bool StartsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::strlen(prefix), prefix) == 0;
}
