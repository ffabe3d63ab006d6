#pragma once

// Where an on-screen text goes so that it stands above its anchor point and stays inside the picture:
// clear of the pillarbox bars by the screen margin. Values are fractions of the screen.
struct TextPlacement
{
    float fontSize = 0.0f;
    float sideBar = 0.0f;
    float topBar = 0.0f;
    float margin = 0.0f;

    struct Position
    {
        float left;
        float top;
    };

    // A text of the given width (of its widest part that shows) and height, centred on x and standing
    // two character heights above y, pushed inside the picture. Where the picture is too small for it,
    // its right or bottom edge keeps the margin.
    Position Place(float x, float y, float width, float height) const;
};
