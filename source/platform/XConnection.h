#pragma once

#include <functional>
#include <string>

// For the platform layer only: its own connection to the X server. X identifiers (windows, cursors) are
// server-wide, so this connection may act on the render window that OGRE created through its own.
typedef struct _XDisplay Display;

namespace platform
{
// The display named by DISPLAY, opened on first use and kept open until the process ends. Null when
// there is none; that is logged once and not tried again.
Display* XConnection();

// Why XConnection() is null, in words a player understands ("cannot open the X display ..."); "" when
// the display is open.
const std::string& XConnectionProblem();

// Runs X requests on the display and waits for their answers with an error handler that records instead
// of Xlib's default one, which ends the program. Returns whether every request succeeded; nothing is
// logged.
bool RunTrapped(Display* display, const std::function<void()>& requests);
} // namespace platform
