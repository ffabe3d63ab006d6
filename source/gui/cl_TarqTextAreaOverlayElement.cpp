#include "gui/cl_TarqTextAreaOverlayElement.h"

#include "gui/OverlayViewport.h"
#include "gui/TextWrap.h"

#include <OgreHardwareBufferManager.h>
#include <OgreStringConverter.h>
#include <OgreVertexIndexData.h>

#include <cmath>

namespace
{
cl_TarqTextAreaOverlayElement& Element(void* target)
{
    return *static_cast<cl_TarqTextAreaOverlayElement*>(static_cast<Ogre::StringInterface*>(target));
}

const cl_TarqTextAreaOverlayElement& Element(const void* target)
{
    return *static_cast<const cl_TarqTextAreaOverlayElement*>(
        static_cast<const Ogre::StringInterface*>(target));
}

class CmdSpacingOffset : public Ogre::ParamCommand
{
public:
    Ogre::String doGet(const void* target) const override
    {
        const cl_TarqTextAreaOverlayElement& element = Element(target);
        const bool relative = element.getMetricsMode() == Ogre::GMM_RELATIVE;
        return Ogre::StringConverter::toString(relative ? element.GetSpacingOffset()
                                                        : element.GetPixelSpacingOffset());
    }
    void doSet(void* target, const Ogre::String& value) override
    {
        Element(target).SetSpacingOffset(Ogre::StringConverter::parseReal(value));
    }
};

class CmdLineSpacing : public Ogre::ParamCommand
{
public:
    Ogre::String doGet(const void* target) const override
    {
        return Ogre::StringConverter::toString(Element(target).GetLineSpacing());
    }
    void doSet(void* target, const Ogre::String& value) override
    {
        Element(target).SetLineSpacing(Ogre::StringConverter::parseReal(value));
    }
};

CmdSpacingOffset s_spacingOffsetCommand;
CmdLineSpacing s_lineSpacingCommand;

// Where the text area keeps its positions and texture coordinates (OGRE's binding of them).
constexpr unsigned short POSITION_BINDING = 0;
} // namespace

cl_TarqTextAreaOverlayElement::cl_TarqTextAreaOverlayElement(const Ogre::String& name)
    : Ogre::TextAreaOverlayElement(name)
{
    if (createParamDictionary("TarqTextAreaOverlayElement"))
        addBaseParameters();
}

cl_TarqTextAreaOverlayElement::~cl_TarqTextAreaOverlayElement() = default;

void cl_TarqTextAreaOverlayElement::addBaseParameters()
{
    Ogre::TextAreaOverlayElement::addBaseParameters();
    Ogre::ParamDictionary* dictionary = getParamDictionary();
    dictionary->addParameter(
        Ogre::ParameterDef("spacing_offset",
                           "Sets the offset of the space between the characters in relation to the screen.",
                           Ogre::PT_REAL),
        &s_spacingOffsetCommand);
    dictionary->addParameter(
        Ogre::ParameterDef("line_spacing",
                           "Sets the space between the lines in relation the character height (0.5-2.0).",
                           Ogre::PT_REAL),
        &s_lineSpacingCommand);
}

void cl_TarqTextAreaOverlayElement::SetSpacingOffset(float offset)
{
    if (mMetricsMode == Ogre::GMM_RELATIVE)
        m_spacingOffset = offset;
    else
        // Whole pixels, to the nearest: a negative offset draws the characters closer, as in relative
        // metrics.
        m_pixelSpacingOffset = std::round(offset);
    mGeomPositionsOutOfDate = true;
}

void cl_TarqTextAreaOverlayElement::SetLineSpacing(float spacing)
{
    m_lineSpacing = spacing;
    mGeomPositionsOutOfDate = true;
}

float cl_TarqTextAreaOverlayElement::CharacterWidth(uint32_t codePoint) const
{
    return 2.0f * mFont->getGlyphAspectRatio(codePoint) * mCharHeight * mViewportAspectCoef;
}

void cl_TarqTextAreaOverlayElement::UpdateAspectCoefficient()
{
    const OverlayViewport viewport = OverlayViewport::Current();
    if (viewport.IsKnown())
        mViewportAspectCoef = static_cast<float>(viewport.height) / static_cast<float>(viewport.width);
}

void cl_TarqTextAreaOverlayElement::DeriveSpaceWidth()
{
    if (mSpaceWidth == 0.0f)
        mSpaceWidth = CharacterWidth('0');
}

