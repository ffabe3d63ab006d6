#pragma once

#include "gui/cl_CanvasItem.h"

#include <string>

// One line, picture or button on a main-menu page.
struct MenuEntry
{
    // The event word a click runs; empty: the entry is never highlighted and so never clicked.
    std::string event;
    // Non-empty for an entry whose text or picture the menu fills itself whenever its page is drawn.
    std::string dynamicKey;
    // Drawn in the inactive colour; clicks pass it by.
    bool inactive = false;
    // Under the mouse.
    bool highlighted = false;
    // A click may start typing a save name into it.
    bool editable = false;
    // The chosen chapter or save game.
    bool selected = false;
    // Made by the menu for a list page, and removed when that page is built again.
    bool generated = false;
    // The text (or for a picture, its material), place, size and look. A text's width and height are
    // those measured when it was last drawn.
    cl_CanvasItem item;
};
