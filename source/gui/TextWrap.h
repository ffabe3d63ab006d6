#pragma once

#include "gui/IGlyphWidths.h"

#include <Overlay/OgreUTFString.h>

#include <cstddef>
#include <cstdint>

// How a text area measures its caption and breaks it into lines. Widths are in layout units: a space is
// the space width, any other character its glyph width plus the spacing offset.
class TextWrap
{
public:
    static constexpr uint32_t CR = 0x0D;
    static constexpr uint32_t LF = 0x0A;
    static constexpr uint32_t NEL = 0x85;
    static constexpr uint32_t SPACE = 0x20;

    // glyphs must outlive the wrap.
    TextWrap(const IGlyphWidths& glyphs, float spaceWidth, float spacingOffset)
        : m_glyphs(glyphs), m_spaceWidth(spaceWidth), m_spacingOffset(spacingOffset)
    {
    }

    static bool IsLineBreak(uint32_t codePoint)
    {
        return codePoint == CR || codePoint == LF || codePoint == NEL;
    }
    // The code point at index (a UTF-16 code unit of text) and the index behind it; a surrogate that is
    // not part of a pair stands for itself.
    static uint32_t ReadCodePoint(const Ogre::UTFString& text, size_t& index);

    // The width of the line that starts at index: up to the next CR, LF or NEL, or the end.
    float LineWidth(const Ogre::UTFString& text, size_t index = 0) const;

    // Breaks text into lines no wider than twice elementWidth (the element's width in screen units), with a
    // tolerance of 0.005: a space where the next word would not fit becomes CR LF. A word is never split, so
    // one wider than the limit stands on a line of its own. Line breaks become CR LF; empty lines and spaces
    // at the start of a line are dropped. With adaptive on, each break lowers the limit to the wider of the
    // line it completed and elementWidth (never raises it), so that later lines are no wider than the first.
    // Wrapping the result again changes nothing. Writes the result to wrapped and returns whether it differs
    // from text (wrapped is left alone when it does not).
    bool Wrap(const Ogre::UTFString& text, float elementWidth, bool adaptive, Ogre::UTFString& wrapped) const;

private:
    float CharacterWidth(uint32_t codePoint) const
    {
        return codePoint == SPACE ? m_spaceWidth : m_glyphs.CharacterWidth(codePoint) + m_spacingOffset;
    }

    const IGlyphWidths& m_glyphs;
    float m_spaceWidth;
    float m_spacingOffset;
};
