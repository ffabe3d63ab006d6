#include "gui/CaptionText.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(CaptionText, DecodesUtf8AndReplacesWhatIsNoCharacter)
{
    const struct
    {
        const char* name;
        std::string bytes;
        std::u32string characters;
    } cases[] = {
        {"plain text", "Turm", U"Turm"},
        {"two-byte character", "Schl\xC3\xBCssel", U"Schl\u00FCssel"},
        {"beyond 16 bits", "\xF0\x9F\x98\x80!", U"\U0001F600!"},
        {"a lone continuation byte", "a\x80z", U"a\uFFFDz"},
        {"Latin-1 text", "Schl\xFCssel", U"Schl\uFFFDssel"},
        {"a sequence cut short by the end", "ab\xE2\x82", U"ab\uFFFD"},
        {"a sequence cut short by a letter", "\xE2\x82x", U"\uFFFDx"},
        {"an overlong encoding", "\xC0\xAF", U"\uFFFD"},
        {"an encoded surrogate", "\xED\xA0\x80", U"\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", U"\uFFFD"},
        {"bytes that start nothing", "\xFF\xFE", U"\uFFFD\uFFFD"},
        {"a zero byte is a character", std::string("a\0b", 3), std::u32string(U"a\0b", 3)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const Ogre::UTFString caption = CaptionFromUtf8(c.bytes);
        const Ogre::UTFString::utf32string& decoded = caption.asUTF32();
        EXPECT_EQ(std::u32string(decoded.begin(), decoded.end()), c.characters);
    }
}
} // namespace
