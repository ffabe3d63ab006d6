#include "gui/CaptionText.h"

#include <cstdint>

namespace
{
constexpr uint32_t REPLACEMENT = 0xFFFD;

bool IsContinuation(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

// The character whose encoding starts at index; index moves behind it. A sequence that breaks off, is
// longer than needed or names a surrogate or a value beyond U+10FFFF gives REPLACEMENT, and index moves
// past the bytes that still fitted it (at least one).
uint32_t Decode(const std::string& text, size_t& index)
{
    const auto lead = static_cast<unsigned char>(text[index++]);
    if (lead < 0x80)
        return lead;
    int length = 0;
    uint32_t codePoint = 0;
    uint32_t lowest = 0;
    if ((lead & 0xE0) == 0xC0)
    {
        length = 2;
        codePoint = lead & 0x1F;
        lowest = 0x80;
    }
    else if ((lead & 0xF0) == 0xE0)
    {
        length = 3;
        codePoint = lead & 0x0F;
        lowest = 0x800;
    }
    else if ((lead & 0xF8) == 0xF0)
    {
        length = 4;
        codePoint = lead & 0x07;
        lowest = 0x10000;
    }
    else
        return REPLACEMENT;
    for (int part = 1; part < length; ++part)
    {
        if (index >= text.size() || !IsContinuation(static_cast<unsigned char>(text[index])))
            return REPLACEMENT;
        codePoint = (codePoint << 6) | (static_cast<unsigned char>(text[index++]) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return codePoint < lowest || surrogate || codePoint > 0x10FFFF ? REPLACEMENT : codePoint;
}
} // namespace

Ogre::UTFString CaptionFromUtf8(const std::string& text)
{
    // wchar_t holds UTF-32 here, which UTFString takes without checks of its own.
    std::wstring characters;
    characters.reserve(text.size());
    for (size_t index = 0; index < text.size();)
        characters.push_back(static_cast<wchar_t>(Decode(text, index)));
    return Ogre::UTFString(characters);
}
