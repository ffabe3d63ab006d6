#include "gui/cl_TarqTextAreaOverlayElement.h"

#include "support/HeadlessOgre.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlaySystem.h>

#include <string>

namespace
{
// OGRE's overlays without a window.
class TarqTextAreaParameters : public testing::Test
{
protected:
    HeadlessOgre m_ogre;
    Ogre::OverlaySystem m_overlays;
};

TEST_F(TarqTextAreaParameters, SpacingOffsetIsRelativeOrWholePixelsByMetrics)
{
    const struct
    {
        const char* name;
        Ogre::GuiMetricsMode metrics;
        const char* value;
        const char* read;
        float pixels;
    } cases[] = {
        {"relative metrics keep the value", Ogre::GMM_RELATIVE, "0.01", "0.01", 0.0f},
        {"a negative relative offset", Ogre::GMM_RELATIVE, "-0.002", "-0.002", 0.0f},
        {"pixel metrics round to whole pixels", Ogre::GMM_PIXELS, "2.4", "2", 2.0f},
        {"to the nearest", Ogre::GMM_PIXELS, "2.6", "3", 3.0f},
        {"a negative pixel offset stays negative", Ogre::GMM_PIXELS, "-1.6", "-2", -2.0f},
        {"aspect-adjusted metrics count pixels too", Ogre::GMM_RELATIVE_ASPECT_ADJUSTED, "1.5", "2", 2.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        cl_TarqTextAreaOverlayElement text("text");
        text.setMetricsMode(c.metrics);
        EXPECT_TRUE(text.setParameter("spacing_offset", c.value));
        EXPECT_EQ(text.getParameter("spacing_offset"), c.read);
        EXPECT_EQ(text.GetPixelSpacingOffset(), c.pixels);
    }
}

TEST_F(TarqTextAreaParameters, LineSpacingIsAFactorOnTheLineDistance)
{
    cl_TarqTextAreaOverlayElement text("text");
    EXPECT_EQ(text.getParameter("line_spacing"), "1");
    EXPECT_TRUE(text.setParameter("line_spacing", "0.8"));
    EXPECT_FLOAT_EQ(text.GetLineSpacing(), 0.8f);
    // OGRE's own parameters stay.
    EXPECT_TRUE(text.setParameter("char_height", "0.05"));
    EXPECT_FLOAT_EQ(text.getCharHeight(), 0.05f);
}
} // namespace