float cl_TarqTextAreaOverlayElement::GetTextWidth()
{
    if (!mFont)
        return 0.0f;
    UpdateAspectCoefficient();
    DeriveSpaceWidth();
    float width = TextWrap(*this, mSpaceWidth, m_spacingOffset).LineWidth(mCaption);
    if (mMetricsMode == Ogre::GMM_PIXELS)
        width *= static_cast<float>(OverlayViewport::Current().width);
    return width * 0.5f;
}

void cl_TarqTextAreaOverlayElement::UpdateLayout()
{
    if (!mGeomPositionsOutOfDate || !mInitialised)
        return;
    updatePositionGeometry();
    mGeomPositionsOutOfDate = false;
}

void cl_TarqTextAreaOverlayElement::_update()
{
    if (mMetricsMode != Ogre::GMM_RELATIVE && mGeomPositionsOutOfDate)
    {
        const OverlayViewport viewport = OverlayViewport::Current();
        if (viewport.IsKnown())
            m_spacingOffset = m_pixelSpacingOffset / static_cast<float>(viewport.height);
    }
    Ogre::TextAreaOverlayElement::_update();
}

void cl_TarqTextAreaOverlayElement::updatePositionGeometry()
{
    if (!mFont || !mInitialised)
        return;
    UpdateAspectCoefficient();
    DeriveSpaceWidth();
    Ogre::UTFString wrapped;
    if (TextWrap(*this, mSpaceWidth, m_spacingOffset).Wrap(mCaption, mWidth, m_adaptiveWrap, wrapped))
        mCaption = wrapped;
    LayOutGlyphs();
}

void cl_TarqTextAreaOverlayElement::LayOutGlyphs()
{
    const TextWrap measure(*this, mSpaceWidth, m_spacingOffset);
    const size_t units = mCaption.size();
    checkMemoryAllocation(units);
    const float lineLeft = _getDerivedLeft() * 2.0f - 1.0f;
    const float glyphHeight = mCharHeight * 2.0f;
    const float lineHeight = glyphHeight * m_lineSpacing;
    float left = lineLeft;
    float top = -(_getDerivedTop() * 2.0f - 1.0f);
    size_t quads = 0;
    int lines = 1;
    {
        const Ogre::HardwareVertexBufferSharedPtr& buffer =
            mRenderOp.vertexData->vertexBufferBinding->getBuffer(POSITION_BINDING);
        Ogre::HardwareBufferLockGuard lock(buffer, Ogre::HardwareBuffer::HBL_DISCARD);
        float* vertex = static_cast<float*>(lock.pData);
        bool lineStart = true;
        for (size_t index = 0; index < units;)
        {
            if (lineStart && mAlignment != Left)
            {
                const float lineWidth = measure.LineWidth(mCaption, index);
                left -= mAlignment == Right ? lineWidth : lineWidth * 0.5f;
            }
            lineStart = false;
            const uint32_t codePoint = TextWrap::ReadCodePoint(mCaption, index);
            if (TextWrap::IsLineBreak(codePoint))
            {
                if (codePoint == TextWrap::CR && index < units && mCaption.data()[index] == TextWrap::LF)
                    ++index;
                left = lineLeft;
                top -= lineHeight;
                ++lines;
                lineStart = true;
                continue;
            }
            if (codePoint == TextWrap::SPACE)
            {
                left += mSpaceWidth;
                continue;
            }
            const float width = CharacterWidth(codePoint);
            const Ogre::Font::UVRect& uv = mFont->getGlyphTexCoords(codePoint);
            const float right = left + width;
            const float bottom = top - glyphHeight;
            // Two triangles: upper left, lower left, upper right; upper right, lower left, lower right.
            const float corners[6][4] = {
                {left, top, uv.left, uv.top},       {left, bottom, uv.left, uv.bottom},
                {right, top, uv.right, uv.top},     {right, top, uv.right, uv.top},
                {left, bottom, uv.left, uv.bottom}, {right, bottom, uv.right, uv.bottom},
            };
            for (const auto& corner : corners)
            {
                *vertex++ = corner[0];
                *vertex++ = corner[1];
                *vertex++ = -1.0f;
                *vertex++ = corner[2];
                *vertex++ = corner[3];
            }
            ++quads;
            left = right + m_spacingOffset;
        }
    }
    mRenderOp.vertexData->vertexCount = quads * 6;

    // From the top of the first line to the bottom of the last: counted rather than taken from the
    // positions, which OGRE derives as NaN until the overlays have seen their viewport in a first frame.
    float height = static_cast<float>(lines) * lineHeight * 0.5f;
    if (mMetricsMode == Ogre::GMM_PIXELS)
        height *= static_cast<float>(OverlayViewport::Current().height);
    if (height != getHeight())
        setHeight(height);
}
