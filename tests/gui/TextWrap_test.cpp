#include "gui/TextWrap.h"

#include "gui/CaptionText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
// Every character 0.1 wide, but "m" 0.2 and the emoji 0.3: layout units, the screen being 2.0.
class FixedWidths final : public IGlyphWidths
{
public:
    float CharacterWidth(uint32_t codePoint) const override
    {
        if (codePoint == 'm')
            return 0.2f;
        return codePoint == 0x1F600 ? 0.3f : 0.1f;
    }
};

const FixedWidths WIDTHS;
constexpr float SPACE_WIDTH = 0.1f;

std::string Wrapped(const std::string& text, float elementWidth, bool adaptive)
{
    Ogre::UTFString wrapped = CaptionFromUtf8(text);
    TextWrap(WIDTHS, SPACE_WIDTH, 0.0f).Wrap(CaptionFromUtf8(text), elementWidth, adaptive, wrapped);
    return wrapped.asUTF8();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t end; (end = text.find("\r\n", begin)) != std::string::npos; begin = end + 2)
        lines.push_back(text.substr(begin, end - begin));
    lines.push_back(text.substr(begin));
    return lines;
}

TEST(TextWrap, MeasuresOnlyTheFirstLine)
{
    const struct
    {
        const char* name;
        std::string text;
        float spacingOffset;
        float width;
    } cases[] = {
        {"one line", "mam", 0.0f, 0.5f},
        {"up to LF", "ab\ncdef", 0.0f, 0.2f},
        {"up to CR", "ab\r\ncdef", 0.0f, 0.2f},
        {"up to NEL",
         "ab\xC2\x85"
         "cdef",
         0.0f, 0.2f},
        {"empty first line", "\nabc", 0.0f, 0.0f},
        {"spaces take the space width", "a b", 0.0f, 0.3f},
        {"the offset after every character but spaces", "a b", 0.01f, 0.32f},
        {"a character beyond the 16-bit range counts once", "a\xF0\x9F\x98\x80", 0.0f, 0.4f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        EXPECT_NEAR(TextWrap(WIDTHS, SPACE_WIDTH, c.spacingOffset).LineWidth(CaptionFromUtf8(c.text)),
                    c.width, 1e-6f);
    }
}

TEST(TextWrap, BreaksLinesWhereTheNextWordWouldNotFit)
{
    const struct
    {
        const char* name;
        std::string text;
        float elementWidth; // twice this is the limit in layout units
        bool adaptive;
        std::string wrapped;
    } cases[] = {
        {"a line that fits stays", "aaa bbb", 1.0f, true, "aaa bbb"},
        {"a space becomes a break", "aaa bbb ccc", 0.35f, true, "aaa bbb\r\nccc"},
        {"within the tolerance of 0.005 it still fits", "aaa bbb ccc", 0.348f, true, "aaa bbb\r\nccc"},
        {"beyond the tolerance it does not", "aaa bbb ccc", 0.347f, true, "aaa\r\nbbb\r\nccc"},
        {"a word wider than the element stays whole", "bb aaaaaaaaaa cc", 0.2f, false,
         "bb\r\naaaaaaaaaa\r\ncc"},
        {"double breaks collapse", "ab\n\ncd", 1.0f, true, "ab\r\ncd"},
        {"CR LF is one break", "ab\r\ncd", 1.0f, true, "ab\r\ncd"},
        {"NEL becomes CR LF",
         "ab\xC2\x85"
         "cd",
         1.0f, true, "ab\r\ncd"},
        {"a leading break is dropped", "\nab", 1.0f, true, "ab"},
        {"spaces at the start of a line are dropped", "  ab", 1.0f, true, "ab"},
        {"spaces inside a line stay", "ab  cd ", 1.0f, true, "ab  cd "},
        {"the line before a break is wrapped too", "aaa bbb ccc\nd", 0.35f, true, "aaa bbb\r\nccc\r\nd"},
        {"adaptive: later lines no wider than the first", "aaaaaaa bbbbb ccc dd", 0.5f, true,
         "aaaaaaa\r\nbbbbb\r\nccc\r\ndd"},
        {"not adaptive: every line may use the full width", "aaaaaaa bbbbb ccc dd", 0.5f, false,
         "aaaaaaa\r\nbbbbb ccc\r\ndd"},
        {"adaptive: a first word wider than the element widens no later line", "aaaaaaaaaaaa bbbbb ccccc dd",
         0.5f, true, "aaaaaaaaaaaa\r\nbbbbb\r\nccccc\r\ndd"},
        {"an empty caption", "", 0.5f, true, ""},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::string wrapped = Wrapped(c.text, c.elementWidth, c.adaptive);
        EXPECT_EQ(wrapped, c.wrapped);
        Ogre::UTFString again;
        EXPECT_FALSE(TextWrap(WIDTHS, SPACE_WIDTH, 0.0f)
                         .Wrap(CaptionFromUtf8(wrapped), c.elementWidth, c.adaptive, again))
            << "wrapping again changed " << wrapped << " into " << again.asUTF8();
    }
}

TEST(TextWrap, LinesAfterAFullFirstLineAreNeverWiderWhenAdaptive)
{
    const std::string texts[] = {
        "aaaaaaa bbbbb ccc dd e ffff g hh",
        "mmmm aa b cc ddd mm eeeeeee f g hhhh",
        "a bb ccc dddd eeeee ffffff ggggggg hhhhhhhh",
    };
    const TextWrap wrap(WIDTHS, SPACE_WIDTH, 0.0f);
    for (const std::string& text : texts)
    {
        SCOPED_TRACE(text);
        const std::vector<std::string> lines = Lines(Wrapped(text, 0.5f, true));
        ASSERT_GT(lines.size(), 1u);
        const float first = wrap.LineWidth(CaptionFromUtf8(lines[0]));
        ASSERT_GE(first, 0.5f) << "the first line should fill the element";
        for (size_t line = 1; line < lines.size(); ++line)
            EXPECT_LE(wrap.LineWidth(CaptionFromUtf8(lines[line])), first + 0.005f) << lines[line];
    }
}
} // namespace
