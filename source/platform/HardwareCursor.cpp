#include "platform/HardwareCursor.h"

#include "common/LogCall.h"
#include "platform/CursorFile.h"
#include "platform/XConnection.h"

#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>

#include <algorithm>

namespace platform
{
struct HardwareCursor
{
    Cursor cursor;
};

namespace
{
struct CursorState
{
    unsigned long window = 0;
    CursorHandle set = nullptr;
    int displayCounter = 0;
    // Made on first need; shown for a null handle or a hidden cursor.
    Cursor invisible = None;
    // Whether the window shows `shown`: nothing needs to reach the server while the wanted cursor is that.
    bool applied = false;
    Cursor shown = None;
};

CursorState g_state;
Cursor MakeCursor(Display* display, const CursorImage& image)
{
    XcursorImage* picture = XcursorImageCreate(image.width, image.height);
    if (!picture)
        return None;
    picture->xhot = static_cast<XcursorDim>(image.hotspotX);
    picture->yhot = static_cast<XcursorDim>(image.hotspotY);
    std::copy(image.pixels.begin(), image.pixels.end(), picture->pixels);
    Cursor cursor = None;
    if (!RunTrapped(display, [&] { cursor = XcursorImageLoadCursor(display, picture); }))
        cursor = None;
    XcursorImageDestroy(picture);
    return cursor;
}

Cursor InvisibleCursor(Display* display)
{
    if (g_state.invisible == None)
    {
        CursorImage blank;
        blank.width = 1;
        blank.height = 1;
        blank.pixels = {0};
        g_state.invisible = MakeCursor(display, blank);
    }
    return g_state.invisible;
}

// Gives the window the cursor the state asks for, when it does not show it already.
void Apply()
{
    Display* display = g_state.window != 0 ? XConnection() : nullptr;
    if (!display)
        return;
    const Cursor wanted =
        g_state.set && g_state.displayCounter >= 0 ? g_state.set->cursor : InvisibleCursor(display);
    if (g_state.applied && wanted == g_state.shown)
        return;
    if (!RunTrapped(display, [&] { XDefineCursor(display, g_state.window, wanted); }))
        LOG_ERROR("Couldn't set the cursor of window %lu", g_state.window);
    // Also after an error, so that a window that is gone is not asked again every frame.
    g_state.applied = true;
    g_state.shown = wanted;
}
} // namespace

void SetCursorWindow(unsigned long window)
{
    g_state.window = window;
    g_state.applied = false;
}

CursorHandle LoadCursorFromFile(const std::string& path)
{
    CursorImage image;
    if (!LoadCursorImage(path, image))
        return nullptr;
    Display* display = XConnection();
    const Cursor cursor = display ? MakeCursor(display, image) : None;
    if (cursor == None)
    {
        LOG_ERROR("Couldn't make a cursor of %s on the X display", path.c_str());
        return nullptr;
    }
    return new HardwareCursor{cursor};
}

void SetCursor(CursorHandle cursor)
{
    if (cursor == g_state.set && g_state.applied)
        return;
    g_state.set = cursor;
    Apply();
}

void DestroyCursor(CursorHandle cursor)
{
    if (!cursor)
        return;
    if (cursor == g_state.set)
        g_state.set = nullptr;
    // The server may give the freed id to a new cursor, which must then reach the window.
    if (cursor->cursor == g_state.shown)
        g_state.applied = false;
    if (Display* display = XConnection())
    {
        XFreeCursor(display, cursor->cursor);
        XFlush(display);
    }
    delete cursor;
}

int ShowCursor(bool show)
{
    g_state.displayCounter += show ? 1 : -1;
    Apply();
    return g_state.displayCounter;
}

int CursorDisplayCount()
{
    return g_state.displayCounter;
}
} // namespace platform
