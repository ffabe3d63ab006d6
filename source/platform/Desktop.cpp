#include "platform/Desktop.h"

#include "platform/XConnection.h"

#include <X11/Xlib.h>

namespace platform
{
std::string DisplayProblem()
{
    return XConnectionProblem();
}

ScreenSize DesktopSize()
{
    Display* display = XConnection();
    if (!display)
        return ScreenSize{800, 600};
    return ScreenSize{DisplayWidth(display, DefaultScreen(display)),
                      DisplayHeight(display, DefaultScreen(display))};
}

void PrepareWindowClosing()
{
    if (Display* display = XConnection())
        XInternAtom(display, "WM_DELETE_WINDOW", False);
}

void SetWindowIcon(unsigned long) {}
} // namespace platform
