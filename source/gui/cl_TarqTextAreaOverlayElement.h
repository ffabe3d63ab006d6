#pragma once

#include "gui/IGlyphWidths.h"

#include <Overlay/OgreTextAreaOverlayElement.h>

// OGRE's text area as the game's texts use it, created through the overlay manager under the type name
// "TarqTextArea" (cl_TarqTextAreaOverlayElementFactory). Besides OGRE's parameters it takes
// "spacing_offset" (added after every character) and "line_spacing" (a factor on the distance between
// lines). Whenever its geometry is laid out it wraps its caption into lines that fit its width, writing the
// line breaks into the caption, and sets its height to that of the wrapped text; its width stays.
//
// An element without a font lays nothing out and keeps its height.
class cl_TarqTextAreaOverlayElement : public Ogre::TextAreaOverlayElement, public IGlyphWidths
{
public:
    explicit cl_TarqTextAreaOverlayElement(const Ogre::String& name);
    ~cl_TarqTextAreaOverlayElement() override;

    // The width of the caption's first line, as a fraction of the screen's width (pixels in pixel
    // metrics). Measures the caption as it stands, wrapped or not.
    float GetTextWidth();
    // Lays the caption out now when its geometry is out of date (a new caption, size, parameter or
    // viewport), so that its height is that of the wrapped text before the next frame is drawn.
    void UpdateLayout();

    // Whether lines after the first are kept no wider than the first (see TextWrap::Wrap). On by default;
    // texts whose lines must all use the full width turn it off.
    bool m_adaptiveWrap = true;

    // The parameters' values as the element holds them.
    float GetSpacingOffset() const { return m_spacingOffset; }
    float GetPixelSpacingOffset() const { return m_pixelSpacingOffset; }
    float GetLineSpacing() const { return m_lineSpacing; }
    void SetSpacingOffset(float offset);
    void SetLineSpacing(float spacing);

    // IGlyphWidths: the character's width in layout units at the element's character height.
    float CharacterWidth(uint32_t codePoint) const override;

protected:
    void updatePositionGeometry() override;
    void addBaseParameters() override;

public:
    void _update() override;

private:
    // The viewport's height over its width, from the viewport's real size (see OverlayViewport); left as
    // it is while there is no viewport.
    void UpdateAspectCoefficient();
    // A space width of 0 stands for the width of the font's "0"; the derived width is kept.
    void DeriveSpaceWidth();
    // Writes one quad per visible character and sets the element's height.
    void LayOutGlyphs();

    // Whole pixels; used instead of the spacing offset in pixel metrics.
    float m_pixelSpacingOffset = 0.0f;
    float m_spacingOffset = 0.0f;
    float m_lineSpacing = 1.0f;
};
