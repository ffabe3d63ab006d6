#include "gui/cl_InventoryGui.h"

#include "assets/cl_ItemAsset.h"
#include "gamecomponents/cl_Inventory.h"
#include "support/ColourNear.h"
#include "support/ViewWindow.h"

#include <gtest/gtest.h>

#include <Overlay/OgreOverlayElement.h>

#include <string>
#include <vector>

namespace
{
// The demo's colours (demo/media/40-gui.sh).
const Ogre::ColourValue CLOTH(0xb0 / 255.0f, 0x30 / 255.0f, 0x70 / 255.0f);

// Opens the row and lets its icons grow and any pop-up end.
void OpenRow(ViewWindow& screen)
{
    screen.menu.MoveMouse(0.5f, 0.999f);
    for (int frame = 0; frame < 8; ++frame)
        screen.menu.GetInventoryGui().Update(0.25f);
}

TEST(InventoryRow, TheHeldItemsIconShowsHalfItsColourOverThePicture)
{
    ViewWindow screen(800, 600);
    OpenRow(screen);
    // One icon in the middle one of 16 slots, 50 pixels square, standing on the row's bottom at 0.9625.
    const int x = 400;
    const int y = 577 - 25;
    EXPECT_TRUE(NearColour(screen.DrawnPixel(x, y), CLOTH)) << ColourText(screen.DrawnPixel(x, y));

    screen.world.hub.SetSelectedItem(&screen.world.Item("items_cloth"));
    const Ogre::ColourValue half = CLOTH * 0.5f + Ogre::ColourValue::White * 0.5f;
    EXPECT_TRUE(NearColour(screen.DrawnPixel(x, y), half)) << ColourText(screen.DrawnPixel(x, y));

    screen.world.hub.SetSelectedItem(nullptr);
    EXPECT_TRUE(NearColour(screen.DrawnPixel(x, y), CLOTH)) << ColourText(screen.DrawnPixel(x, y));
}

TEST(InventoryRow, AtLeastSixteenSquareSlotsAreCentredInTheRowOfA16To9Window)
{
    ViewWindow screen(1280, 720);
    cl_Inventory& inventory = screen.world.hub.GetInventory();
    const cl_InventoryGui& row = screen.menu.GetInventoryGui();
    // Between the side bars, 0.05 of the width each.
    EXPECT_NEAR(row.GetLeft(), 0.05f, 1e-6f);
    EXPECT_NEAR(row.GetWidth(), 0.9f, 1e-6f);
    const struct
    {
        int count;
        float slot;
        float firstLeft;
    } cases[] = {
        {3, 0.9f / 16, 0.9f * 13 / 32},
        {20, 0.9f / 20, 0.0f},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.count);
        inventory.ClearInventory("characters_hero");
        std::vector<std::string> ids;
        for (int i = 0; i < c.count; ++i)
            ids.push_back(i == c.count / 2 ? "items_cloth" : "items_" + std::to_string(i));
        for (const std::string& id : ids)
            inventory.AddItem(id, "characters_hero");
        OpenRow(screen);
        for (int i = 0; i < c.count; ++i)
        {
            const Ogre::OverlayElement& icon = *row.FindItemPanel(ids[i])->panel;
            EXPECT_NEAR(icon.getLeft(), c.firstLeft + i * c.slot, 1e-5f) << i;
            EXPECT_NEAR(icon.getWidth(), c.slot, 1e-6f) << i;
            EXPECT_NEAR(icon.getHeight() * 720, icon.getWidth() * 1280, 1e-3f) << "square in pixels";
            EXPECT_NEAR(icon.getTop() + icon.getHeight(), row.GetHeight(), 1e-6f) << "on the row's bottom";
        }
        // The cloth in the middle slot, the picture beside the three.
        const Ogre::OverlayElement& cloth = *row.FindItemPanel("items_cloth")->panel;
        const int clothX = static_cast<int>((row.GetLeft() + cloth.getLeft() + c.slot / 2) * 1280);
        const int clothY = static_cast<int>((row.GetTop() + cloth.getTop() + cloth.getHeight() / 2) * 720);
        EXPECT_TRUE(NearColour(screen.DrawnPixel(clothX, clothY), CLOTH));
        if (c.count == 3)
            EXPECT_TRUE(NearColour(screen.DrawnPixel(clothX - 2 * 72, clothY), Ogre::ColourValue::White));
    }
}
} // namespace
