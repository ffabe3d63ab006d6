#pragma once

#include <string>

namespace platform
{
// Hardware mouse cursors on the game window, standing in for the Windows calls of the same names and
// keeping their meaning. The state is process-wide, as on Windows; everything runs on the main thread.

// A loaded cursor. LoadCursorFromFile hands out handles and DestroyCursor frees them; null stands for "no
// cursor" and is as good as any handle to keep, set and destroy.
struct HardwareCursor;
using CursorHandle = HardwareCursor*;

// Names the window the cursor is shown on: the X11 id of the render window (OGRE's custom attribute
// "WINDOW"); 0 when the window is gone. Without a window SetCursor only remembers the handle, and the
// window named next shows it at the next SetCursor.
void SetCursorWindow(unsigned long window);

// Loads a Windows cursor file (".cur"). Null, with a log line naming the file, when it cannot be read or
// there is no X display.
CursorHandle LoadCursorFromFile(const std::string& path);
// Shows the cursor on the window; null shows no cursor at all (not the desktop's arrow). Setting the
// handle already set costs nothing, so it may run every frame; an X error (a window that is gone) is
// logged, never fatal.
void SetCursor(CursorHandle cursor);
// Frees the cursor; null does nothing. When it is the one set, nothing is set afterwards and the window
// keeps showing it until the next SetCursor.
void DestroyCursor(CursorHandle cursor);
// The display counter: true adds 1, false takes 1; returns the new value. It starts at 0, and while it is
// below 0 the window shows no cursor whatever SetCursor set.
int ShowCursor(bool show);
// The display counter as ShowCursor last left it.
int CursorDisplayCount();
} // namespace platform
