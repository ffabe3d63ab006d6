#include "common/XmlNumbers.h"

#include <tinyxml.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>

bool ReadNumber(const std::string& text, float& number)
{
    return ReadNumber(text.c_str(), number);
}

bool ReadNumber(const char* text, float& number)
{
    // strtod reads what "%lf" reads, without the cost of a formatted scan.
    const char* start = text;
    char* end = nullptr;
    const double value = std::strtod(start, &end);
    if (end == start)
        return false;
    const float narrowed = static_cast<float>(value);
    if (!std::isfinite(value) || !std::isfinite(narrowed))
        return false;
    number = narrowed;
    return true;
}

bool ReadInteger(const std::string& text, int& number)
{
    // strtol rather than "%d": an integer too large for an int is refused instead of undefined.
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > INT_MAX)
        return false;
    number = static_cast<int>(value);
    return true;
}

std::string TextAttribute(const TiXmlElement& element, const char* name, const std::string& fallback)
{
    const std::string* text = element.Attribute(std::string(name));
    return text ? *text : fallback;
}

float NumberAttribute(const TiXmlElement& element, const char* name, float fallback)
{
    const std::string* text = element.Attribute(std::string(name));
    float number = fallback;
    if (text)
        ReadNumber(*text, number);
    return number;
}

int IntegerAttribute(const TiXmlElement& element, const char* name, int fallback)
{
    const std::string* text = element.Attribute(std::string(name));
    int number = fallback;
    if (text)
        ReadInteger(*text, number);
    return number;
}
