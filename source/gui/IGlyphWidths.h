#pragma once

#include <cstdint>

// The widths of a font's characters at one size, in a text area's layout units (the screen is 2.0 wide).
class IGlyphWidths
{
public:
    // A character the font lacks still has a width (OGRE gives it the aspect ratio 1).
    virtual float CharacterWidth(uint32_t codePoint) const = 0;

protected:
    ~IGlyphWidths() = default;
};
