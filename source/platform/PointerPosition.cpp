#include "platform/PointerPosition.h"

#include "platform/XConnection.h"

#include <X11/Xlib.h>

namespace platform
{
bool PointerPosition(unsigned long window, int& x, int& y)
{
    Display* display = XConnection();
    if (!display || window == 0)
        return false;
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int windowX = 0;
    int windowY = 0;
    unsigned int buttons = 0;
    bool sameScreen = false;
    const bool answered = RunTrapped(display,
                                     [&]
                                     {
                                         sameScreen = XQueryPointer(display, window, &root, &child, &rootX,
                                                                    &rootY, &windowX, &windowY, &buttons);
                                     });
    if (!answered || !sameScreen)
        return false;
    x = windowX;
    y = windowY;
    return true;
}
} // namespace platform
