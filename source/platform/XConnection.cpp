#include "platform/XConnection.h"

#include "common/LogCall.h"
#include "common/StringHelpers.h"

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

namespace platform
{
namespace
{
// A server that takes longer than this to accept a connection is taken as hung: Xlib itself would wait
// for its answer forever.
const std::chrono::seconds ANSWER_TIME(10);

// A busy X server may turn a connection away for a moment (its queue of waiting clients is full); a
// refused connection would leave the window without its close protocol, so a few more tries are worth it.
Display* OpenDisplayWithRetries()
{
    const int attempts = 20;
    for (int attempt = 1;; ++attempt)
    {
        if (Display* display = XOpenDisplay(nullptr))
            return display;
        if (attempt == attempts)
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

// Opens the display on a thread of its own, so that a server that does not answer costs ANSWER_TIME, not
// the whole run. That thread is left waiting then; what it opens later is never used.
Display* OpenDisplay(std::string& problem)
{
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name)
    {
        problem = "cannot open the X display: DISPLAY is not set";
        return nullptr;
    }
    auto opened = std::make_shared<std::promise<Display*>>();
    std::future<Display*> display = opened->get_future();
    std::thread([opened] { opened->set_value(OpenDisplayWithRetries()); }).detach();
    if (display.wait_for(ANSWER_TIME) != std::future_status::ready)
    {
        problem = Format("cannot open the X display \"%s\": the X server there does not answer", name);
        return nullptr;
    }
    Display* result = display.get();
    if (!result)
        problem = Format(
            "cannot open the X display \"%s\": no X server runs there, or it turned the game away", name);
    return result;
}

struct Connection
{
    Connection() : display(OpenDisplay(problem))
    {
        if (!display)
            LOG_ERROR(problem);
    }
    ~Connection()
    {
        if (display)
            XCloseDisplay(display);
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    std::string problem;
    Display* const display;
};

const Connection& TheConnection()
{
    static const Connection connection;
    return connection;
}
} // namespace

Display* XConnection()
{
    return TheConnection().display;
}

const std::string& XConnectionProblem()
{
    return TheConnection().problem;
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
