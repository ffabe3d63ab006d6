#include "gui/TextWrap.h"

#include <algorithm>

namespace
{
using CodeUnit = Ogre::UTFString::code_point;

// A line may overshoot the limit by this much: sums of glyph widths in float would otherwise break a line
// that was measured to fit exactly.
constexpr float TOLERANCE = 0.005f;

bool IsHighSurrogate(uint32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(uint32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The wrap's result: slices of the caption, each line closed by CR LF.
class WrappedText
{
public:
    explicit WrappedText(const Ogre::UTFString& source) : m_source(source.data())
    {
        m_text.reserve(source.size() + 16);
    }

    void Append(size_t begin, size_t end) { m_text.append(m_source + begin, end - begin); }
    void AppendLine(size_t begin, size_t end)
    {
        Append(begin, end);
        m_text.push_back(static_cast<CodeUnit>(TextWrap::CR));
        m_text.push_back(static_cast<CodeUnit>(TextWrap::LF));
    }
    const Ogre::UTFString::dstring& Text() const { return m_text; }

private:
    const CodeUnit* m_source;
    Ogre::UTFString::dstring m_text;
};
} // namespace

uint32_t TextWrap::ReadCodePoint(const Ogre::UTFString& text, size_t& index)
{
    const CodeUnit* data = text.data();
    const uint32_t unit = data[index++];
    if (IsHighSurrogate(unit) && index < text.size() && IsLowSurrogate(data[index]))
        return 0x10000 + ((unit - 0xD800) << 10) + (data[index++] - 0xDC00);
    return unit;
}

float TextWrap::LineWidth(const Ogre::UTFString& text, size_t index) const
{
    float width = 0.0f;
    while (index < text.size())
    {
        const uint32_t codePoint = ReadCodePoint(text, index);
        if (IsLineBreak(codePoint))
            break;
        width += CharacterWidth(codePoint);
    }
    return width;
}

bool TextWrap::Wrap(const Ogre::UTFString& text, float elementWidth, bool adaptive,
                    Ogre::UTFString& wrapped) const
{
    // The line and the word are slices of text: the line always ends at the space before the word, and
    // that space stands for the one the line would get between them.
    WrappedText result(text);
    float limit = 2.0f * elementWidth;
    size_t lineBegin = 0;
    size_t lineEnd = 0;
    float lineWidth = 0.0f;
    size_t wordBegin = 0;
    float wordWidth = 0.0f;

    const auto fits = [&]
    { return wordWidth + lineWidth + m_spaceWidth <= limit + TOLERANCE || lineWidth <= 0.0f; };
    // The word joins the line, after a space when the line holds anything; end is where the word ends.
    const auto joinWord = [&](size_t end)
    {
        if (lineEnd > lineBegin)
            lineWidth += m_spaceWidth;
        else
            lineBegin = wordBegin;
        lineEnd = end;
        lineWidth += wordWidth;
    };
    // The line goes to the result and the word starts the next one.
    const auto breakBeforeWord = [&](size_t end)
    {
        result.AppendLine(lineBegin, lineEnd);
        // Only ever lower: a first word wider than the element must not let the lines after it overflow.
        if (adaptive)
            limit = std::min(limit, std::max(elementWidth, lineWidth));
        lineBegin = wordBegin;
        lineEnd = end;
        lineWidth = wordWidth;
    };

    size_t index = 0;
    while (index < text.size())
    {
        const size_t at = index;
        const uint32_t codePoint = ReadCodePoint(text, index);
        if (codePoint == SPACE || IsLineBreak(codePoint))
        {
            // Also before a line break: the line it ends must fit like any other.
            if (fits())
                joinWord(at);
            else
                breakBeforeWord(at);
            if (IsLineBreak(codePoint) && lineEnd > lineBegin)
            {
                result.AppendLine(lineBegin, lineEnd);
                lineBegin = lineEnd = index;
                lineWidth = 0.0f;
            }
            wordBegin = index;
            wordWidth = 0.0f;
        }
        else
            wordWidth += CharacterWidth(codePoint);
    }
    if (fits())
        result.Append(lineEnd > lineBegin ? lineBegin : wordBegin, text.size());
    else
    {
        result.AppendLine(lineBegin, lineEnd);
        result.Append(wordBegin, text.size());
    }

    const Ogre::UTFString::dstring& lines = result.Text();
    if (lines.size() == text.size() && std::equal(lines.begin(), lines.end(), text.data()))
        return false;
    wrapped.assign(lines.data(), lines.size());
    return true;
}
