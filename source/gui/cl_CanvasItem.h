#pragma once

#include <OgreColourValue.h>

#include <map>
#include <string>

// One text or picture of a page that a texture canvas draws. Positions and sizes are fractions of the
// texture, 0 to 1 from left to right and from top to bottom.
struct cl_CanvasItem
{
    enum Alignment
    {
        ALIGN_LEFT = 0,
        ALIGN_CENTRE = 1,
        ALIGN_RIGHT = 2,
    };

    // The text to draw; for a picture, its material's name.
    std::string text;
    // Where x lies on the item's width follows alignment; y is the top edge.
    float x = 0.0f;
    float y = 0.0f;
    // A picture's size. A text's are written by the canvas when it draws it: its measured width and its
    // character height.
    float width = 0.0f;
    float height = 0.0f;
    float charHeight = 0.1f;
    bool isImage = false;
    Ogre::ColourValue colour = Ogre::ColourValue::Black;
    // An Alignment; any other value counts as left.
    int alignment = ALIGN_LEFT;
    // OGRE overlay-element parameters set on the element before drawing, in key order ("uv_coords" of a
    // picture, for one). What one item sets stays for the items drawn after it on the same canvas.
    std::map<std::string, std::string> params;

    // The left edge of an item of that width, by the alignment.
    float Left(float itemWidth) const;
};
