#pragma once

// The black bars that keep the game's picture between two aspect ratios: at the sides of a wider screen,
// above and below a narrower one. All values are fractions of the screen.
struct PillarboxLayout
{
    struct Bar
    {
        float left = 0.0f;
        float top = 0.0f;
        float width = 0.0f;
        float height = 0.0f;
    };

    // The width of each side bar and the height of the top and bottom bar; 0 where there is none.
    float side = 0.0f;
    float top = 0.0f;
    // Each bar reaches one pixel beyond the screen's edges (the overscan takes the pixel size of the other
    // axis, which is harmless).
    Bar left;
    Bar right;
    Bar upper;
    Bar lower;

    // For a viewport of width x height pixels (its aspect 4/3 while the size is not known).
    static PillarboxLayout Compute(int width, int height, float minAspect, float maxAspect);
};
