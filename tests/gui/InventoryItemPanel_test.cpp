#include "gui/InventoryItemPanel.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
TEST(InventoryItemPanel, APopUpFadesInStaysAndFadesOutOverOneAndAHalfSeconds)
{
    // Quarter seconds: the timer reaches 0 exactly.
    const float dt = 0.25f;
    const struct
    {
        float time;
        bool rowOpen;
        float alpha;
        float scale;
        const char* what;
    } cases[] = {
        {0.25f, false, 0.556f, 1.0f, "fading in at full size on the closed row"},
        {0.5f, false, 1.0f, 1.0f, "opaque"},
        {0.75f, false, 1.0f, 1.0f, "opaque at the middle"},
        {1.0f, false, 0.444f, 1.0f, "fading out"},
        {1.25f, false, 0.111f, 1.0f, "almost gone"},
        {1.5f, false, 1.0f, 0.0f, "over: gone from the closed row, its alpha back"},
        {0.25f, true, 0.556f, 1.0f, "fading in on the open row"},
        {1.0f, true, 1.0f, 1.0f, "the open row keeps it opaque"},
        {1.5f, true, 1.0f, 1.0f, "over: it stays in the open row"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        InventoryItemPanel icon;
        icon.PopUp();
        InventoryItemPanel::Step step;
        for (float time = 0.0f; time < c.time; time += dt)
            step = icon.Animate(dt, c.rowOpen);
        EXPECT_TRUE(step.changed);
        EXPECT_TRUE(step.alphaChanged);
        EXPECT_NEAR(step.alpha, c.alpha, 0.001f);
        EXPECT_EQ(icon.scale, c.scale);
    }
}

TEST(InventoryItemPanel, ScaleFollowsTheRowAndTheMouse)
{
    // Twentieths of a second: 10 x dt is half a step of scale.
    const float dt = 0.05f;
    const struct
    {
        float from;
        bool rowOpen;
        bool hovered;
        float afterOneFrame;
        float afterTwoFrames;
        const char* what;
    } cases[] = {
        {1.0f, true, true, 1.5f, 2.0f, "under the mouse it doubles within 0.1 s"},
        {2.0f, true, false, 1.5f, 1.0f, "and shrinks back within 0.1 s"},
        {2.0f, true, true, 2.0f, 2.0f, "it grows no further"},
        {0.0f, true, false, 1.0f, 1.0f, "an opening row grows its icons in 0.05 s"},
        {1.0f, false, false, 0.0f, 0.0f, "a closing row shrinks them as fast"},
        {2.0f, false, true, 1.0f, 0.0f, "also the one that was under the mouse"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.what);
        InventoryItemPanel icon;
        icon.scale = c.from;
        icon.hovered = c.hovered;
        const InventoryItemPanel::Step first = icon.Animate(dt, c.rowOpen);
        EXPECT_FLOAT_EQ(icon.scale, c.afterOneFrame);
        EXPECT_EQ(first.changed, c.from != c.afterOneFrame);
        EXPECT_FALSE(first.alphaChanged) << "no pop-up, no alpha";
        icon.Animate(dt, c.rowOpen);
        EXPECT_FLOAT_EQ(icon.scale, c.afterTwoFrames);
    }
}

TEST(InventoryItemPanel, AnIconStandsCentredOnTheRowsBottomAndAFreshOneHigherAndLeft)
{
    const float slotLeft = 0.4f;
    const float slotWidth = 0.05f;
    const float slotHeight = 0.0667f;
    const float rowHeight = 0.125f;
    InventoryItemPanel icon;
    icon.scale = 1.0f;
    InventoryItemPanel::Rect rect = icon.Place(slotLeft, slotWidth, slotHeight, rowHeight);
    EXPECT_FLOAT_EQ(rect.left, slotLeft);
    EXPECT_FLOAT_EQ(rect.top + rect.height, rowHeight);
    EXPECT_FLOAT_EQ(rect.width, slotWidth);
    EXPECT_FLOAT_EQ(rect.height, slotHeight);

    icon.scale = 2.0f;
    rect = icon.Place(slotLeft, slotWidth, slotHeight, rowHeight);
    EXPECT_FLOAT_EQ(rect.left + rect.width / 2, slotLeft + slotWidth / 2) << "centred over its slot";
    EXPECT_FLOAT_EQ(rect.top + rect.height, rowHeight) << "grown upward";

    icon.PopUp();
    rect = icon.Place(slotLeft, slotWidth, slotHeight, rowHeight);
    EXPECT_FLOAT_EQ(rect.left, slotLeft - 0.05f);
    EXPECT_FLOAT_EQ(rect.top + rect.height, rowHeight - 0.1f);
}
} // namespace
