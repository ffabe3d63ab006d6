#pragma once

#include <string>

// The owner of the hardware cursor pair shown every frame (the application). The in-game menu chooses,
// hides and shows the pointer through it while the hardware cursor is on.
class ICursorOwner
{
public:
    // Makes the cursor pair of that name current ("<name>.cur" and "<name>_small.cur" of the interface).
    virtual void LoadCursor(const std::string& name) = 0;
    // The small cursor of the pair stands for a pressed button.
    virtual void SetSmallCursor(bool small) = 0;
    // Moves the current cursor pair to the put-aside place, unless one is there already, and shows none.
    virtual void PutCursorAside() = 0;
    // Makes the put-aside cursor pair current again, when there is one.
    virtual void RestoreCursor() = 0;

protected:
    ~ICursorOwner() = default;
};
