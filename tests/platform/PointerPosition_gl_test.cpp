#include "platform/PointerPosition.h"

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <unistd.h>

namespace
{
// A plain X window on a connection of the test's own.
class PointerOverAWindow : public testing::Test
{
protected:
    void SetUp() override
    {
        m_display = XOpenDisplay(nullptr);
        ASSERT_NE(m_display, nullptr) << "needs an X display";
        XSetWindowAttributes attributes{};
        attributes.override_redirect = True;
        m_window = XCreateWindow(m_display, DefaultRootWindow(m_display), 100, 50, 64, 64, 0, CopyFromParent,
                                 InputOutput, CopyFromParent, CWOverrideRedirect, &attributes);
        XMapRaised(m_display, m_window);
        XSync(m_display, False);
    }
    void TearDown() override
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    Display* m_display = nullptr;
    Window m_window = 0;
};

TEST_F(PointerOverAWindow, IsTheServersPointerInWindowPixels)
{
    const struct
    {
        int x, y;
    } points[] = {{0, 0}, {63, 63}, {20, 30}, {-10, 80}};
    for (const auto& point : points)
    {
        // Tests running in parallel share the one pointer: a reading another test moved is taken again.
        int x = -999;
        int y = -999;
        for (int attempt = 0; attempt < 100 && (x != point.x || y != point.y); ++attempt)
        {
            XWarpPointer(m_display, None, m_window, 0, 0, 0, 0, point.x, point.y);
            XSync(m_display, False);
            ASSERT_TRUE(platform::PointerPosition(m_window, x, y));
            if (x != point.x || y != point.y)
                usleep(10000);
        }
        EXPECT_EQ(x, point.x);
        EXPECT_EQ(y, point.y);
    }
}

TEST_F(PointerOverAWindow, NoWindowOrOneThatIsGoneGivesNothingAndIsNotFatal)
{
    const Window gone = m_window;
    XDestroyWindow(m_display, gone);
    XSync(m_display, False);
    for (const unsigned long window : {0ul, gone})
    {
        int x = 7;
        int y = 8;
        EXPECT_FALSE(platform::PointerPosition(window, x, y)) << window;
        EXPECT_EQ(x, 7);
        EXPECT_EQ(y, 8);
    }
}
} // namespace
