#include "common/XmlName.h"

namespace
{
bool IsNameLetter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
}
} // namespace

bool IsXmlName(const std::string& text)
{
    if (text.empty() || !IsNameLetter(static_cast<unsigned char>(text[0])))
        return false;
    for (const char character : text)
    {
        const unsigned char c = static_cast<unsigned char>(character);
        if (!IsNameLetter(c) && !(c >= '0' && c <= '9') && c != '-' && c != '.' && c != ':')
            return false;
    }
    return true;
}
