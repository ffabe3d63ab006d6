#pragma once

// The owner of the hardware cursor pair shown every frame (the application). The in-game menu hides and
// shows the pointer through it while the hardware cursor is on.
class ICursorOwner
{
public:
    // Moves the current cursor pair to the put-aside place, unless one is there already, and shows none.
    virtual void PutCursorAside() = 0;
    // Makes the put-aside cursor pair current again, when there is one.
    virtual void RestoreCursor() = 0;

protected:
    ~ICursorOwner() = default;
};
