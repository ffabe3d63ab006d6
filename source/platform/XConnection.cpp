#include "platform/XConnection.h"

#include "common/LogCall.h"

#include <X11/Xlib.h>

#include <cstdlib>

namespace platform
{
namespace
{
struct Connection
{
    Connection() : display(XOpenDisplay(nullptr))
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
} // namespace platform
