#pragma once

#include <string>

namespace Ogre
{
class OverlayElement;
}

// One icon of the inventory row: the item it shows, its element and its animation. A new icon is invisible
// (scale 0) until the row's update grows it; an item just received pops up for POP_UP_TIME seconds: it
// fades in from above and to the left, stays, and sinks into its slot while it fades out again.
struct InventoryItemPanel
{
    static constexpr float POP_UP_TIME = 1.5f;

    // A rectangle of the row, relative to its top left corner, in fractions of the screen.
    struct Rect
    {
        float left = 0.0f;
        float top = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };

    // What one frame of animation did to the icon.
    struct Step
    {
        bool changed = false;
        // The pop-up ran: alpha is the icon's new alpha.
        bool alphaChanged = false;
        float alpha = 1.0f;
    };

    // Shows the icon at full size and starts its pop-up.
    void PopUp();
    // How far the pop-up has yet to go, eased: 1 when it starts, 0 once it is over.
    float Ease() const;
    // One frame of dt seconds on an open or closed row: the pop-up, the shrinking on a closed row, the
    // growth to full size on an open one (to twice that while hovered).
    Step Animate(float dt, bool rowOpen);
    // Where the icon stands when its slot begins at slotLeft, standing on the bottom of a row that high.
    Rect Place(float slotLeft, float slotWidth, float slotHeight, float rowHeight) const;

    std::string itemId;
    // Owned by OGRE's overlay manager; the inventory view destroys it. Named by the item id.
    Ogre::OverlayElement* panel = nullptr;
    // 0 invisible, 1 normal, up to 2 under the mouse.
    float scale = 0.0f;
    // The item is held on the pointer.
    bool selected = false;
    // The icon is under the mouse and drawn above the row.
    bool hovered = false;
    // Seconds left of the pop-up.
    float timer = 0.0f;
};
