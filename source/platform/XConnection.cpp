#include "platform/XConnection.h"

#include "common/LogCall.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace platform
{
namespace
{
// A busy X server may turn a connection away for a moment (its queue of waiting clients is full); a
// refused connection would leave the window without its close protocol, so a few more tries are worth it.
Display* OpenDisplay()
{
    const int attempts = 20;
    for (int attempt = 1;; ++attempt)
    {
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        if (attempt == attempts || !std::getenv("DISPLAY"))
            return nullptr;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

int g_trappedError = Success;

int TrapError(Display*, XErrorEvent* error)
{
    g_trappedError = error->error_code;
    return 0;
}

struct Connection
{
    Connection() : display(OpenDisplay())
    {
        if (!display)
        {
            const char* name = std::getenv("DISPLAY");
            LOG_ERROR("Couldn't open the X display \"%s\"", name ? name : "");
        }
    }
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    Display* const display;
};
} // namespace

Display* XConnection()
{
    static const Connection connection;
    return connection.display;
}

bool RunTrapped(Display* display, const std::function<void()>& requests)
{
    XSync(display, False);
    g_trappedError = Success;
    const XErrorHandler previous = XSetErrorHandler(TrapError);
    requests();
    XSync(display, False);
    XSetErrorHandler(previous);
    return g_trappedError == Success;
}
} // namespace platform
