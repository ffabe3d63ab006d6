#pragma once

#include "graphics/HotSpot.h"

class cl_AssetLogic;

// A minigame: a self-contained game shown over or instead of the scene (splash screens, puzzles), started
// and ended by the minigame manager.
class cl_Minigame
{
public:
    virtual ~cl_Minigame() = default;

    // Starts the minigame; logic (not owned, may be null) is the asset logic that gets its events.
    virtual void Start(cl_AssetLogic* logic) = 0;
    // Leaving and entering the game mode hide and show the running minigame.
    virtual void Hide() = 0;
    virtual void Show() = 0;
    // OIS key codes.
    virtual void KeyPressed(int key) = 0;
    virtual void KeyReleased(int key) = 0;
    // x, y: the mouse position normalised to 0..1; button: 0 left, 1 right.
    virtual void MouseClick(float x, float y, int button) = 0;
    // Every mouse move and button press, from the GUI system (button: OIS's number, 0 left, 1 right, 2
    // middle). Minigames that follow the mouse override them.
    virtual void MouseMoved(float /*x*/, float /*y*/) {}
    virtual void MousePressed(float /*x*/, float /*y*/, int /*button*/) {}
    // Every frame while the player holds Space: hotSpots holds the loaded scene's; a minigame with markers
    // of its own appends them (or clears the list first).
    virtual void GetHotspots(HotSpots& /*hotSpots*/) {}
    // Ends the minigame; the manager lets go of it afterwards.
    virtual void End() = 0;
};
