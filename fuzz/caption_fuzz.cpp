// Captions come from the game's texts, token files and the log: any bytes must decode, wrap and measure
// without harm, and a wrapped caption must stay as it is when it is wrapped again (the text area wraps at
// every layout). The first byte picks the element's width and whether the wrap is adaptive; glyph widths
// follow the code point, so that narrow and wide characters mix.
#include "gui/CaptionText.h"
#include "gui/TextWrap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{
class VaryingWidths final : public IGlyphWidths
{
public:
    float CharacterWidth(uint32_t codePoint) const override { return 0.02f + (codePoint % 7) * 0.01f; }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const float elementWidth = (data[0] & 0x7F) / 64.0f;
    const bool adaptive = (data[0] & 0x80) != 0;
    const Ogre::UTFString caption =
        CaptionFromUtf8(std::string(reinterpret_cast<const char*>(data + 1), size - 1));

    const VaryingWidths widths;
    const TextWrap wrap(widths, 0.03f, -0.002f);
    Ogre::UTFString wrapped = caption;
    wrap.Wrap(caption, elementWidth, adaptive, wrapped);
    Ogre::UTFString again;
    if (wrap.Wrap(wrapped, elementWidth, adaptive, again))
        std::abort(); // wrapping twice must change nothing
    wrap.LineWidth(wrapped);
    wrapped.asUTF8();
    return 0;
}
