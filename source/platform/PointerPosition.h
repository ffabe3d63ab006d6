#pragma once

namespace platform
{
// Where the pointer is over the window (its X11 id, OGRE's "WINDOW" attribute), in window pixels from its
// top left corner; outside the window the numbers run past its edges. False, leaving x and y alone, when
// there is no X display, no window, or the window is gone or on another screen than the pointer.
//
// The input library's own position cannot stand in for it: OIS 1.3 on X11 counts its first move from
// (6, 6) wherever the pointer really was, and so stays 6 pixels short on both axes.
bool PointerPosition(unsigned long window, int& x, int& y);
} // namespace platform
