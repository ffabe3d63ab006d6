#include "support/RepeatedText.h"

std::string Repeat(const std::string& part, int times)
{
    std::string text;
    text.reserve(part.size() * static_cast<size_t>(times > 0 ? times : 0));
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}
