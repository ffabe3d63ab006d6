#pragma once

// The size in pixels of the viewport the overlays are drawn in. OGRE's overlay manager learns it only
// while it draws the first frame (0 x 0 before); until then the main window's first viewport stands in.
// 0 x 0 while there is neither, so every user must guard its divisions.
struct OverlayViewport
{
    int width = 0;
    int height = 0;

    static OverlayViewport Current();
    bool IsKnown() const { return width > 0 && height > 0; }
    // width / height; 4/3 while the size is not known.
    float Aspect() const;
};
