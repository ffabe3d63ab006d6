#pragma once

#include <string>

// The pointer's flags: set by whoever knows the situation (the scene manager during scene changes and
// character switches, the scene's pick over an exit, the video player, minigames), which then has the
// in-game menu choose its pointer again.
struct PointerFlags
{
    bool wait = false;
    bool leave = false;
    bool use = false;
    bool take = false;
    bool selected = false;
};

// Which pointer the in-game menu shows, from its flags and what the game says about the mouse.
class MousePointerChoice
{
public:
    struct Situation
    {
        // A dialog is active and its view highlights a line.
        bool dialogLineHighlighted = false;
        bool canInteract = true;
        // An object is under the mouse; its interaction mode ("use", "take", ...).
        bool hovered = false;
        std::string hoveredMode;
        // An item is held, and whether the object under the mouse takes it.
        bool itemHeld = false;
        bool itemAccepted = false;
    };

    // The pointer word, first match: the flags leave, wait, use, take, selected; "selected" over a
    // highlighted dialog line; "skip" while the player cannot interact; "none" over nothing; with an item
    // held "used_by" over an object that takes it, else "none"; else the object's interaction mode.
    static std::string Word(const PointerFlags& flags, const Situation& situation);
};
