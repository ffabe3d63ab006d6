#pragma once

#include <string>
#include <vector>

// One usable object on the screen, for the in-game menu's hotspot markers: given by the loaded scene and
// by the running minigame.
struct HotSpot
{
    // Screen position, 0..1 from the left and from the top.
    float x = 0.0f;
    float y = 0.0f;
    // The object's interaction mode, which names the marker's picture ("use", "take", ...).
    std::string interactionMode;
    // The item or character id; names the marker.
    std::string id;
};

using HotSpots = std::vector<HotSpot>;
